#pragma once

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace quortypes
{
    // Directories of read-only data, named like resources (relative to the resource working directory and
    // prefix).
    class ResourceDir
    {
    public:
        static bool exists(const hstring& dir, bool caseSensitive = true);
        static harray<hstring> directories(const hstring& dir, bool prepend = false);
        static harray<hstring> files(const hstring& dir, bool prepend = false);
        // What files and directories give, from one listing.
        static void filesAndDirectories(const hstring& dir, harray<hstring>& files,
                                        harray<hstring>& directories, bool prepend = false);
        static harray<hstring> contents(const hstring& dir, bool prepend = false);
    };
} // namespace quortypes
