#pragma once

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include <quortypes_testing/ScratchDir.h>

// The whole contents of a file, read without the code under test ("" when it cannot be read).
inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using quortypes_testing::ScratchDir;

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

// Sends standard output into a file (or to the given descriptor) for as long as it lives; text() gives
// what was printed into the file so far.
class StdoutCapture
{
public:
    explicit StdoutCapture(int target = -1) : path(dir / "stdout.txt")
    {
        fflush(stdout);
        saved = dup(1);
        int fd = target >= 0 ? target : open(this->path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        if (target < 0)
        {
            close(fd);
        }
    }
    ~StdoutCapture() { restore(); }
    void restore()
    {
        if (saved >= 0)
        {
            fflush(stdout);
            dup2(saved, 1);
            close(saved);
            saved = -1;
        }
    }
    std::string text()
    {
        fflush(stdout);
        return readFile(path);
    }

private:
    ScratchDir dir;
    std::string path;
    int saved = -1;
};
