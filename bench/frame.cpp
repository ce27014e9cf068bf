// One frame of the demo game through the engine's update delegate (the UI's update and draw, the session
// frame, "ui.update") beside the UI library's own update and draw of the same object tree: what the
// engine adds to a frame. Timed on the wall clock with the frame finished before the next begins.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>

#include <GL/gl.h>

#include <tesra/RenderSystem.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/tesraui.h>

#include "Config.h"
#include "Session.h"
#include "ui/UI.h"

namespace
{
    void startDemo()
    {
        static bool started = false;
        if (started)
        {
            return;
        }
        started = true;
        char pattern[] = "/tmp/vumo-bench-frame-XXXXXX";
        static const std::filesystem::path folder = mkdtemp(pattern);
        // The copy of the demo goes when the program ends.
        atexit([] { std::filesystem::remove_all(folder); });
        std::filesystem::copy(VUMO_DEMO_DIR, folder, std::filesystem::copy_options::recursive);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        std::filesystem::current_path(folder);
        Session::loadConfig(false);
        Session::init(nullptr);
    }

    void DemoFrameThroughDelegate(benchmark::State& state)
    {
        startDemo();
        for (auto _ : state)
        {
            tesra::window->getUpdateDelegate()->onUpdate(0.016f);
            glFinish();
        }
    }
    BENCHMARK(DemoFrameThroughDelegate)->UseRealTime()->Unit(benchmark::kMicrosecond);

    void SameTreeLibraryUpdateAndDraw(benchmark::State& state)
    {
        startDemo();
        tesraui::Container* root = UI::getInstance()->getRootObject();
        for (auto _ : state)
        {
            tesraui::processEvents();
            tesraui::update(0.016f);
            tesra::rendersys->clear();
            root->draw();
            glFinish();
        }
    }
    BENCHMARK(SameTreeLibraryUpdateAndDraw)->UseRealTime()->Unit(benchmark::kMicrosecond);
} // namespace
