#include <string>
#include <vector>

#include "ConsoleInput.h"
#include "EngineHarness.h"
#include "SessionFixture.h"
#include "ui/DebugUI.h"
#include "ui/UI.h"

using namespace vumo;

// A console in debug mode over a scene whose script counts the calls of its function.
class ConsoleExpressions : public harness::SessionTest
{
protected:
    DebugUI* debug = nullptr;

    void start()
    {
        folder.emptyGame("debug_mode: 1\ndeveloper_mode: 1\n");
        folder.put("data/lib/calls.lua",
                   "calls = 0\nfunction counted(x) calls = calls + 1 return x, 'and more' end\n"
                   "function nothing() calls = calls + 1 end\n");
        ASSERT_NO_FATAL_FAILURE(startSession());
        debug = UI::getInstance()->getDebugUI();
        engine->frame();
        UI::getInstance()->OnKeyDown(9);
        UI::getInstance()->OnKeyUp(9);
        ASSERT_TRUE(debug->isConsoleOpen());
    }
    // What the console showed after the line it echoed.
    std::string shownAfter(const std::string& line)
    {
        const std::string text = debug->getConsoleLines().joined("\n").c_str();
        const std::string echo = ">>> " + line + "[/b][/c]";
        const size_t at = text.rfind(echo);
        return at == std::string::npos ? "<no echo>" : text.substr(at + echo.size());
    }
};

// A line that is an expression prints its values, a function call included, and runs once; a statement
// prints nothing.
TEST_F(ConsoleExpressions, AnExpressionLinePrintsItsValuesAndRunsOnce)
{
    ASSERT_NO_FATAL_FAILURE(start());
    struct Case
    {
        std::string line;
        std::string shown;
        std::string calls;
    };
    const std::vector<Case> cases = {
        {"counted(7)", "\n[c:FFFF00]7[/c]\n[c:FFFF00]and more[/c]", "1"},
        {"string.format('%d', 3)", "\n[c:FFFF00]3[/c]", "1"},
        {"nothing()", "", "2"},
        {"x = counted(1)", "", "3"},
        {"counted(2) counted(3)", "", "5"},
        {"calls", "\n[c:FFFF00]5[/c]", "5"},
    };
    for (const Case& c : cases)
    {
        harness::submitToConsole(*engine, debug, c.line);
        EXPECT_EQ(shownAfter(c.line), c.shown) << c.line;
        EXPECT_EQ(engine->lua("calls"), c.calls) << c.line;
    }
}
