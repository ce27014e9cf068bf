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

#include <pirk/util.h>

namespace pirktest
{
    typedef std::vector<std::string> Lines;

    // A fresh directory under /tmp, removed with everything in it at the end.
    struct ScratchDir
    {
        std::string path;
        ScratchDir()
        {
            char pattern[] = "/tmp/pirk-test-XXXXXX";
            path = mkdtemp(pattern);
        }
        ~ScratchDir() { std::filesystem::remove_all(path); }
        std::string operator/(const std::string& name) const { return path + "/" + name; }
        void put(const std::string& name, const std::string& bytes) const
        {
            std::filesystem::create_directories(std::filesystem::path(*this / name).parent_path());
            std::ofstream(*this / name, std::ios::binary) << bytes;
        }
        std::string read(const std::string& name) const
        {
            std::ifstream in(*this / name, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    };

    // Sets an environment variable (unsets it for nullptr) while alive.
    struct ScopedEnv
    {
        std::string name, old;
        bool had;
        ScopedEnv(const char* name, const char* value)
            : name(name), old(getenv(name) ? getenv(name) : ""), had(getenv(name))
        {
            value != nullptr ? setenv(name, value, 1) : unsetenv(name);
        }
        ~ScopedEnv() { had ? setenv(name.c_str(), old.c_str(), 1) : unsetenv(name.c_str()); }
    };

    // The library's log lines, level prefix included, while alive.
    struct LogCapture
    {
        LogCapture()
        {
            lines.clear();
            quortypes::Log::setCallback([](const hstring& tag, const hstring& text)
                                        { tag == "pirk" ? lines.push_back(text) : void(); });
        }
        ~LogCapture() { quortypes::Log::setCallback(nullptr); }
        Lines take() { return std::exchange(lines, Lines()); }
        static inline Lines lines;
    };
} // namespace pirktest
