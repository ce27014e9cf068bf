#include <quortypes/FileBytes.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <quortypes/File.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>

#include "platform/FileSystem.h"

namespace
{
    [[noreturn]] void refuseLarger(const hstring& path, size_t maxBytes)
    {
        throw quortypes::exception(
            formatString("Unable to read file '%s': it holds more than %zu bytes", path.c_str(), maxBytes),
            __FILE__, __LINE__);
    }

    // The size is where reading starts, not where it stops: files of the system's own folders read as
    // empty by their size and still have content, and a file may grow meanwhile. Past maxBytes it stops
    // and throws.
    hstring readAllOf(quortypes::FileBase& file, const hstring& path, size_t maxBytes)
    {
        const int size = file.getSize();
        // Larger by its size: refused unread, not after reading the bound's worth of it.
        if (size > 0 && (size_t)size > maxBytes)
        {
            refuseLarger(path, maxBytes);
        }
        const size_t first = size > 0 ? (size_t)size : 0;
        std::string bytes(first, '\0');
        int got = first > 0 ? file.readRaw(&bytes[0], (int)first) : 0;
        bytes.resize(got > 0 ? (size_t)got : 0);
        char buffer[65536];
        while ((got = file.readRaw(buffer, (int)sizeof(buffer))) > 0)
        {
            if ((size_t)got > maxBytes - bytes.size())
            {
                refuseLarger(path, maxBytes);
            }
            bytes.append(buffer, (size_t)got);
        }
        return bytes;
    }
} // namespace

hstring readFileBytes(const hstring& path, bool asResource, size_t maxBytes)
{
    if (asResource)
    {
        quortypes::Resource resource(path);
        return readAllOf(resource, path, maxBytes);
    }
    quortypes::File file(path);
    return readAllOf(file, path, maxBytes);
}

bool readFileIfPresent(const hstring& path, hstring& bytes, size_t maxBytes)
{
    bytes = "";
    FILE* file = quortypes::platform::openFile(path, "rb");
    if (file == nullptr)
    {
        const int error = errno;
        if (error == ENOENT)
        {
            return false;
        }
        // A folder, a pipe or a device in the file's place holds no file of the player's.
        if (error == EISDIR || quortypes::isNotRegularFileError(error))
        {
            throw quortypes::exception("Unable to read file '" + path +
                                           "': " + quortypes::describeFileError(error),
                                       __FILE__, __LINE__);
        }
        throw quortypes::_file_not_readable(path, quortypes::describeFileError(error), __FILE__, __LINE__);
    }
    // Read straight into a string of the file's size (read on to the real end, should it have grown).
    std::string read;
    const quortypes::platform::FileTimes info = quortypes::platform::queryFile(path);
    if (info.ok && info.size > maxBytes)
    {
        std::fclose(file);
        refuseLarger(path, maxBytes);
    }
    if (info.ok && info.size > 0)
    {
        read.resize((size_t)info.size);
        read.resize(std::fread(&read[0], 1, read.size(), file));
    }
    char buffer[65536];
    size_t got = 0;
    while (!std::ferror(file) && (got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
    {
        if (got > maxBytes - read.size())
        {
            std::fclose(file);
            refuseLarger(path, maxBytes);
        }
        read.append(buffer, got);
    }
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error != 0)
    {
        throw quortypes::_file_not_readable(path, quortypes::describeFileError(error), __FILE__, __LINE__);
    }
    static_cast<std::string&>(bytes) = std::move(read);
    return true;
}

namespace quortypes
{
    void refuseLargerSave(const hstring& path, size_t bytes, size_t maxBytes)
    {
        if (bytes > maxBytes)
        {
            throw exception(
                formatString("Unable to save file '%s': it would hold %zu bytes, more than the %zu "
                             "bytes it may hold, and is left as it is",
                             path.c_str(), bytes, maxBytes),
                __FILE__, __LINE__);
        }
    }

    FILE* openRegularFile(const hstring& path, const char* mode)
    {
        return platform::openFile(path, mode);
    }

    hstring describeFileError(int error)
    {
        return platform::describeError(error);
    }

    bool isNotRegularFileError(int error)
    {
        return error == platform::notRegularFileError;
    }
} // namespace quortypes

harray<hstring> splitLines(const hstring& text)
{
    harray<hstring> lines = text.split('\n');
    for (hstring& line : lines)
    {
        if (line.endsWith("\r"))
        {
            line.pop_back();
        }
    }
    return lines;
}
