#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

// A fresh directory under /tmp, removed with everything in it when the test ends. Cleanup uses the
// standard library so that it does not depend on the code under test.
class ScratchDir
{
public:
    ScratchDir()
    {
        char pattern[] = "/tmp/quortypes-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        this->path = made != nullptr ? made : "";
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(this->path, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::string operator/(const std::string& name) const { return this->path + "/" + name; }

    // Writes the bytes to a file below the directory, making its parent directories.
    void put(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::path file = *this / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

    std::string read(const std::string& name) const
    {
        std::ifstream in(*this / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string path;
};

// Runs a block with the process's working directory set to a given one.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const std::string& path) : previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(path);
    }
    ~WorkingDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(this->previous, ignored);
    }

private:
    std::filesystem::path previous;
};
