#pragma once

#include <cerrno>
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

    // errno after openFile found a named pipe, a device or a socket: a code no opening of a file gives
    // otherwise, so that describeError can say what it means.
    const int notRegularFileError = EMEDIUMTYPE;
    // fopen for regular files only: a directory fails with EISDIR, anything else that is no regular file
    // with notRegularFileError, and neither ever blocks (as opening a named pipe would until its other
    // end comes). With size, the file's size as the opening found it (after a truncating mode's cut).
    FILE* openFile(const std::string& path, const char* mode, uint64_t* size = nullptr);
    // The text of an errno, for a message: the system's, or "not a regular file".
    std::string describeError(int error);
    bool removeFile(const std::string& path);
    bool makeDirectory(const std::string& path);
    bool removeEmptyDirectory(const std::string& path);
    // Entry names without "." and "..", sorted byte-wise; false when the directory cannot be listed. With
    // kinds, what each entry is, links followed, in the same order: mostly as the listing itself tells it,
    // without a look at each entry.
    bool listDirectory(const std::string& path, std::vector<std::string>& names,
                       std::vector<EntryKind>* kinds = nullptr);

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
