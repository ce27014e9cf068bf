#include <quortypes/File.h>

#include <quortypes/Dir.h>
#include <quortypes/FileBytes.h>

#include "CarriageReturns.h"
#include "platform/FileSystem.h"

namespace quortypes
{
    namespace
    {
        // Index of the last "." when it lies in the last path segment, otherwise npos.
        size_t extensionDot(const std::string& path)
        {
            size_t dot = path.rfind('.');
            size_t separator = path.find_last_of("/\\");
            if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
            {
                return std::string::npos;
            }
            return dot;
        }
    } // namespace

    File::File(const hstring& name, AccessMode mode, unsigned char byteOffset) : FileBase(byteOffset)
    {
        this->open(name, mode, byteOffset);
    }

    void File::open(const hstring& name, AccessMode mode, unsigned char byteOffset)
    {
        FileBase::open(name, mode, byteOffset, repeats, timeout);
    }

    bool File::exists(const hstring& path, bool caseSensitive)
    {
        return FileBase::exists(path, caseSensitive);
    }

    bool File::create(const hstring& path)
    {
        hstring name = Dir::normalize(path);
        if (FileBase::exists(name))
        {
            return false;
        }
        Dir::create(Dir::baseDir(name));
        FILE* handle = openWithRetries(name, "wb", repeats, timeout);
        if (handle == nullptr)
        {
            return false;
        }
        fclose(handle);
        return true;
    }

    bool File::clear(const hstring& path)
    {
        if (create(path))
        {
            return true;
        }
        hstring name = Dir::normalize(path);
        if (!FileBase::exists(name))
        {
            return false;
        }
        FILE* handle = openWithRetries(name, "wb", repeats, timeout);
        if (handle == nullptr)
        {
            return false;
        }
        fclose(handle);
        return true;
    }

    bool File::remove(const hstring& path)
    {
        return platform::removeFile(Dir::normalize(path));
    }

    bool File::copy(const hstring& from, const hstring& to, bool overwrite)
    {
        hstring source = Dir::normalize(from);
        hstring target = Dir::normalize(to);
        if (!FileBase::exists(source) || (!overwrite && FileBase::exists(target)))
        {
            return false;
        }
        // Opening the target for writing would empty the source before a single byte was read.
        if (platform::sameFile(source, target))
        {
            return false;
        }
        Dir::create(Dir::baseDir(target));
        FILE* input = openWithRetries(source, "rb", repeats, timeout);
        if (input == nullptr)
        {
            return false;
        }
        FILE* output = openWithRetries(target, "wb", repeats, timeout);
        if (output == nullptr)
        {
            fclose(input);
            return false;
        }
        bool ok = true;
        char buffer[4096];
        while (ok)
        {
            size_t got = fread(buffer, 1, sizeof(buffer), input);
            if (got == 0)
            {
                ok = !ferror(input);
                break;
            }
            ok = fwrite(buffer, 1, got, output) == got;
        }
        fclose(input);
        // A full disk may only show when the last block is flushed.
        ok = (fclose(output) == 0) && ok;
        return ok;
    }

    hstring File::readAll(const hstring& path)
    {
        hstring text = readFileBytes(path, false);
        removeCarriageReturns(text);
        return text;
    }

    uint32_t File::sizeOf(const hstring& path)
    {
        return getInfo(path).size;
    }

    FileInfo File::getInfo(const hstring& path)
    {
        FileInfo info;
        platform::FileTimes times = platform::queryFile(Dir::normalize(path));
        if (times.ok)
        {
            // The record keeps 32 bits of each value.
            info.size = (uint32_t)times.size;
            info.creationTime = (uint32_t)times.creation;
            info.accessTime = (uint32_t)times.access;
            info.modificationTime = (uint32_t)times.modification;
        }
        return info;
    }

    hstring File::extensionOf(const hstring& path)
    {
        const std::string& text = path;
        size_t dot = extensionDot(text);
        return dot == std::string::npos ? std::string() : text.substr(dot + 1);
    }

    hstring File::withoutExtension(const hstring& path)
    {
        const std::string& text = path;
        size_t dot = extensionDot(text);
        return dot == std::string::npos ? text : text.substr(0, dot);
    }
} // namespace quortypes
