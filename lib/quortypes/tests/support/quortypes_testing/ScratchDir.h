#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "TempFolder.h"

namespace quortypes_testing
{
    // A fresh directory in the temporary folder, removed with everything in it at the end. It uses the
    // standard library only, so that it does not depend on the code under test; one that cannot be made
    // throws (makeTempFolder).
    class ScratchDir
    {
    public:
        ScratchDir() : path(makeTempFolder("vumo-test-")) {}
        ~ScratchDir()
        {
            std::error_code ignored;
            std::filesystem::remove_all(this->path, ignored);
        }

        std::string operator/(const std::string& name) const { return this->path + "/" + name; }

        // Writes the bytes to a file below the directory, making its parent directories.
        void put(const std::string& name, const std::string& bytes) const
        {
            std::filesystem::path file = *this / name;
            std::filesystem::create_directories(file.parent_path());
            std::ofstream(file, std::ios::binary) << bytes;
        }
        void copy(const std::string& from, const std::string& name) const
        {
            std::filesystem::path file = *this / name;
            std::filesystem::create_directories(file.parent_path());
            std::filesystem::copy_file(from, file, std::filesystem::copy_options::overwrite_existing);
        }
        // The whole file ("" when it cannot be read).
        std::string read(const std::string& name) const
        {
            std::ifstream in(*this / name, std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }

        std::string path;
    };

    // Sets an environment variable (unsets it for nullptr) while alive.
    class ScopedEnv
    {
    public:
        ScopedEnv(const char* name, const char* value)
            : name(name), old(getenv(name) != nullptr ? getenv(name) : ""), had(getenv(name) != nullptr)
        {
            value != nullptr ? setenv(name, value, 1) : unsetenv(name);
        }
        ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
        ~ScopedEnv() { had ? setenv(name.c_str(), old.c_str(), 1) : unsetenv(name.c_str()); }

    private:
        std::string name, old;
        bool had;
    };
} // namespace quortypes_testing
