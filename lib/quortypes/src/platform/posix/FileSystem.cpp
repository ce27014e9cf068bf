#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include <quortypes/FileFaults.h>

namespace quortypes::platform
{
    EntryKind entryKind(const std::string& path, bool followLinks)
    {
        struct stat info;
        int result = followLinks ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
        if (result != 0)
        {
            return EntryKind::Missing;
        }
        if (S_ISLNK(info.st_mode))
        {
            return EntryKind::Link;
        }
        if (S_ISREG(info.st_mode))
        {
            return EntryKind::File;
        }
        if (S_ISDIR(info.st_mode))
        {
            return EntryKind::Directory;
        }
        return EntryKind::Other;
    }

    bool isRegularFile(const std::string& path)
    {
        return entryKind(path, true) == EntryKind::File;
    }

    bool isDirectory(const std::string& path)
    {
        return entryKind(path, true) == EntryKind::Directory;
    }

    bool sameFile(const std::string& a, const std::string& b)
    {
        struct stat infoA, infoB;
        if (::stat(a.c_str(), &infoA) != 0 || ::stat(b.c_str(), &infoB) != 0)
        {
            return false;
        }
        return infoA.st_dev == infoB.st_dev && infoA.st_ino == infoB.st_ino;
    }

    FILE* openFile(const std::string& path, const char* mode, uint64_t* size)
    {
        // The flags fopen would use for the mode ("b" means nothing here).
        const std::string kind(mode);
        const bool update = kind.find('+') != std::string::npos;
        int flags = 0;
        switch (kind.empty() ? 'r' : kind[0])
        {
        case 'w':
            flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
            break;
        case 'a':
            flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
            break;
        default:
            flags = update ? O_RDWR : O_RDONLY;
            break;
        }
        // Without O_NONBLOCK a named pipe holds open() until its other end is opened, which may be never;
        // with it, what is there is looked at before a byte moves.
        const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0)
        {
            // A pipe nobody reads cannot be opened for writing without blocking: it is no file all the same.
            if (errno == ENXIO && entryKind(path, true) == EntryKind::Other)
            {
                errno = notRegularFileError;
            }
            return nullptr;
        }
        // A directory, a named pipe, a device or a socket is never a file to the callers.
        struct stat info;
        if (::fstat(fd, &info) != 0)
        {
            const int error = errno;
            ::close(fd);
            errno = error;
            return nullptr;
        }
        if (!S_ISREG(info.st_mode))
        {
            ::close(fd);
            errno = S_ISDIR(info.st_mode) ? EISDIR : notRegularFileError;
            return nullptr;
        }
        // A file on disk never blocks anyway, but some of the system's own files do (/proc/kmsg waits for
        // the kernel's next message): a read of those ends with EAGAIN instead of holding the program.
        // Writes behave as fopen's again.
        if (flags != O_RDONLY)
        {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        }
        FILE* handle = ::fdopen(fd, mode);
        if (handle == nullptr)
        {
            const int error = errno;
            ::close(fd);
            errno = error;
        }
        else if (size != nullptr)
        {
            *size = (uint64_t)info.st_size;
        }
        return handle;
    }

    std::string describeError(int error)
    {
        return error == notRegularFileError ? "not a regular file" : std::string(::strerror(error));
    }

    bool removeFile(const std::string& path)
    {
        if (const int fault = fileFault("remove", path))
        {
            errno = fault;
            return false;
        }
        // unlink never follows a symbolic link: the link itself goes.
        return ::unlink(path.c_str()) == 0;
    }

    bool makeDirectory(const std::string& path)
    {
        return ::mkdir(path.c_str(), 0777) == 0;
    }

    bool removeEmptyDirectory(const std::string& path)
    {
        if (const int fault = fileFault("remove", path))
        {
            errno = fault;
            return false;
        }
        return ::rmdir(path.c_str()) == 0;
    }

    bool listDirectory(const std::string& path, std::vector<std::string>& names,
                       std::vector<EntryKind>* kinds)
    {
        names.clear();
        if (kinds != nullptr)
        {
            kinds->clear();
        }
        if (path.empty())
        {
            return false;
        }
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr)
        {
            return false;
        }
        std::vector<std::pair<std::string, EntryKind>> entries;
        while (struct dirent* entry = ::readdir(dir))
        {
            std::string name = entry->d_name;
            if (name == "." || name == "..")
            {
                continue;
            }
            EntryKind kind = EntryKind::Other;
            if (kinds != nullptr)
            {
                switch (entry->d_type)
                {
                case DT_REG:
                    kind = EntryKind::File;
                    break;
                case DT_DIR:
                    kind = EntryKind::Directory;
                    break;
                case DT_LNK:
                case DT_UNKNOWN:
                    // What a link points at, or an entry of a file system that does not say, is looked at.
                    kind = entryKind(path + "/" + name, true);
                    break;
                default:
                    break;
                }
            }
            entries.emplace_back(std::move(name), kind);
        }
        ::closedir(dir);
        // readdir's order depends on the file system; a sorted listing makes every caller deterministic.
        std::sort(entries.begin(), entries.end(),
                  [](const std::pair<std::string, EntryKind>& a, const std::pair<std::string, EntryKind>& b)
                  { return a.first < b.first; });
        for (auto& entry : entries)
        {
            names.push_back(std::move(entry.first));
            if (kinds != nullptr)
            {
                kinds->push_back(entry.second);
            }
        }
        return true;
    }

    FileTimes queryFile(const std::string& path)
    {
        FileTimes times;
        struct statx info;
        if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &info) != 0)
        {
            return times;
        }
        times.ok = true;
        times.size = info.stx_size;
        // Not every file system records a birth time; the change time is the closest stand-in.
        times.creation = (info.stx_mask & STATX_BTIME) ? info.stx_btime.tv_sec : info.stx_ctime.tv_sec;
        times.access = info.stx_atime.tv_sec;
        times.modification = info.stx_mtime.tv_sec;
        return times;
    }
} // namespace quortypes::platform
