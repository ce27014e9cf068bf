#pragma once

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace vumo
{
    // What the session's own files share and nothing outside them needs.
    namespace Session
    {
        // getUserFolder for a configuration that is not the live one yet (the one a first load builds).
        hstring resolveUserFolder(const hdict<hstring>& config);
        // Forgets the per-user folder, so that the next use computes it again.
        void forgetUserFolder();
        // Empties the configuration and lets the next load direct the log again: a fresh start.
        void forgetConfig();
        // Clears the frame's state (viewport, flags, queued scripts, autosave clock) for a fresh start.
        void resetFrameState();
        // The running transition's update; clears it when it ends.
        void updateTransition(float timeDelta);
    } // namespace Session
} // namespace vumo
