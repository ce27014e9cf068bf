#include "EngineHarness.h"
#include "SessionFixture.h"
#include "lua/LuaInterface.h"
#include "ui/DebugCursor.h"
#include "ui/DebugUI.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// The touch simulation's cursor keeps its own Shift and Ctrl, told by the debug tools whenever they
// change: a key held before the cursor exists, a key let go and keys dropped with the focus all count.
class DebugCursorModifiers : public harness::SessionTest
{
protected:
    UI* ui = nullptr;

    void SetUp() override
    {
        folder.emptyGame("debug_mode: 1\ndeveloper_mode: 1\n");
        folder.put("data/lib/ui.lua",
                   "journal = {}\n"
                   "function ui.OnTouch(points)\n"
                   "  local text = {}\n"
                   "  for _, p in ipairs(points) do text[#text + 1] = p.x .. '/' .. p.y end\n"
                   "  journal[#journal + 1] = 'touch(' .. table.concat(text, ' ') .. ')'\n"
                   "end\n");
        ASSERT_NO_FATAL_FAILURE(startSession());
        ui = UI::getInstance();
        engine->frame();
        engine->frame();
    }
    // Alt makes the cursor at the next frame.
    void makeCursor()
    {
        ui->OnKeyDown(18);
        engine->frame();
        ASSERT_NE(MultiTouchDebugCursor::getInstance(), nullptr);
    }
    std::string press(float x, float y)
    {
        LuaInterface::execute("journal = {}");
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y, 0);
        engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        const std::string touches = engine->lua("table.concat(journal, ' ')");
        engine->mouse(tesra::Window::MOUSE_UP, x, y);
        return touches;
    }
};

TEST_F(DebugCursorModifiers, CtrlHeldBeforeTheCursorAddsTheCentreAndLettingGoRemovesIt)
{
    ui->OnKeyDown(17);
    ASSERT_NO_FATAL_FAILURE(makeCursor());
    EXPECT_EQ(press(40, 30), "touch(40/30 120/90 80/60)");
    ui->OnKeyUp(17);
    EXPECT_EQ(press(40, 30), "touch(40/30 120/90)");
}

TEST_F(DebugCursorModifiers, ShiftCarriesTheCentreWithThePointerUntilLetGo)
{
    ASSERT_NO_FATAL_FAILURE(makeCursor());
    engine->mouse(tesra::Window::MOUSE_MOVE, 80, 60, 0);
    ui->OnKeyDown(16);
    engine->mouse(tesra::Window::MOUSE_MOVE, 90, 60, 0);
    ui->OnKeyUp(16);
    EXPECT_EQ(MultiTouchDebugCursor::getInstance()->getCentre(), kavtypes::Vector2(90.0f, 60.0f));
    engine->mouse(tesra::Window::MOUSE_MOVE, 40, 30, 0);
    EXPECT_EQ(MultiTouchDebugCursor::getInstance()->getCentre(), kavtypes::Vector2(90.0f, 60.0f));
}

TEST_F(DebugCursorModifiers, ReleasedKeysReachTheCursor)
{
    ASSERT_NO_FATAL_FAILURE(makeCursor());
    ui->OnKeyDown(17);
    ui->getDebugUI()->releaseKeys();
    EXPECT_EQ(press(40, 30), "touch(40/30 120/90)");
}
