#include "platform/posix/LogFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quortypes
{
    namespace logfiles
    {
        bool isDirectory(const std::string& path)
        {
            struct stat info;
            return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        }

        bool isFile(const std::string& path)
        {
            struct stat info;
            return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
        }

        bool createDirectories(const std::string& path)
        {
            if (path.empty() || isDirectory(path))
            {
                return !path.empty();
            }
            size_t slash = path.find_last_of('/');
            if (slash != std::string::npos && slash > 0)
            {
                createDirectories(path.substr(0, slash));
            }
            if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
            {
                return false;
            }
            return isDirectory(path);
        }

        void removeTree(const std::string& path)
        {
            struct stat info;
            if (lstat(path.c_str(), &info) != 0)
            {
                return;
            }
            if (!S_ISDIR(info.st_mode))
            {
                unlink(path.c_str());
                return;
            }
            DIR* dir = opendir(path.c_str());
            if (dir != nullptr)
            {
                while (dirent* entry = readdir(dir))
                {
                    std::string name = entry->d_name;
                    if (name != "." && name != "..")
                    {
                        removeTree(path + "/" + name);
                    }
                }
                closedir(dir);
            }
            rmdir(path.c_str());
        }

        long long sizeOf(const std::string& path)
        {
            struct stat info;
            return stat(path.c_str(), &info) == 0 ? (long long)info.st_size : 0;
        }

        bool clear(const std::string& path)
        {
            FILE* file = fopen(path.c_str(), "wb");
            return file != nullptr && fclose(file) == 0;
        }

        bool append(const std::string& path, const std::string& data)
        {
            FILE* file = fopen(path.c_str(), "ab");
            if (file == nullptr)
            {
                return false;
            }
            bool written = fwrite(data.data(), 1, data.size(), file) == data.size();
            int error = errno;
            // fclose flushes, so a full disk may only show here.
            bool closed = fclose(file) == 0;
            if (!written)
            {
                errno = error;
            }
            return written && closed;
        }

        bool readAll(const std::string& path, std::string& result)
        {
            result.clear();
            if (!isFile(path))
            {
                return false;
            }
            FILE* file = fopen(path.c_str(), "rb");
            if (file == nullptr)
            {
                return false;
            }
            char buffer[65536];
            size_t count;
            while ((count = fread(buffer, 1, sizeof(buffer), file)) > 0)
            {
                result.append(buffer, count);
            }
            bool ok = ferror(file) == 0;
            fclose(file);
            result.erase(std::remove(result.begin(), result.end(), '\r'), result.end());
            return ok;
        }

        int highestSegment(const std::string& directory, const std::string& extension)
        {
            int highest = -1;
            DIR* dir = opendir(directory.c_str());
            if (dir == nullptr)
            {
                return highest;
            }
            std::string suffix = "." + extension;
            while (dirent* entry = readdir(dir))
            {
                std::string name = entry->d_name;
                size_t digits = name.find_first_not_of("0123456789");
                if (digits == 0 || digits == std::string::npos || digits > 9 || name.substr(digits) != suffix)
                {
                    continue;
                }
                highest = std::max(highest, atoi(name.c_str()));
            }
            closedir(dir);
            return highest;
        }
    } // namespace logfiles
} // namespace quortypes
