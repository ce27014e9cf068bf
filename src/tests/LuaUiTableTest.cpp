#include "LuaTestSupport.h"
#include "ui/UI.h"

using namespace vumo;

using namespace luatest;

TEST_F(LuaTest, UiCallsNeedTheUI)
{
    start();
    ASSERT_EQ(UI::getInstance(), nullptr);
    const std::string message = "[string \"test\"]:1: Lua function needs to access the UI instance, but UI "
                                "hasn't been initialised yet.";
    for (const char* call : {"ui.getUIIdiom()", "ui.selectItem('a')", "ui.getSelectedItem()",
                             "ui.getCursorPos()", "ui.setCursorPos(1, 2)", "ui.isPointerPressed()"})
    {
        EXPECT_EQ(pcallMessage(call), message) << call;
    }
}

TEST_F(LuaTest, UiItemCallsReachTheUI)
{
    start();
    UI ui;
    EXPECT_EQ(eval("ui.selectItem('key') return ui.getSelectedItem(), ui.isPointerPressed()"), "key|false");
    EXPECT_EQ(pcallMessage("ui.selectItem()"),
              "[string \"test\"]:1: Error calling selectItem(string) with 0 arguments, function expects 1 "
              "arguments)");
}
