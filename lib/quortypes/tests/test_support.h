#pragma once

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

// The whole contents of a file, read without the code under test ("" when it cannot be read).
inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A fresh directory under /tmp, removed with everything in it at the end. Cleanup uses the standard
// library so that it does not depend on the code under test.
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

    std::string operator/(const std::string& name) const { return this->path + "/" + name; }

    // Writes the bytes to a file below the directory, making its parent directories.
    void put(const std::string& name, const std::string& bytes) const
    {
        std::filesystem::path file = *this / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const { return readFile(*this / name); }

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
