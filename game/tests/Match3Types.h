#pragma once

#include <string>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace match3test
{
    // A pool of piece types, one letter each.
    inline harray<hstring> types(const std::string& letters)
    {
        harray<hstring> result;
        for (char letter : letters)
        {
            result.push_back(hstring(letter));
        }
        return result;
    }
} // namespace match3test
