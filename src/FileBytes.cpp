#include "FileBytes.h"

#include <quortypes/File.h>
#include <quortypes/Resource.h>

namespace
{
    hstring readAllOf(quortypes::FileBase& file)
    {
        int size = file.getSize();
        std::string bytes(size > 0 ? (size_t)size : 0, '\0');
        int got = size > 0 ? file.readRaw(&bytes[0], size) : 0;
        bytes.resize(got > 0 ? (size_t)got : 0);
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
