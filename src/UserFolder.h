#pragma once

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>

namespace vumo
{
    // The player's folder, worked out once from a configuration's title; a leaf, so that the configuration
    // can find its own per-user file without the rest of the session.
    namespace Session
    {
        // getUserFolder for a configuration that is not the live one yet (the one a first load builds).
        hstring resolveUserFolder(const hdict<hstring>& config);
        // Forgets the per-user folder, so that the next use computes it again.
        void forgetUserFolder();
    } // namespace Session
} // namespace vumo
