#include <quortypes/AtomicFile.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

        [[noreturn]] void fail(const hstring& path, const char* what, int error)
        {
            throw exception("Unable to save file '" + path + "', " + what + ": " +
                                platform::describeError(error),
                            "hfile", __LINE__);
        }
    } // namespace

    PendingFile::PendingFile(const hstring& path, const hstring& data) : path(path), temporary(path + ".tmp")
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

    void saveFileAtomically(const hstring& path, const hstring& data)
    {
        PendingFile(path, data).commit();
    }
} // namespace quortypes
