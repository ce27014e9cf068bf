#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <quortypes_testing/ScratchDir.h>

#include "Config.h"
#include "Session.h"
#include "SessionState.h"

using namespace vumo;

namespace enginetest
{
    typedef std::vector<std::string> Lines;

    inline std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    using quortypes_testing::ScratchDir;

    using quortypes_testing::ScopedEnv;

    // Log lines of every tag as "tag: text" (level prefix included) while alive.
    struct LogCapture
    {
        LogCapture()
        {
            lines.clear();
            quortypes::Log::setCallback([](const hstring& tag, const hstring& text)
                                        { lines.push_back(tag + ": " + text); });
        }
        ~LogCapture() { quortypes::Log::setCallback(nullptr); }
        Lines take() { return std::exchange(lines, Lines()); }
        static inline Lines lines;
    };

    // The text of what f throws, without the "[source:line] " in front.
    template <class F> std::string thrownText(F f)
    {
        try
        {
            f();
        }
        catch (quortypes::exception& e)
        {
            std::string message = e.getMessage();
            return message.substr(message.find("] ") + 2);
        }
        return "nothing thrown";
    }

    // A game folder as the working directory with XDG_DATA_HOME inside it, and a session starting afresh.
    struct GameFolder
    {
        ScratchDir dir;
        ScopedEnv xdg{"XDG_DATA_HOME", (dir / "xdg").c_str()};
        std::filesystem::path previous = std::filesystem::current_path();

        GameFolder()
        {
            std::filesystem::current_path(dir.path);
            Session::forgetConfig();
            Session::forgetUserFolder();
        }
        ~GameFolder()
        {
            quortypes::Log::setFilename("", false);
            Session::forgetConfig();
            Session::forgetUserFolder();
            std::filesystem::current_path(previous);
        }
        // A file in the per-user folder of a game with the title "Demo".
        std::string user(const std::string& name) const { return dir / ("xdg/Torvin Games/Demo/" + name); }
    };
} // namespace enginetest
