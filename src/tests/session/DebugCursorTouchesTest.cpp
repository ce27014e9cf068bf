#include <string>

#include "EngineHarness.h"
#include "SessionFixture.h"
#include "lua/LuaInterface.h"
#include "ui/DebugCursor.h"
#include "ui/UI.h"

using namespace vumo;

// The touch simulation's cursor in debug mode, held active by a press, with a ui.OnTouch that notes how many
// points it got and, asked so, tries to destroy what the cursor object holds when they are three.
class DebugCursorTouches : public harness::SessionTest
{
protected:
    UI* ui = nullptr;

    void SetUp() override
    {
        folder.emptyGame("debug_mode: 1\ndeveloper_mode: 1\n");
        folder.putJournal("function ui.OnTouch(points)\n"
                          "  note(#points)\n"
                          "  if destroy_children and #points == 3 then\n"
                          "    local ok, e = pcall(object.destroyChildren, 'ui.vumo_cursor')\n"
                          "    note(ok and 'destroyed' or (e:find('goes only with it') and 'refused' or e))\n"
                          "  end\n"
                          "end\n");
        ASSERT_NO_FATAL_FAILURE(startSession());
        ui = UI::getInstance();
        engine->frame();
        // Alt makes the cursor at the next frame.
        ui->OnKeyDown(18);
        engine->frame();
        ASSERT_NE(MultiTouchDebugCursor::getInstance(), nullptr);
        engine->mouse(tesra::Window::MOUSE_MOVE, 40, 30, 0);
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    void clear() { LuaInterface::execute("journal = {}"); }
};

TEST_F(DebugCursorTouches, AHookCannotDestroyTheCursorsPartsAndTheTouchGoesOn)
{
    LuaInterface::execute("destroy_children = true");
    engine->mouse(tesra::Window::MOUSE_DOWN, 40, 30);
    engine->frame();
    // Ctrl adds the centre: the points change without a pointer move.
    ui->OnKeyDown(17);
    engine->frame();
    engine->frame();
    engine->mouse(tesra::Window::MOUSE_UP, 40, 30);
    engine->frame();
    EXPECT_EQ(journal(), "2 3 refused 0");
    ASSERT_NE(MultiTouchDebugCursor::getInstance(), nullptr);
    EXPECT_FALSE(MultiTouchDebugCursor::getInstance()->isActive());
}

TEST_F(DebugCursorTouches, ChangedPointsAreReportedFromTheUpdateNeverFromADraw)
{
    engine->mouse(tesra::Window::MOUSE_DOWN, 40, 30);
    ASSERT_EQ(journal(), "2");
    clear();
    ui->OnKeyDown(17);
    ui->draw();
    EXPECT_EQ(journal(), "");
    ui->update(0.016f);
    EXPECT_EQ(journal(), "3");
    ui->draw();
    EXPECT_EQ(journal(), "3");
}
