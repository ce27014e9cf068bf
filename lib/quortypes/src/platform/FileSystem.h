#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The few file-system calls the streams and directories need, on UTF-8 paths.
namespace quortypes::platform
{
    enum class EntryKind
    {
        Missing,
        File,
        Directory,
        Link,
        Other
    };

    // With followLinks false a symbolic link reads as Link whatever it points at.
    EntryKind entryKind(const std::string& path, bool followLinks);
    bool isRegularFile(const std::string& path);
    bool isDirectory(const std::string& path);
    // Both paths name the same existing file.
    bool sameFile(const std::string& a, const std::string& b);

    // Fails for directories, which fopen would accept for reading.
    FILE* openFile(const std::string& path, const char* mode);
    bool removeFile(const std::string& path);
    bool makeDirectory(const std::string& path);
    bool removeEmptyDirectory(const std::string& path);
    // Entry names without "." and "..", sorted byte-wise; false when the directory cannot be listed.
    bool listDirectory(const std::string& path, std::vector<std::string>& names);

    struct FileTimes
    {
        bool ok = false;
        uint64_t size = 0;
        int64_t creation = 0;
        int64_t access = 0;
        int64_t modification = 0;
    };
    FileTimes queryFile(const std::string& path);
} // namespace quortypes::platform
