#pragma once

#include <quortypes/hstring.h>

namespace tesra
{

    struct LocaleName
    {
        hstring locale;  // language code, lower case, or one of the combined forms
        hstring variant; // country code, upper case
    };

    // Reads a POSIX locale name such as "pt_PT.UTF-8@euro". "C", "POSIX" and an empty
    // name read as English. Portuguese of Portugal becomes "pt-PT" and traditional
    // Chinese "zh-Hant"; every other locale keeps the bare language code.
    LocaleName parseLocale(const hstring& text);

} // namespace tesra
