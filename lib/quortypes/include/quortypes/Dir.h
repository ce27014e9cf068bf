#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace quortypes
{
    // Path arithmetic with "/" as separator, and directory operations. Directory operations never throw:
    // failures read as false or as empty listings.
    class Dir
    {
    public:
        static hstring unifySeparators(const hstring& path);
        static hstring joinPath(const hstring& a, const hstring& b, bool unify = false);
        static harray<hstring> splitPath(const hstring& path);
        static hstring baseName(const hstring& path);
        static hstring baseDir(const hstring& path);
        static hstring normalize(const hstring& path);

        static bool exists(const hstring& path, bool caseSensitive = true);
        static harray<hstring> entries(const hstring& path, bool prependDir = false);
        static harray<hstring> directories(const hstring& path, bool prependDir = false);
        static harray<hstring> files(const hstring& path, bool prependDir = false);
        // What files and directories give, from one listing.
        static void filesAndDirectories(const hstring& path, harray<hstring>& files,
                                        harray<hstring>& directories, bool prependDir = false);
        // Creates the directory with every missing parent; false when the path is empty or already exists.
        static bool create(const hstring& path);
        // Removes the directory with everything below it; symbolic links are removed, never followed.
        // Returns whether the directory is gone.
        static bool remove(const hstring& path);
    };
} // namespace quortypes
