// Delayed calls firing together, each one's object destroyed after its callback: 131,072 made at once and
// fired beside the same number made and fired 8,192 at a time. Both sides run the same callbacks and
// destroy the same objects. The frames that carry the events past a frame's bound walk the calls still
// there, which costs the side of 131,072 a little more; a destruction whose cost grew with the queue of
// events or with the siblings left would show as a ratio near 16.
#include <benchmark/benchmark.h>

#include <tesraui/Container.h>

#include "BenchGame.h"
#include "Compare.h"
#include "lua/LuaInterface.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    const int total = 131072;

    void start()
    {
        benchgame::start("delayedcalls",
                         [](const std::filesystem::path& folder)
                         {
                             benchgame::put(folder, "cfg/vumo.cfg",
                                            "title: DelayedCallsBench\ntarget: pc\nwidth: 320\nheight: 240\n"
                                            "audio_mute: 1\n");
                             benchgame::put(folder, "data/ui/ui.dts", "<Dataset/>");
                             benchgame::put(
                                 folder, "data/lib/calls.lua",
                                 "fired = 0\n"
                                 "function count() fired = fired + 1 end\n"
                                 "function makeCalls(n) for i = 1, n do vumo.delayedCall(count, 0) "
                                 "end end\n");
                         });
    }

    // Frames until every call made has fired and its object has gone.
    void fireInBatches(int batch)
    {
        tesraui::Object* root = UI::getInstance()->getRootObject();
        const int others = root->getChildren().size();
        for (int made = 0; made < total; made += batch)
        {
            LuaInterface::execute("fired = 0 makeCalls(" + hstring(batch) + ")");
            while (root->getChildren().size() > others)
            {
                UI::getInstance()->update(0.016f);
            }
        }
    }

    void FireTogether(benchmark::State& state)
    {
        start();
        benchcompare::Side ours{[] { fireInBatches(total); }};
        benchcompare::Side reference{[] { fireInBatches(8192); }};
        benchcompare::compare(state, ours, reference, (double)total, 3, 0.0);
    }
    BENCHMARK(FireTogether)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
