#include <orvalo/UpsellScreen.h>

#include <fintu/Renderer.h>
#include <tesraui/Label.h>

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
    // A click that goes on from a talk's line, in the corner the pointer rests in.
    void goOn()
    {
        engine->clickAt(955, 5);
        engine->frame(0.1f);
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
    for (const char* name :
         {"menu_adventure", "menu_lake", "menu_duel", "menu_store", "menu_title", "menu_place"})
    {
        expectWords(shot, Session::getChapter("menu")->tryGetObject(name), name);
    }
}

TEST_F(DemoLabelsDrawn, TheStrangersLinesAndRepliesShowOnScreen)
{
    engine->clickObject(Session::getChapter("menu")->tryGetObject("menu_adventure"));
    ASSERT_TRUE(engine->settleAt("meadow.hills"));
    engine->clickObject(Session::getChapter("meadow")->tryGetObject("stranger"));
    engine->frame(0.016f);
    engine->mouse(tesra::Window::MOUSE_MOVE, 955, 5);
    engine->frame(0.1f);
    ASSERT_EQ(engine->lua("dialog.isActive()"), "true");
    {
        // His greeting, with how to go on.
        Shot shot;
        expectWords(shot, uiObject("dialog_line"), "the stranger's greeting");
        expectWords(shot, uiObject("dialog_hint"), "how to go on");
    }
    goOn();
    {
        Shot shot;
        expectWords(shot, uiObject("goal"), "the goal");
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
                  "Stranger: It's the way to the lake; you'll want a raft to cross it.");
        EXPECT_FALSE(uiObject("reply1")->isVisible()) << "no reply is offered while a line is said";
    }
    for (int i = 0; i < 4 && engine->lua("dialog.isActive()") == "true"; ++i)
    {
        goOn();
    }
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_FALSE(uiObject("dialog_line")->isDerivedVisible()) << "the line goes with the dialog";
    {
        // The rope's arrival is answered in a line of its own.
        Shot shot;
        expectWords(shot, uiObject("say"), "the answer");
    }
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoLabelsDrawn, TheStoresButtonsShowTheirNamesInsideTheWindowWithRoomAround)
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
    for (const char* name : {"orvalo_us_label_later", "orvalo_us_label_restore", "orvalo_us_label_unlock"})
    {
        tesraui::Label* label = dynamic_cast<tesraui::Label*>(dataset->tryGetObject(name));
        expectWords(shot, label, name);
        ASSERT_NE(label, nullptr);
        const float text = fintu::renderer->getTextWidth(label->getFont(), label->getText());
        EXPECT_LE(text + 2 * 16, label->getWidth()) << name << ": its word keeps clear of the button's edges";
    }
}

// Lines over a panel keep a margin inside it on every side; the goal's longest lines and the longest answers
// fit their labels.
TEST_F(DemoLabelsDrawn, TextsKeepClearOfTheirPanelsBorders)
{
    for (const char* name : {"goal", "say", "notice", "dialog_line"})
    {
        tesraui::Object* label = uiObject(name);
        ASSERT_NE(label, nullptr) << name;
        const kavtypes::Rectangle inner = label->getRect();
        const kavtypes::Vector2 panel = label->getParent()->getSize();
        EXPECT_GE(inner.x, 12.0f) << name;
        EXPECT_GE(panel.x - inner.x - inner.w, 12.0f) << name;
        EXPECT_GE(inner.y, 2.0f) << name;
        EXPECT_GE(panel.y - inner.y - inner.h, 2.0f) << name;
    }
    // Every goal the adventure states, from its start to the duel.
    const std::string goals = engine->lua(
        "(function()\n"
        "  local goals = {}\n"
        "  local function take() goals[#goals + 1] = ui.goalText() end\n"
        "  take(); vars.demo_key_found = 1; take(); inventory.addItem('plank'); take()\n"
        "  inventory.addItem('rope'); take(); inventory.clear(); inventory.addItem('raft'); take()\n"
        "  vars.demo_sky_watched = 1; take(); vars.demo_oar_found = 1; take()\n"
        "  inventory.clear(); vars.demo_raft_afloat = 1; take(); vars.demo_beacon_lit = 1; take()\n"
        "  vars.demo_password_found = 1; take()\n"
        "  return table.concat(goals, '\\n')\n"
        "end)()");
    std::vector<std::string> lines;
    for (size_t at = 0, next; at < goals.size(); at = next + 1)
    {
        next = goals.find('\n', at);
        next = (next == std::string::npos ? goals.size() : next);
        lines.push_back(goals.substr(at, next - at));
    }
    EXPECT_EQ(lines.size(), 10u);
    const std::pair<const char*, std::vector<std::string>> fits[] = {
        {"goal", lines},
        {"say",
         {"You hold the plank: click where to use it, or another item to combine them.",
          "You found the golden key: it is in your pack now. The inn across the lake will open to it.",
          "You found an oar under the crate: it is in your pack now, to steer the raft.",
          "The raft floats on the water with its oar aboard, ready to carry you across.",
          "The page of River Quest in the store opens in your web browser.",
          "The beacon burns: its light will show the raft the way across the lake."}},
        {"dialog_line",
         {"Time is up: the templar wins this round. A new board is dealt; try again.",
          "The templar of the inn challenges you to a duel: beat him before your time runs out.",
          "Keeper: Rose it is. Your golden key opens the door; the templar waits inside.",
          "Keeper: That is not it. The password is carved on the sign: read it again."}},
        {"notice", {"Achievement unlocked: Duellist: you beat the templar"}},
    };
    for (const auto& [name, texts] : fits)
    {
        tesraui::Label* label = dynamic_cast<tesraui::Label*>(uiObject(name));
        ASSERT_NE(label, nullptr) << name;
        for (const std::string& text : texts)
        {
            EXPECT_LE(fintu::renderer->getTextHeight(label->getFont(), text, label->getWidth()),
                      label->getHeight())
                << name << ": " << text;
        }
    }
    // The pane's rollover label holds its longest text (the play-through reads it) on one line, clear of its
    // ends.
    tesraui::Label* itemName = dynamic_cast<tesraui::Label*>(uiObject("item_name"));
    ASSERT_NE(itemName, nullptr);
    const std::string combine = "Plank + Rope: click to combine them";
    EXPECT_LE(fintu::renderer->getTextWidth(itemName->getFont(), combine) + 24.0f, itemName->getWidth());
}
