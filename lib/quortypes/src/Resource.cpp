#include <quortypes/Resource.h>

#include <quortypes/Dir.h>
#include <quortypes/FileBytes.h>

#include "CarriageReturns.h"
#include <quortypes/exception.h>

namespace quortypes
{
    hstring Resource::cwd = ".";
    hstring Resource::prefix = "";
    bool Resource::prefixDisabled = false;

    Resource::Resource(const hstring& name)
    {
        this->open(name);
    }

    void Resource::open(const hstring& name)
    {
        FileBase::open(makeFullPath(name), AccessMode::Read, 0, repeats, timeout);
    }

    hstring Resource::makeFullPath(const hstring& name)
    {
        hstring path = Dir::joinPath(cwd, name);
        if (!prefixDisabled && prefix != "" && prefix != ".")
        {
            path = Dir::joinPath(prefix, path);
        }
        return Dir::normalize(path);
    }

    bool Resource::exists(const hstring& name, bool caseSensitive)
    {
        return FileBase::exists(makeFullPath(name), caseSensitive);
    }

    hstring Resource::readAll(const hstring& name)
    {
        hstring text = readFileBytes(name, true);
        removeCarriageReturns(text);
        return text;
    }

    int Resource::sizeOf(const hstring& name)
    {
        Resource resource(name);
        int size = resource.getSize();
        resource.close();
        return size;
    }

    int Resource::writeRaw(const void*, int, int)
    {
        throw _file_not_writeable(this->getFilename(), "hresource", __LINE__);
    }
} // namespace quortypes
