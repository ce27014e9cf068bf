#pragma once

#include <quortypes/hstring.h>

namespace vumo
{
    namespace Session
    {
        // The tag of the engine's log lines; a leaf, for the files that log and need nothing else of the
        // session.
        extern const hstring logTag;
    } // namespace Session
} // namespace vumo
