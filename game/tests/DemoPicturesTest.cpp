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
    engine->mouse(tesra::Window::MOUSE_MOVE, 600, 420);
    engine->frame(0.016f);
    {
        Shot shot;
        expectWords(shot, sceneObject("menu", "menu_adventure"), "the menu");
    }
    keep("menu");

    engine->clickObject(sceneObject("menu", "menu_adventure"));
    ASSERT_TRUE(engine->settleAt("meadow.hills"));
    engine->clickObject(uiObject("plank_pickup"));
    engine->mouse(tesra::Window::MOUSE_MOVE, 600, 420);
    engine->frame(0.016f);
    engine->frame(0.016f);
    {
        Shot shot;
        expectWords(shot, uiObject("goal"), "the goal");
        expectWords(shot, uiObject("reply1"), "the stranger's reply");
    }
    keep("dialog");

    // The duel deals its board from the generator, which the start seeds from the clock.
    quortypes::seedRandom(1);
    Session::changeScene("tavern.duel", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("tavern.duel"));
    Match3Scene* duel = dynamic_cast<Match3Scene*>(Session::getActiveScene());
    ASSERT_NE(duel, nullptr);
    for (int i = 0; i < 100 && duel->isBusy(); ++i)
    {
        engine->frame(0.1f);
    }
    engine->frame(0.016f);
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false") << "the talk stayed on the hills";
    EXPECT_FALSE(uiObject("reply1")->isVisible()) << "the replies went with it";
    {
        Shot shot;
        expectWords(shot, uiObject("menu_button"), "the duel's way back");
    }
    keep("duel");

    Session::changeScene("tavern.ending", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("tavern.ending"));
    {
        Shot shot;
        expectWords(shot, sceneObject("tavern", "ending_title"), "the ending");
        expectWords(shot, sceneObject("tavern", "ending_thanks"), "the thanks");
    }
    keep("ending");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
