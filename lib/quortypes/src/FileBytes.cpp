#include <quortypes/FileBytes.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <quortypes/File.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>

#include "platform/FileSystem.h"

namespace
{
    // The size is where reading starts, not where it stops: files of the system's own folders read as
    // empty by their size and still have content, and a file may grow meanwhile.
    hstring readAllOf(quortypes::FileBase& file)
    {
        int size = file.getSize();
        std::string bytes(size > 0 ? (size_t)size : 0, '\0');
        int got = size > 0 ? file.readRaw(&bytes[0], size) : 0;
        bytes.resize(got > 0 ? (size_t)got : 0);
        char buffer[65536];
        while ((got = file.readRaw(buffer, (int)sizeof(buffer))) > 0)
        {
            bytes.append(buffer, (size_t)got);
        }
        return bytes;
    }
} // namespace

hstring readFileBytes(const hstring& path, bool asResource)
{
    if (asResource)
    {
        quortypes::Resource resource(path);
        return readAllOf(resource);
    }
    quortypes::File file(path);
    return readAllOf(file);
}

bool readFileIfPresent(const hstring& path, hstring& bytes)
{
    bytes = "";
    FILE* file = quortypes::platform::openFile(path, "rb");
    if (file == nullptr)
    {
        if (errno == ENOENT)
        {
            return false;
        }
        throw quortypes::exception(
            "Unable to read file '" + path + "': " + quortypes::describeFileError(errno), __FILE__, __LINE__);
    }
    // Read straight into a string of the file's size (read on to the real end, should it have grown).
    std::string read;
    const quortypes::platform::FileTimes info = quortypes::platform::queryFile(path);
    if (info.ok && info.size > 0)
    {
        read.resize((size_t)info.size);
        read.resize(std::fread(&read[0], 1, read.size(), file));
    }
    char buffer[65536];
    size_t got = 0;
    while (!std::ferror(file) && (got = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
    {
        read.append(buffer, got);
    }
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error != 0)
    {
        throw quortypes::exception(
            "Unable to read file '" + path + "': " + quortypes::describeFileError(error), __FILE__, __LINE__);
    }
    static_cast<std::string&>(bytes) = std::move(read);
    return true;
}

namespace quortypes
{
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
