#include <quortypes/AtomicFile.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <quortypes/FileBytes.h>
#include <quortypes/FileFaults.h>
#include <quortypes/exception.h>

#include "platform/FileSystem.h"

namespace quortypes
{
    namespace
    {
        bool writeAll(int fd, const char* data, size_t size)
        {
            while (size > 0)
            {
                ssize_t written = ::write(fd, data, size);
                if (written < 0 && errno == EINTR)
                {
                    continue;
                }
                if (written <= 0)
                {
                    if (written == 0)
                    {
                        errno = EIO;
                    }
                    return false;
                }
                data += written;
                size -= (size_t)written;
            }
            return true;
        }

        // "<path>.tmp", unless something that is not a regular file holds that name (a folder a crash or a
        // player left there, a link, a pipe): it would fail every save, so it is stepped around and left as
        // it is, and "<path>.1.tmp", "<path>.2.tmp"... is taken instead. An empty folder holds nothing and is
        // cleared. A regular file there is a temporary file an earlier save left, and is written over.
        hstring temporaryName(const hstring& path)
        {
            hstring name = path + ".tmp";
            for (int i = 1; i <= 100; ++i)
            {
                struct stat info;
                if (::lstat(name.c_str(), &info) != 0 || S_ISREG(info.st_mode) ||
                    (S_ISDIR(info.st_mode) && ::rmdir(name.c_str()) == 0))
                {
                    break;
                }
                name = path + "." + std::to_string(i) + ".tmp";
            }
            return name;
        }

        // temporaryName once the data is known to fit: a refused save touches nothing on disk.
        hstring boundedTemporaryName(const hstring& path, size_t size, size_t maxBytes)
        {
            refuseLargerSave(path, size, maxBytes);
            return temporaryName(path);
        }

        [[noreturn]] void fail(const hstring& path, const char* what, int error)
        {
            throw exception("Unable to save file '" + path + "', " + what + ": " +
                                platform::describeError(error),
                            "hfile", __LINE__);
        }
    } // namespace

    PendingFile::PendingFile(const hstring& path, const hstring& data, size_t maxBytes)
        : path(path), temporary(boundedTemporaryName(path, data.std::string::size(), maxBytes))
    {
        // The rename would put the file in place of a named pipe, a device or a socket the player made
        // there, and then it would be gone: such a thing is left alone and the save refused before anything
        // is written. (A folder in the way fails the rename itself.)
        if (platform::entryKind(path, true) == platform::EntryKind::Other)
        {
            throw exception(
                "Unable to save file '" + path +
                    "': something that is not a regular file is in its place, and is left as it is",
                "hfile", __LINE__);
        }
        // O_NOFOLLOW: a link planted under the temporary name must not redirect the write. O_NONBLOCK: a
        // named pipe there must not hold the save until it is read.
        int fd = ::open(this->temporary.c_str(),
                        O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
        if (fd < 0)
        {
            fail(path, "cannot create the temporary file",
                 errno == ENXIO ? platform::notRegularFileError : errno);
        }
        struct stat info;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        {
            ::close(fd);
            fail(path, "cannot create the temporary file", platform::notRegularFileError);
        }
        const int fault = fileFault("write", path);
        if (fault != 0 || !writeAll(fd, data.data(), data.std::string::size()) || ::fsync(fd) != 0)
        {
            int error = fault != 0 ? fault : errno;
            ::close(fd);
            ::unlink(this->temporary.c_str());
            fail(path, "cannot write", error);
        }
        if (::close(fd) != 0)
        {
            int error = errno;
            ::unlink(this->temporary.c_str());
            fail(path, "cannot write", error);
        }
    }

    PendingFile::~PendingFile()
    {
        if (!this->committed)
        {
            ::unlink(this->temporary.c_str());
        }
    }

    void PendingFile::commit()
    {
        // Whatever happens below, the temporary file is no longer this object's to remove.
        this->committed = true;
        if (::rename(this->temporary.c_str(), this->path.c_str()) != 0)
        {
            int error = errno;
            ::unlink(this->temporary.c_str());
            fail(this->path, "cannot replace it", error);
        }
        // The rename itself lives in the folder; without this a power cut may still bring the old file
        // back. The new contents are in place either way, so a folder that cannot be synced is no error.
        size_t slash = this->path.std::string::rfind('/');
        std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : this->path.std::string::substr(0, slash);
        int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dirFd >= 0)
        {
            ::fsync(dirFd);
            ::close(dirFd);
        }
    }

    void saveFileAtomically(const hstring& path, const hstring& data, size_t maxBytes)
    {
        PendingFile(path, data, maxBytes).commit();
    }
} // namespace quortypes
