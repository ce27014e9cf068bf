#pragma once

#include <quortypes/hstring.h>

namespace fintu
{
    extern const hstring logTag;

    /// Creates the renderer.
    void init();
    /// Deletes the renderer with every registered font.
    void destroy();
} // namespace fintu
