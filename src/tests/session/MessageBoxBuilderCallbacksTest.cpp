#include "EngineHarness.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

namespace
{
    // A builder that empties the queue and queues a box of its own while the first box is built.
    const char* const script = "function ui.createMessageBox(box, params)\n"
                               "  if params.text == 'first' then\n"
                               "    ui.clearQueuedMessageBoxes()\n"
                               "    ui.messageBox{type = 'second', text = 'second'}\n"
                               "  end\n"
                               "end\n";

    class MessageBoxBuilderCallbacks : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            folder.put("cfg/vumo.cfg",
                       "title: EngineTest\ntarget: pc\nwidth: 800\nheight: 600\naudio_mute: 1\n"
                       "scene: c1.a\n");
            folder.put("data/ui/ui.dts", "<Dataset/>");
            folder.put("data/lib/ui.lua", script);
            folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
            folder.put("data/chapters/c1/scenes/a.scene", "");
            engine.reset(new Engine(folder));
            engine->start();
            engine->frame();
        }
        std::string lua(const std::string& expression) { return engine->lua(expression); }
    };
} // namespace

// The box being built is no longer in the queue the builder empties: it is shown, the one queued
// meanwhile waits, and the one it cleared away is gone.
TEST_F(MessageBoxBuilderCallbacks, ABuilderThatClearsAndQueuesKeepsItsOwnBox)
{
    LuaInterface::execute("ui.messageBox{type = 'first', text = 'first'}\n"
                          "ui.messageBox{type = 'waiting', text = 'waiting'}");
    engine->frame();
    EXPECT_EQ(lua("ui.getActiveMessageBoxType()"), "first");
    EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes('waiting')"), "0");
    EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes('second')"), "1");
    EXPECT_TRUE(Session::isPaused());

    UI::getInstance()->cancelActiveMessageBox();
    engine->frame();
    EXPECT_EQ(lua("ui.getActiveMessageBoxType()"), "second");
    UI::getInstance()->cancelActiveMessageBox();
    EXPECT_FALSE(Session::isPaused());
    EXPECT_EQ(lua("ui.getNumQueuedMessageBoxTypes('')"), "0");
}
