#pragma once

#include <quortypes/exception.h>
#include <quortypes/hstring.h>

namespace vumo
{
    // Folders the engine's walks over a game's folders (a chapter's scenes and action maps, the scripts of
    // "data/lib") go down at most below the folder they start from. Each walk recurses for every folder, and
    // a link to a folder above it would lead it on until no path could be longer.
    const int maxFolderDepth = 64;

    // Throws, naming the folder, when a walk would go down into it from `depth` folders below its start.
    inline void checkFolderDepth(const hstring& folder, int depth)
    {
        if (depth >= maxFolderDepth)
        {
            throw quortypes::exception(
                formatString("Folder '%s' nests more than %d folders deep", folder.c_str(), maxFolderDepth),
                __FILE__, __LINE__);
        }
    }
} // namespace vumo
