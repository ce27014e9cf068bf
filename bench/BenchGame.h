// The engine started once per benchmark program on a game folder of its own.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <quortypes_testing/TempFolder.h>

#include "Config.h"
#include "Session.h"

using namespace vumo;

namespace benchgame
{
    // A file of the game folder, with the folders above it.
    inline void put(const std::filesystem::path& folder, const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories((folder / name).parent_path());
        std::ofstream(folder / name) << text;
    }

    // Makes a scratch folder (removed when the program ends), lets `fill` put the game into it, and
    // starts the engine there, headless. Later calls do nothing.
    inline void start(const char* name, const std::function<void(const std::filesystem::path&)>& fill)
    {
        static bool started = false;
        if (started)
        {
            return;
        }
        started = true;
        static const std::filesystem::path folder =
            quortypes_testing::makeTempFolder(std::string("vumo-bench-") + name + "-");
        atexit([] { std::filesystem::remove_all(folder); });
        fill(folder);
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        std::filesystem::current_path(folder);
        Session::loadConfig(false);
        Session::init(nullptr);
    }

#ifdef VUMO_DEMO_DIR
    // The demo game, copied.
    inline void startDemo(const char* name)
    {
        start(name, [](const std::filesystem::path& folder)
              { std::filesystem::copy(VUMO_DEMO_DIR, folder, std::filesystem::copy_options::recursive); });
    }
#endif
} // namespace benchgame
