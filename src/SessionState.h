#pragma once

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

#include "UserFolder.h"

namespace vumo
{
    // What the session's own files share and nothing outside them needs.
    namespace Session
    {
        // Empties the configuration and lets the next load direct the log again: a fresh start.
        void forgetConfig();
        // Clears the frame's state (viewport, flags, queued scripts, autosave clock) for a fresh start.
        void resetFrameState();
        // The running transition's update; clears it when it ends.
        void updateTransition(float timeDelta);
    } // namespace Session
} // namespace vumo
