#pragma once

#include <quortypes/hstring.h>

namespace tesra
{

    enum class InputMode
    {
        MOUSE = 0,
        TOUCH = 1,
        CONTROLLER = 2
    };

    // "MOUSE", "TOUCH", "CONTROLLER", or "UNDEFINED" for any other value.
    hstring inputModeName(InputMode mode);

} // namespace tesra
