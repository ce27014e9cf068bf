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

#include "Config.h"
#include "Session.h"
#include "SessionState.h"

namespace enginetest
{
    typedef std::vector<std::string> Lines;

    inline std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // A fresh directory under /tmp, removed with everything in it at the end.
    class ScratchDir
    {
    public:
        ScratchDir()
        {
            char pattern[] = "/tmp/vumo-test-XXXXXX";
            const char* made = mkdtemp(pattern);
            this->path = made != nullptr ? made : "";
        }
        ~ScratchDir()
        {
            std::error_code ignored;
            std::filesystem::remove_all(this->path, ignored);
        }
        std::string operator/(const std::string& name) const { return this->path + "/" + name; }
        void put(const std::string& name, const std::string& bytes) const
        {
            std::filesystem::path file = *this / name;
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << bytes;
        }
        std::string read(const std::string& name) const { return readFile(*this / name); }
        bool has(const std::string& name) const { return std::filesystem::exists(*this / name); }

        std::string path;
    };

    // Sets an environment variable (or unsets it for nullptr) while alive.
    class ScopedEnv
    {
    public:
        ScopedEnv(const char* name, const char* value) : name(name)
        {
            const char* old = getenv(name);
            this->had = old != nullptr;
            this->old = old != nullptr ? old : "";
            value != nullptr ? setenv(name, value, 1) : unsetenv(name);
        }
        ~ScopedEnv()
        {
            this->had ? setenv(this->name.c_str(), this->old.c_str(), 1) : unsetenv(this->name.c_str());
        }

    private:
        std::string name, old;
        bool had;
    };

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

    // An exception's own text, without the "[source:line] " in front.
    inline std::string messageText(const quortypes::exception& e)
    {
        std::string message = e.getMessage();
        size_t end = message.find("] ");
        return end == std::string::npos ? message : message.substr(end + 2);
    }

    template <class F> std::string thrownText(F f)
    {
        try
        {
            f();
        }
        catch (quortypes::exception& e)
        {
            return messageText(e);
        }
        return "nothing thrown";
    }

    // A game folder as the working directory, XDG_DATA_HOME inside it, and a session that starts afresh.
    class GameFolder
    {
    public:
        GameFolder() : xdg("XDG_DATA_HOME", (dir / "xdg").c_str()), previous(std::filesystem::current_path())
        {
            std::filesystem::current_path(this->dir.path);
            Session::forgetConfig();
            Session::forgetUserFolder();
        }
        ~GameFolder()
        {
            quortypes::Log::setFilename("", false);
            Session::forgetConfig();
            Session::forgetUserFolder();
            std::error_code ignored;
            std::filesystem::current_path(this->previous, ignored);
        }
        // The per-user folder of a game with the title "Demo".
        std::string user(const std::string& name) const { return dir / ("xdg/Torvin Games/Demo/" + name); }

        ScratchDir dir;
        ScopedEnv xdg;

    private:
        std::filesystem::path previous;
    };
} // namespace enginetest
