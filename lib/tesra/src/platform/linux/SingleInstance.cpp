#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/Platform.h"

namespace tesra::platform
{

    namespace
    {
        int lockFile = -1;

        // Any byte outside a small safe set is written as %XX, so different names never
        // share a lock file and no name can leave the folder.
        std::string fileSafe(const hstring& name)
        {
            static const char* const digits = "0123456789ABCDEF";
            std::string result;
            for (unsigned char c : name)
            {
                if (isalnum(c) || c == '-' || c == '_' || c == '.')
                {
                    result += (char)c;
                }
                else
                {
                    result += '%';
                    result += digits[c >> 4];
                    result += digits[c & 15];
                }
            }
            return result;
        }

        std::string lockPath(const hstring& name)
        {
            const char* runtime = getenv("XDG_RUNTIME_DIR");
            if (runtime != nullptr && runtime[0] != '\0')
            {
                return std::string(runtime) + "/tesra-instance-" + fileSafe(name) + ".lock";
            }
            const char* temp = getenv("TMPDIR");
            const std::string folder = (temp != nullptr && temp[0] != '\0') ? temp : "/tmp";
            return folder + "/tesra-instance-" + std::to_string(getuid()) + "-" + fileSafe(name) + ".lock";
        }
    } // namespace

    InstanceLock acquireInstanceLock(const hstring& name)
    {
        releaseInstanceLock();
        const int fd = open(lockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
        {
            return InstanceLock::FAILED;
        }
        // The lock lives as long as the descriptor, so it is freed however the
        // process ends.
        if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        {
            const int error = errno;
            close(fd);
            return error == EWOULDBLOCK ? InstanceLock::HELD_ELSEWHERE : InstanceLock::FAILED;
        }
        lockFile = fd;
        return InstanceLock::ACQUIRED;
    }

    void releaseInstanceLock()
    {
        if (lockFile >= 0)
        {
            close(lockFile);
            lockFile = -1;
        }
    }

} // namespace tesra::platform
