#pragma once

#include <quortypes/hstring.h>

namespace tesrauilua
{
    // Data as a Lua string literal between the given quotes: backslash, both quotes, line breaks and
    // zero bytes escaped, every other byte as it is. Every piece of data pasted into Lua text goes
    // through here.
    hstring literal(const hstring& text, char quote = '"');
} // namespace tesrauilua
