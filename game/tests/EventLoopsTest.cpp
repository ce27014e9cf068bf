#include <string>
#include <vector>

#include <tesraui/Dataset.h>

#include "EngineHarness.h"
#include "EventLoopScript.h"

using namespace vumo;

using harness::GameFolder;

using harness::loops;

// The repro as the player meets it, with each way a game is asked to end: a termination request (the signal
// a system sends at shut-down, or an interrupt, which no close hook can refuse) and the script's own end,
// sent between frames or by the looping handler itself, end the game within two frames.
TEST(EventLoopsInThePlayer, EveryQuitRequestEndsAGameWhoseHandlerTriggersItself)
{
    const std::string bound = std::to_string(tesraui::Dataset::maxEventsPerCall);
    struct Case
    {
        std::string name;
        std::string atUpdate;  // run by ui.update in the third frame
        std::string atRun;     // run by the handler halfway through the second frame's events
        std::string closeHook; // ui.OnWindowClose's body, when the game has one
        std::string hookLine;
    };
    // Through popen: system(), behind os.execute, ignores an interrupt while it waits.
    const auto sending = [](const std::string& name)
    {
        return "local pid = io.open('/proc/self/stat'):read('*l'):match('^(%d+)') io.popen('kill -" + name +
               " ' .. pid):close()";
    };
    const Case cases[] = {
        {"termination between frames", sending("TERM"), "", "", ""},
        {"termination from the handler", "", sending("TERM"), "", ""},
        {"interrupt from the handler", "", sending("INT"), "", ""},
        {"vumo.endProgram from the handler", "", "vumo.endProgram()", "", ""},
        {"termination the close hook would refuse", "", sending("TERM"), "vumo.log('close refused')", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        GameFolder folder;
        folder.config();
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/loops.lua", loops);
        // ask(what): logs the request, then makes it.
        std::string script = "function ui.init() makeLoop({'a'}) end\n"
                             "local function ask(what)\n"
                             "\tvumo.log('asking to end after ' .. runs .. ' runs')\n"
                             "\twhat()\n"
                             "end\n"
                             "function ui.update(dt)\n"
                             "\tframes = frames + 1\n"
                             "\tvumo.log('frame ' .. frames .. ' ended after ' .. runs .. ' runs')\n";
        if (c.atUpdate != "")
        {
            script += "\tif frames == 3 then ask(function() " + c.atUpdate + " end) end\n";
        }
        script += "end\n";
        if (c.atRun != "")
        {
            script += "function onRun()\n\tif runs == " +
                      std::to_string(tesraui::Dataset::maxEventsPerCall * 3 / 2) + " then ask(function() " +
                      c.atRun + " end) end\nend\n";
        }
        if (c.closeHook != "")
        {
            script += "function ui.OnWindowClose() " + c.closeHook + " end\n";
        }
        folder.put("data/lib/zz_end.lua", script);
        const int code = harness::runPlayer(folder, "timeout -s KILL 120");
        const std::string out = harness::readFile(folder.path + "/out.txt");
        EXPECT_EQ(code, 0) << out;
        EXPECT_TRUE(
            harness::inOrder(out, {"ran " + bound + " events in one frame", "frame 1 ended after " + bound,
                                   "asking to end after", c.hookLine, "VUMO destroyed"}))
            << out;
        // The frame that asked, and at most the one that takes the request in.
        const size_t asked = out.find("asking to end after");
        int framesAfter = 0;
        for (size_t at = out.find("ended after", asked); at != std::string::npos;
             at = out.find("ended after", at + 1))
        {
            ++framesAfter;
        }
        EXPECT_LE(framesAfter, 2) << out;
    }
}
