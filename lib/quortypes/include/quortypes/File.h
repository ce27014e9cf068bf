#pragma once

#include <cstdint>

#include <quortypes/FileBase.h>

namespace quortypes
{
    // Size and times of a file, the times in seconds since 1 January 1970; all zero when the file cannot
    // be queried.
    struct FileInfo
    {
        uint32_t size = 0;
        uint32_t creationTime = 0;
        uint32_t accessTime = 0;
        uint32_t modificationTime = 0;
    };

    // A readable and writable file on disk.
    class File : public FileBase
    {
    public:
        File() = default;
        explicit File(const hstring& name, AccessMode mode = AccessMode::Read, unsigned char byteOffset = 0);
        ~File() override = default;

        void open(const hstring& name, AccessMode mode = AccessMode::Read, unsigned char byteOffset = 0);

        static bool exists(const hstring& path, bool caseSensitive = true);
        static bool create(const hstring& path);
        static bool clear(const hstring& path);
        static bool remove(const hstring& path);
        static bool copy(const hstring& from, const hstring& to, bool overwrite = false);
        static hstring readAll(const hstring& path);
        static uint32_t sizeOf(const hstring& path);
        static FileInfo getInfo(const hstring& path);
        static hstring extensionOf(const hstring& path);
        static hstring withoutExtension(const hstring& path);
    };
} // namespace quortypes
