#include <tesraui/Dataset.h>
#include <tesraui/EditBox.h>
#include <tesraui/TextImageButton.h>

#include "EngineHarness.h"
#include "SessionFixture.h"
#include "Scene.h"
#include "ui/DebugUI.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    // The names the engine gives objects of its own, taken by the game's UI dataset first.
    const char* const takenNames[] = {"vumo_cursor",        "debugui_window",
                                      "debugui_root",       "debugui_slot_01",
                                      "vumo_ui_error_bg",   "vumo_fade_transition_overlay",
                                      "vumo_debug_console", "vumo_debug_console/input"};
} // namespace

// A 160 x 120 game in debug mode whose UI dataset holds containers under the engine's own names, with a
// cursor hook (no cursor until a test names a mode) and an update hook that note what they see.
class EngineNames : public harness::SessionTest
{
protected:
    UI* ui = nullptr;
    DebugUI* debug = nullptr;

    void SetUp() override
    {
        folder.config("scene: c1.a\ndebug_mode: 1\n");
        std::string objects;
        for (const char* name : takenNames)
        {
            objects += "<Object type='Container' name='" + std::string(name) + "' rect='0,0,1,1'/>";
        }
        folder.put("data/ui/ui.dts", "<Dataset>" + objects + "</Dataset>");
        folder.put("data/lib/ui.lua",
                   "journal = {}\n"
                   "updates = 0\n"
                   "function ui.update() updates = updates + 1 end\n"
                   "cursorMode = nil\n"
                   "function ui.getCursorMode() return cursorMode end\n"
                   "function ui.createCursor(mode, cursor)\n"
                   "  journal[#journal + 1] = mode .. ':' .. object.getProperty(cursor, 'name')\n"
                   "end\n");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "");
        folder.put("data/chapters/c1/scenes/b.scene", "");
        ASSERT_NO_FATAL_FAILURE(startSession());
        ui = UI::getInstance();
        debug = ui->getDebugUI();
        frames(2);
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(0.05f);
        }
    }
    void key(int code)
    {
        ui->OnKeyDown(code);
        ui->OnKeyUp(code);
    }
    tesraui::Object* object(const char* name) { return UI::getUIDataset()->tryGetObject(name); }
    // The game's containers are where its file put them, as it made them.
    void gameObjectsStand()
    {
        for (const char* name : takenNames)
        {
            tesraui::Object* mine = object(name);
            ASSERT_NE(mine, nullptr) << name;
            EXPECT_EQ(mine->getParent(), ui->getRootObject()) << name;
            EXPECT_EQ(mine->getChildren().size(), 0) << name;
            EXPECT_TRUE(mine->isVisible()) << name;
        }
    }
    size_t clashes(const std::string& name)
    {
        return engine->logCount("is named '" + name + "', a name the engine gives an object of its own");
    }
};

TEST_F(EngineNames, TheCursorIsBuiltUnderAFreeNameEveryTimeItsModeChanges)
{
    LuaInterface::execute("cursorMode = 'hand'");
    frames(1);
    LuaInterface::execute("cursorMode = 'talk'");
    frames(1);
    LuaInterface::execute("cursorMode = 'look'");
    frames(1);
    EXPECT_EQ(engine->lua("table.concat(journal, ' ')"),
              "hand:vumo_cursor_2 talk:vumo_cursor_2 look:vumo_cursor_2");
    ASSERT_NE(ui->getCursorObject(), nullptr);
    EXPECT_NE(ui->getCursorObject(), object("vumo_cursor"));
    EXPECT_EQ(clashes("vumo_cursor"), 1) << engine->logText();
    EXPECT_EQ(engine->logCount("already exists"), 0) << engine->logText();
    gameObjectsStand();
}

TEST_F(EngineNames, F1ShowsAPanelOfTheDebugUIsOwnAndItsButtonsWork)
{
    key(112);
    frames(1);
    ASSERT_TRUE(debug->isPanelVisible());
    tesraui::TextImageButton* slot = dynamic_cast<tesraui::TextImageButton*>(object("debugui_slot_01_2"));
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->getText(), "slot_01 empty");
    // The panel's parts go only with it, and the window is the debug UI's.
    EXPECT_NE(
        engine->luaOrError("object.destroy('ui.debugui_slot_01_2')")
            .find("object 'ui.debugui_slot_01_2' is a part of 'ui.debugui_window_2' and goes only with it"),
        std::string::npos);
    EXPECT_NE(engine->luaOrError("object.destroy('ui.debugui_window_2')")
                  .find("object 'ui.debugui_window_2' belongs to the engine (held by the debug UI)"),
              std::string::npos);
    engine->clickObject(object("debugui_slot_save_01"));
    frames(1);
    EXPECT_EQ(slot->getText(), "c1.a");
    key(112);
    EXPECT_FALSE(debug->isPanelVisible());
    EXPECT_EQ(clashes("debugui_window"), 1) << engine->logText();
    gameObjectsStand();
}

TEST_F(EngineNames, TheConsoleOpensTakesALineAndClosesBesideObjectsOfItsNames)
{
    key(9);
    ASSERT_TRUE(debug->isConsoleOpen());
    tesraui::EditBox* input = dynamic_cast<tesraui::EditBox*>(UI::getUIDataset()->getFocusedObject());
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->getName(), "vumo_debug_console_2/input");
    input->setText("_G.typed = 1 + 1");
    debug->onConsoleSubmit(nullptr);
    frames(2);
    EXPECT_EQ(engine->lua("typed"), "2");
    key(9);
    frames(20);
    EXPECT_FALSE(debug->isConsoleOpen());
    EXPECT_EQ(object("vumo_debug_console_2"), nullptr);
    gameObjectsStand();
}

// The overlay and the fade find their objects through what they hold: a game object of the overlay's name
// does not stop the game, and one of the fade's name outlives a fade.
TEST_F(EngineNames, TheOverlayAndTheFadeLeaveObjectsOfTheirNamesAlone)
{
    EXPECT_FALSE(ui->isErrorOverlayShown());
    const int before = std::stoi(engine->lua("updates"));
    frames(2);
    EXPECT_EQ(std::stoi(engine->lua("updates")), before + 2);

    ui->showErrorOverlay("a test's error");
    ASSERT_TRUE(ui->isErrorOverlayShown());
    frames(1);
    EXPECT_EQ(std::stoi(engine->lua("updates")), before + 2);
    engine->clickObject(object("vumo_ui_error_bg_2/continue"));
    frames(1);
    EXPECT_FALSE(ui->isErrorOverlayShown());

    Session::changeScene("c1.b", 0.5f, "fade");
    frames(2);
    ASSERT_NE(object("vumo_fade_transition_overlay_2"), nullptr);
    ASSERT_TRUE(engine->settleAt("c1.b"));
    EXPECT_EQ(object("vumo_fade_transition_overlay_2"), nullptr);
    EXPECT_EQ(clashes("vumo_fade_transition_overlay"), 1) << engine->logText();
    gameObjectsStand();
}
