// Draining queued scripts: 1,000 queued at once and run in one frame beside the same 1,000 queued ten at a
// time over 100 frames, for the session's queue and for the active scene's. Both sides run the same texts
// and the same number of drains (or scene updates), so what differs is only how long the queue gets: a
// queue whose cost grows with its length shows as a ratio above 1.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>

#include <tesra/tesra.h>

#include "BenchGame.h"
#include "Compare.h"
#include "Config.h"
#include "Scene.h"
#include "Session.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    const int scripts = 1000;
    const int frames = 100;
    const char* const script = "queuedScriptRuns = (queuedScriptRuns or 0) + 1";

    void startDemo()
    {
        benchgame::startDemo("queued");
    }

    // Queues `batch` scripts before each of `frames` drains.
    void sessionFrames(int batch)
    {
        for (int frame = 0; frame < frames; ++frame)
        {
            for (int i = 0; i < batch && frame * batch + i < scripts; ++i)
            {
                Session::queueScript(script, false);
            }
            Session::runQueuedScripts();
        }
    }

    void SessionQueue(benchmark::State& state)
    {
        startDemo();
        benchcompare::Side ours{[] { sessionFrames(scripts); }};
        benchcompare::Side reference{[] { sessionFrames(scripts / frames); }};
        benchcompare::compare(state, ours, reference, (double)scripts);
    }
    BENCHMARK(SessionQueue)->Iterations(1)->Unit(benchmark::kMicrosecond);

    void sceneFrames(Scene* scene, int batch)
    {
        for (int frame = 0; frame < frames; ++frame)
        {
            for (int i = 0; i < batch && frame * batch + i < scripts; ++i)
            {
                scene->queueScript(script);
            }
            scene->update(0.016f);
        }
    }

    void SceneQueue(benchmark::State& state)
    {
        startDemo();
        Session::changeScene("lake.shore", 0.0f, "");
        Scene* scene = Session::getActiveScene();
        if (scene == nullptr)
        {
            state.SkipWithError("the demo has no active scene");
            return;
        }
        benchcompare::Side ours{[scene] { sceneFrames(scene, scripts); }};
        benchcompare::Side reference{[scene] { sceneFrames(scene, scripts / frames); }};
        benchcompare::compare(state, ours, reference, (double)scripts);
    }
    BENCHMARK(SceneQueue)->Iterations(1)->Unit(benchmark::kMicrosecond);
} // namespace
