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
            char pattern[] = "/tmp/pirk-test-XXXXXX";
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

    // The library's log lines, level prefix included, while alive.
    struct LogCapture
    {
        LogCapture()
        {
            lines.clear();
            quortypes::Log::setCallback(
                [](const hstring& tag, const hstring& text)
                {
                    if (tag == "pirk")
                        lines.push_back(text);
                });
        }
        ~LogCapture() { quortypes::Log::setCallback(nullptr); }
        Lines take() { return std::exchange(lines, Lines()); }
        static inline Lines lines;
    };
} // namespace pirktest
