#include "platform/posix/LogFiles.h"

#include <cerrno>
#include <cstdio>

namespace quortypes
{
    namespace logfiles
    {
        bool append(const std::string& path, const std::string& data)
        {
            FILE* file = fopen(path.c_str(), "ab");
            if (file == nullptr)
            {
                return false;
            }
            bool written = fwrite(data.data(), 1, data.size(), file) == data.size();
            int error = errno;
            bool closed = fclose(file) == 0;
            if (!written)
            {
                errno = error;
            }
            return written && closed;
        }
    } // namespace logfiles
} // namespace quortypes
