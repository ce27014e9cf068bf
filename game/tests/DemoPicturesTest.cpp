#include <cstdlib>

#include <quortypes/util.h>

#include "EngineHarness.h"
#include "Match3Scene.h"
#include "PngFile.h"
#include "ScreenText.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::Shot;

// The demo's screens a player meets, drawn headless, each checked for the words on it. With
// VUMO_DEMO_PICTURES naming a folder, the frames are kept there as half-size PNG files (the readme's
// pictures in docs/pictures come from this).
class DemoPictures : public harness::GameTest
{
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        folder.copyDemo();
        engine.reset(new Engine(folder));
        engine->startDemo("");
    }
    tesraui::Object* uiObject(const std::string& name)
    {
        return UI::getInstance()->getDataset()->tryGetObject(name);
    }
    tesraui::Object* sceneObject(const std::string& chapter, const std::string& name)
    {
        return Session::getChapter(chapter)->tryGetObject(name);
    }
    void keep(const std::string& name)
    {
        const char* pictures = getenv("VUMO_DEMO_PICTURES");
        if (pictures != nullptr)
        {
            std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
            harness::writeHalfSizePng(std::string(pictures) + "/" + name + ".png", *shot);
        }
    }
    void expectWords(const Shot& shot, tesraui::Object* object, const std::string& what)
    {
        ASSERT_NE(object, nullptr) << what;
        ASSERT_TRUE(object->isDerivedVisible()) << what;
        EXPECT_TRUE(shot.holds(object->getBoundingRect())) << what;
        EXPECT_GT(shot.strokes(object->getBoundingRect()), 40) << what;
    }
};

TEST_F(DemoPictures, MenuDialogDuelAndEndingShowTheirWords)
{
    // The pointer over the Adventure button: the hand, and the button lit.
    const kavtypes::Rectangle adventure = sceneObject("menu", "menu_adventure")->getBoundingRect();
    engine->mouse(tesra::Window::MOUSE_MOVE, adventure.x + 110, adventure.y + 80);
    engine->frame(0.016f);
    engine->frame(0.016f);
    {
        Shot shot;
        expectWords(shot, sceneObject("menu", "menu_adventure"), "the menu");
    }
    keep("menu");

    engine->clickObject(sceneObject("menu", "menu_adventure"));
    ASSERT_TRUE(engine->settleAt("meadow.hills"));
    // The moon has risen; the player has picked the plank up and talks to the stranger, drawn by his fire.
    for (int i = 0; i < 25; ++i)
    {
        engine->frame(0.1f);
    }
    engine->clickObject(sceneObject("meadow", "plank"));
    // Its answer has gone by when the talk begins.
    for (int i = 0; i < 70; ++i)
    {
        engine->frame(0.1f);
    }
    engine->clickObject(sceneObject("meadow", "stranger"));
    engine->frame(0.1f);
    // His greeting, gone on from.
    engine->clickAt(480, 150);
    engine->frame(0.1f);
    const kavtypes::Rectangle reply = uiObject("reply1")->getBoundingRect();
    engine->mouse(tesra::Window::MOUSE_MOVE, reply.x + 380, reply.y + 30);
    engine->frame(0.016f);
    engine->frame(0.016f);
    {
        Shot shot;
        expectWords(shot, uiObject("goal"), "the goal");
        expectWords(shot, uiObject("reply1"), "the stranger's reply");
        EXPECT_TRUE(sceneObject("meadow", "stranger")->isDerivedVisible()) << "the stranger is drawn";
    }
    keep("dialog");

    // The duel deals its board from the generator, which the start seeds from the clock; a tile is picked.
    quortypes::seedRandom(1);
    Session::changeScene("tavern.duel", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("tavern.duel"));
    Match3Scene* duel = dynamic_cast<Match3Scene*>(Session::getActiveScene());
    ASSERT_NE(duel, nullptr);
    for (int i = 0; i < 100 && duel->isBusy(); ++i)
    {
        engine->frame(0.1f);
    }
    engine->clickObject(duel->getCell(3, 4));
    engine->frame(0.1f);
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false") << "the talk stayed on the hills";
    EXPECT_FALSE(uiObject("reply1")->isVisible()) << "the replies went with it";
    {
        Shot shot;
        expectWords(shot, uiObject("menu_button"), "the duel's way back");
        for (const char* name : {"enemy_caption", "player_caption", "legend_title", "legend_hourglass"})
        {
            expectWords(shot, sceneObject("tavern", name), name);
        }
        EXPECT_TRUE(sceneObject("tavern", "selection_marker")->isDerivedVisible());
    }
    keep("duel");

    Session::changeScene("tavern.ending", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("tavern.ending"));
    engine->mouse(tesra::Window::MOUSE_MOVE, 700, 420);
    engine->frame(0.016f);
    {
        Shot shot;
        expectWords(shot, sceneObject("tavern", "ending_title"), "the ending");
        expectWords(shot, sceneObject("tavern", "ending_thanks"), "the thanks");
        expectWords(shot, uiObject("notice"), "the achievement");
    }
    keep("ending");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
