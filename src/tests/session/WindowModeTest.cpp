#include <tesra/SystemInfo.h>

#include "EngineHarness.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// A game that applies a pending switch of the window mode from ui.update, as an options screen does: the
// switch runs no frame inside the call, the new mode reads back at once, and the size hook hears it.
TEST(WindowMode, ASwitchMadeFromTheUpdateHookRunsNoFrameInsideItAndReadsBackAtOnce)
{
    harness::forgetSession();
    harness::GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.putJournal(
        "frames = 0\n"
        "function ui.update(dt)\n"
        "  frames = frames + 1\n"
        "  if pending ~= nil then\n"
        "    local want, before = pending, frames\n"
        "    pending = nil\n"
        "    sys.setFullscreen(want)\n"
        "    note('inside ' .. (frames - before) .. ', reads ' .. tostring(sys.isFullscreen()))\n"
        "  end\n"
        "end\n"
        "function ui.OnWindowSizeChanged(w, h)\n"
        "  note('size ' .. w .. ' ' .. tostring(sys.isFullscreen()))\n"
        "end\n");
    Engine engine(folder);
    engine.start();
    const int display = (int)tesra::getSystemInfo().displayResolution.x;
    struct Step
    {
        const char* want;
        std::string journal;
    };
    const Step steps[] = {
        {"false", "size " + std::to_string((int)(display * 0.6666667f)) + " false; inside 0, reads false"},
        {"true", "size " + std::to_string(display) + " true; inside 0, reads true"},
        {"false", "size " + std::to_string((int)(display * 0.6666667f)) + " false; inside 0, reads false"},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.want);
        LuaInterface::execute("journal = {} pending = " + std::string(step.want));
        const std::string before = engine.lua("frames");
        engine.frame();
        EXPECT_EQ(engine.lua("table.concat(journal, '; ')"), step.journal);
        EXPECT_EQ(std::stoi(engine.lua("frames")), std::stoi(before) + 1);
        EXPECT_EQ(tesra::window->isFullscreen(), std::string(step.want) == "true");
    }
    EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
}
