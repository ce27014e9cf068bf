#include <string>
#include <vector>

#include <tesraui/Dataset.h>

#include "EngineHarness.h"
#include "EventLoopScript.h"

using namespace vumo;

using harness::loops;

class EventLoops : public harness::GameTest
{
protected:
    void SetUp() override { startOnScript("loops.lua", loops); }
};

// A handler that triggers its own event, and two that trigger each other, no longer hold the frame: each
// frame runs the bound of events, the game's update runs, and the log names the problem once.
TEST_F(EventLoops, EachFrameEndsAfterTheBoundAndTheGameRunsOn)
{
    const int bound = tesraui::Dataset::maxEventsPerCall;
    const std::vector<std::pair<std::string, std::string>> cases = {{"itself", "{'a'}"},
                                                                    {"each other", "{'b', 'c'}"}};
    for (const auto& [name, names] : cases)
    {
        SCOPED_TRACE(name);
        LuaInterface::execute("runs = 0 frames = 0 makeLoop(" + hstring(names.c_str()) + ")");
        std::vector<std::string> seen;
        for (int frame = 0; frame < 3; ++frame)
        {
            engine->frame();
            seen.push_back(engine->lua("runs") + "/" + engine->lua("frames"));
        }
        const std::string b = std::to_string(bound);
        EXPECT_EQ(seen, (std::vector<std::string>{b + "/1", std::to_string(2 * bound) + "/2",
                                                  std::to_string(3 * bound) + "/3"}));
        EXPECT_EQ(engine->logCount("Dataset 'ui' ran " + b + " events in one frame"), 1u)
            << engine->logText();

        // Once the objects go, their queued events go with them.
        LuaInterface::execute("for _, name in ipairs(" + hstring(names.c_str()) +
                              ") do object.destroy('ui.' .. name) end");
        engine->frame();
        EXPECT_EQ(engine->lua("runs"), std::to_string(3 * bound));
        EXPECT_EQ(UI::getInstance()->getDataset()->getQueuedEventCount(), 0);
        engine->log().clear();
    }
}
