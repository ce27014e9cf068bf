#include <orvalo/UpsellScreen.h>

#include "EngineHarness.h"
#include "ScreenText.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::Shot;

// The demo as shipped, drawn headless: every button and line a player must read shows its words.
class DemoLabelsDrawn : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.copyDemo();
        engine.reset(new Engine(folder));
        engine->startDemo("");
        // The drawn pointer is moved to a corner where it covers no text.
        engine->mouse(tesra::Window::MOUSE_MOVE, 955, 5);
        engine->frame(0.016f);
    }
    tesraui::Object* uiObject(const std::string& name)
    {
        return UI::getInstance()->getDataset()->tryGetObject(name);
    }
    // A label too small to hold a word is as blank as none.
    void expectWords(const Shot& shot, tesraui::Object* object, const std::string& what)
    {
        ASSERT_NE(object, nullptr) << what;
        ASSERT_TRUE(object->isDerivedVisible()) << what;
        const kavtypes::Rectangle rect = object->getBoundingRect();
        ASSERT_TRUE(shot.holds(rect)) << what;
        EXPECT_GT(shot.strokes(rect), 40) << what;
    }
};

TEST_F(DemoLabelsDrawn, TheMenusButtonsShowTheirNames)
{
    Shot shot;
    for (const char* name : {"menu_adventure", "menu_lake", "menu_duel", "menu_store", "menu_title"})
    {
        expectWords(shot, Session::getChapter("menu")->tryGetObject(name), name);
    }
}

TEST_F(DemoLabelsDrawn, TheStrangersLinesAndRepliesShowOnScreen)
{
    engine->clickObject(Session::getChapter("menu")->tryGetObject("menu_adventure"));
    ASSERT_TRUE(engine->settleAt("meadow.hills"));
    engine->clickObject(uiObject("plank_pickup"));
    engine->frame(0.016f);
    engine->mouse(tesra::Window::MOUSE_MOVE, 955, 5);
    engine->frame(0.016f);
    ASSERT_EQ(engine->lua("dialog.isActive()"), "true");
    {
        Shot shot;
        expectWords(shot, uiObject("reply1"), "the first reply");
        expectWords(shot, uiObject("reply2"), "the second reply");
        expectWords(shot, uiObject("menu_button"), "the way back to the menu");
        EXPECT_EQ(std::string(uiObject("reply1")->getProperty("text")), "Where does the path lead?");
    }
    engine->clickObject(uiObject("reply1"));
    engine->mouse(tesra::Window::MOUSE_MOVE, 955, 5);
    engine->frame(0.1f);
    {
        Shot shot;
        expectWords(shot, uiObject("dialog_line"), "the stranger's line");
        EXPECT_EQ(std::string(uiObject("dialog_line")->getProperty("text")),
                  "Stranger: It's the way to the lake; you'll want that plank.");
        EXPECT_FALSE(uiObject("reply1")->isVisible()) << "no reply is offered while a line is said";
    }
    for (int i = 0; i < 100 && engine->lua("dialog.isActive()") == "true"; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_FALSE(uiObject("dialog_line")->isVisible()) << "the line goes with the dialog";
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoLabelsDrawn, TheStoresButtonsShowTheirNamesInsideTheWindow)
{
    engine->clickObject(Session::getChapter("menu")->tryGetObject("menu_store"));
    ASSERT_TRUE(engine->settleAt("menu.StoreMenu"));
    engine->mouse(tesra::Window::MOUSE_MOVE, 955, 5);
    // The screen fades in.
    for (int i = 0; i < 20; ++i)
    {
        engine->frame(0.1f);
    }
    Shot shot;
    tesraui::Dataset* dataset = orvalo::getUpsellScreen()->getDataset();
    for (const char* name : {"orvalo_us_label_later", "orvalo_us_label_unlock"})
    {
        expectWords(shot, dataset->tryGetObject(name), name);
    }
}
