#pragma once

#include <string>

// The few file operations the log needs, on the C library and POSIX. They report failures by their result
// (and errno) and never throw, so the log can decide what a failure means.
namespace quortypes
{
    namespace logfiles
    {
        bool isDirectory(const std::string& path);
        bool isFile(const std::string& path);
        // Creates the directory and any missing parents; true when it exists afterwards.
        bool createDirectories(const std::string& path);
        // Removes the directory with everything in it. Symbolic links are removed, never followed.
        void removeTree(const std::string& path);
        // 0 for a file that does not exist.
        long long sizeOf(const std::string& path);
        // Creates the file empty or empties it.
        bool clear(const std::string& path);
        // Appends the bytes; false (errno set) when the file cannot be opened or written completely.
        bool append(const std::string& path, const std::string& data);
        // The whole file without carriage returns; false when it cannot be read.
        bool readAll(const std::string& path, std::string& result);
        // The highest n of the entries named "n.<extension>" in the directory, or -1.
        int highestSegment(const std::string& directory, const std::string& extension);
    } // namespace logfiles
} // namespace quortypes
