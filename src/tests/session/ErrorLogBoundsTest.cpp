#include <string>

#include <tesraui/Dataset.h>
#include <tesraui/Label.h>

#include "EngineHarness.h"
#include "lua/ScriptErrorLog.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    const char* const hooks = "cursorRuns = 0\n"
                              "cursorFailures = 0\n"
                              "ticks = 0\n"
                              "function ui.getCursorMode()\n"
                              "\tcursorRuns = cursorRuns + 1\n"
                              "\tif cursorBroken then\n"
                              "\t\tcursorFailures = cursorFailures + 1\n"
                              "\t\terror('the cursor hook broke')\n"
                              "\tend\n"
                              "end\n"
                              "function tick()\n"
                              "\tticks = ticks + 1\n"
                              "\tif ticking then vumo.delayedCall(tick, 0) end\n"
                              "\terror('the tick failed')\n"
                              "end\n";
} // namespace

// While the error overlay holds the game, what still runs every frame (the cursor hook, delayed calls on
// the UI's root) goes on failing: each error is written once and then counted.
class ErrorLogBounds : public harness::GameTest
{
protected:
    void SetUp() override
    {
        startOnScript("hooks.lua", hooks);
        engine->frame();
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(0.016f);
        }
    }
    // Frames of the longest step a frame takes, for a little longer than the time after which a repeat
    // counts as stopped.
    void framesUntilQuiet()
    {
        for (int i = 0; i < (int)(ScriptErrorLog::repeatWindow / 0.1f) + 3; ++i)
        {
            engine->frame(0.1f);
        }
    }
};

TEST_F(ErrorLogBounds, AnErrorOfEveryFrameIsWrittenOnceAndItsCountWhenItStops)
{
    struct Case
    {
        const char* name;
        const char* start;
        const char* stop;
        const char* runs;
        const char* failures;
        const char* error;
    };
    for (const Case& c : {Case{"cursor hook", "cursorBroken = true", "cursorBroken = false", "cursorRuns",
                               "cursorFailures", "the cursor hook broke"},
                          Case{"re-armed delayed call", "ticking = true vumo.delayedCall(tick, 0)",
                               "ticking = false", "ticks", "ticks", "the tick failed"}})
    {
        SCOPED_TRACE(c.name);
        engine->log().clear();
        const std::string written = "scripting: Scripting Error: ";
        const std::string counted = "scripting: (the same error ";
        const auto lines = [&](const std::string& start)
        {
            int count = 0;
            for (const std::string& line : engine->log())
            {
                count += (line.rfind(start, 0) == 0 && line.find(c.error) != std::string::npos);
            }
            return count;
        };
        const int runsBefore = std::stoi(engine->lua(c.runs));
        const int failuresBefore = std::stoi(engine->lua(c.failures));
        LuaInterface::execute(c.start);
        frames(100);
        EXPECT_TRUE(UI::getInstance()->isErrorOverlayShown());
        // What runs under the overlay still runs.
        EXPECT_GE(std::stoi(engine->lua(c.runs)) - runsBefore, 98);
        EXPECT_EQ(lines(written), 1) << engine->logText();
        EXPECT_EQ(lines(counted), 0) << engine->logText();

        LuaInterface::execute(c.stop);
        framesUntilQuiet();
        const int repeats = std::stoi(engine->lua(c.failures)) - failuresBefore - 1;
        EXPECT_GE(repeats, 97);
        EXPECT_EQ(lines(written), 1) << engine->logText();
        EXPECT_EQ(lines(counted), 1) << engine->logText();
        EXPECT_EQ(engine->logCount(counted + std::to_string(repeats) + " more times: Scripting Error: "), 1u)
            << engine->logText();

        // Once it has stopped, the next time it is written whole again.
        LuaInterface::execute(c.start);
        frames(3);
        LuaInterface::execute(c.stop);
        frames(2);
        EXPECT_EQ(lines(written), 2) << engine->logText();
        framesUntilQuiet();
        EXPECT_EQ(lines(counted), 2) << engine->logText();
        UI::getInstance()->getDataset()->destroyObject("vumo_ui_error_bg");
    }
}

// A failing call quoting an argument of a megabyte writes a few hundred bytes of it, to the log and to the
// overlay; the error raised with the argument as its message is cut the same way.
TEST_F(ErrorLogBounds, ALongArgumentIsCutToAFewHundredBytes)
{
    for (const char* call : {"object.getObject('ui.' .. big)", "error(big)"})
    {
        SCOPED_TRACE(call);
        engine->log().clear();
        LuaInterface::execute("big = string.rep('x', 1000000)\n"
                              "vumo.delayedCall(function() " +
                              hstring(call) + " end, 0)");
        frames(3);
        ASSERT_TRUE(UI::getInstance()->isErrorOverlayShown());
        const std::string log = engine->logText();
        EXPECT_LT(log.size(), 4000u) << log.substr(0, 4000);
        EXPECT_NE(log.find(std::string(200, 'x') + " ... <"), std::string::npos) << log.substr(0, 4000);
        EXPECT_NE(log.find(" bytes cut> ... " + std::string(10, 'x')), std::string::npos)
            << log.substr(0, 4000);
        EXPECT_EQ(log.find(std::string(301, 'x')), std::string::npos);
        tesraui::Object* label = UI::getInstance()->getDataset()->tryGetObject("vumo_ui_error_bg/label");
        ASSERT_NE(label, nullptr);
        EXPECT_LT(static_cast<tesraui::Label*>(label)->getText().size(), 4000u);
        UI::getInstance()->getDataset()->destroyObject("vumo_ui_error_bg");
    }
}
