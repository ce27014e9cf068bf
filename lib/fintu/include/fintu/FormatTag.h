#pragma once

#include <quortypes/hstring.h>

namespace fintu
{
    /// One inline formatting tag of a text, positioned in the text with its tags removed.
    struct FormatTag
    {
        enum Type
        {
            ESCAPE = 0, ///< "[]", a literal "["; never handed out by the parser
            FONT = 1,
            COLOR = 2,
            SCALE = 3,
            NO_EFFECT = 4,
            SHADOW = 5,
            BORDER = 6,
            IGNORE_FORMATTING = 7,
            CLOSE = 8
        };

        int type = 0;
        hstring data;
        int start = 0; ///< byte position at which the tag takes effect
        int count = 0; ///< byte length of the tag as written

        FormatTag() = default;
        FormatTag(int type, const hstring& data, int start = 0, int count = 0)
            : type(type), data(data), start(start), count(count)
        {
        }
    };
} // namespace fintu
