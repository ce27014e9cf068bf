#include "platform/posix/LogFiles.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

namespace quortypes
{
    namespace logfiles
    {
        bool append(const std::string& path, const std::string& data)
        {
            FILE* file = platform::openFile(path, "ab");
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

        Copy appendFile(const std::string& path, const std::string& source)
        {
            FILE* input = platform::openFile(source, "rb");
            if (input == nullptr)
            {
                return Copy::SourceUnreadable;
            }
            FILE* output = platform::openFile(path, "ab");
            if (output == nullptr)
            {
                int error = errno;
                fclose(input);
                errno = error;
                return Copy::Failed;
            }
            std::vector<char> block(0x10000);
            bool written = true;
            int error = 0;
            size_t count = 0;
            while (written && (count = fread(block.data(), 1, block.size(), input)) > 0)
            {
                char* end = std::remove(block.data(), block.data() + count, '\r');
                size_t size = (size_t)(end - block.data());
                written = fwrite(block.data(), 1, size, output) == size;
                error = errno;
            }
            fclose(input);
            bool closed = fclose(output) == 0;
            if (!written)
            {
                errno = error;
            }
            return written && closed ? Copy::Done : Copy::Failed;
        }
    } // namespace logfiles
} // namespace quortypes
