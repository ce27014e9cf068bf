#pragma once

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

// Sends standard output into a file for as long as it lives; text() gives what was printed so far.
class StdoutCapture
{
public:
    explicit StdoutCapture(const std::string& path = "") : path(path.empty() ? makeName() : path)
    {
        fflush(stdout);
        saved = dup(1);
        int fd = open(this->path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 1);
        close(fd);
    }
    ~StdoutCapture()
    {
        restore();
        unlink(path.c_str());
    }
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
    static std::string readFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream data;
        data << in.rdbuf();
        return data.str();
    }

private:
    static std::string makeName()
    {
        char name[] = "/tmp/quortypes-stdout-XXXXXX";
        int fd = mkstemp(name);
        close(fd);
        return name;
    }
    std::string path;
    int saved = -1;
};

// A fresh directory under /tmp, removed with everything in it at the end.
class TempDir
{
public:
    TempDir()
    {
        char name[] = "/tmp/quortypes-test-XXXXXX";
        path = mkdtemp(name);
    }
    ~TempDir()
    {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

inline bool pathExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

inline long long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? (long long)info.st_size : -1;
}
