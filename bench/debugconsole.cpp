// A frame of the game UI with the debug console open and full, taking 10 new log lines, beside the same
// frame with the console closed (the lines then only queue up), in one run.
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include <quortypes/Log.h>
#include <tesraui/Dataset.h>
#include <quortypes_testing/TempFolder.h>

#include "Compare.h"
#include "Config.h"
#include "Session.h"
#include "ui/DebugUI.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    void start()
    {
        static bool started = false;
        if (started)
        {
            return;
        }
        started = true;
        static const std::filesystem::path folder =
            quortypes_testing::makeTempFolder("vumo-bench-debugconsole-");
        atexit([] { std::filesystem::remove_all(folder); });
        std::filesystem::create_directories(folder / "cfg");
        std::filesystem::create_directories(folder / "data/ui");
        std::ofstream(folder / "cfg/vumo.cfg")
            << "title: DebugConsoleBench\ntarget: pc\nwidth: 320\nheight: 240\n"
               "audio_mute: 1\ndebug_mode: 1\n";
        std::ofstream(folder / "data/ui/ui.dts") << "<Dataset/>";
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        std::filesystem::current_path(folder);
        Session::loadConfig(false);
        Session::init(nullptr);
    }

    void frame(UI* ui)
    {
        for (int i = 0; i < 10; ++i)
        {
            quortypes::Log::write("bench", "a line of the log, as a game writes them now and then");
        }
        ui->update(0.016f);
        ui->draw();
    }

    void DebugConsoleFrame(benchmark::State& state)
    {
        start();
        UI* ui = UI::getInstance();
        DebugUI* debug = ui->getDebugUI();
        benchcompare::Side ours;
        ours.prepare = [ui, debug]
        {
            if (!debug->isConsoleOpen())
            {
                debug->createConsole();
                for (int i = 0; i < DebugUI::maxLines; ++i)
                {
                    quortypes::Log::write("bench", "filling the console");
                }
                ui->update(0.016f);
            }
        };
        ours.body = [ui] { frame(ui); };
        benchcompare::Side reference;
        reference.prepare = [debug]
        {
            if (debug->isConsoleOpen())
            {
                UI::getUIDataset()->destroyObject(DebugUI::consoleName);
            }
        };
        reference.body = [ui] { frame(ui); };
        benchcompare::compare(state, ours, reference);
    }
    BENCHMARK(DebugConsoleFrame)->Iterations(1)->UseRealTime();
} // namespace
