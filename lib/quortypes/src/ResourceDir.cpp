#include <quortypes/ResourceDir.h>

#include <quortypes/Dir.h>
#include <quortypes/Resource.h>

namespace quortypes
{
    namespace
    {
        harray<hstring> prepared(harray<hstring> names, const hstring& dir, bool prepend)
        {
            names.removeDuplicates();
            if (prepend)
            {
                for (hstring& name : names)
                {
                    name = Dir::joinPath(dir, name);
                }
            }
            return names;
        }
    } // namespace

    bool ResourceDir::exists(const hstring& dir, bool caseSensitive)
    {
        hstring name = Dir::normalize(dir);
        if (name == "" || name == ".")
        {
            return true;
        }
        return Dir::exists(Resource::makeFullPath(dir), caseSensitive);
    }

    harray<hstring> ResourceDir::directories(const hstring& dir, bool prepend)
    {
        return prepared(Dir::directories(Resource::makeFullPath(dir)), dir, prepend);
    }

    harray<hstring> ResourceDir::files(const hstring& dir, bool prepend)
    {
        return prepared(Dir::files(Resource::makeFullPath(dir)), dir, prepend);
    }

    void ResourceDir::filesAndDirectories(const hstring& dir, harray<hstring>& files,
                                          harray<hstring>& directories, bool prepend)
    {
        Dir::filesAndDirectories(Resource::makeFullPath(dir), files, directories);
        files = prepared(files, dir, prepend);
        directories = prepared(directories, dir, prepend);
    }

    harray<hstring> ResourceDir::contents(const hstring& dir, bool prepend)
    {
        harray<hstring> names;
        harray<hstring> files;
        Dir::filesAndDirectories(Resource::makeFullPath(dir), files, names);
        names.insert(names.end(), files.begin(), files.end());
        return prepared(names, dir, prepend);
    }
} // namespace quortypes
