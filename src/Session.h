#pragma once

#include <quortypes/hstring.h>

// The engine's global state and its operations. The configuration part is declared in Config.h.
namespace Session
{
    // The tag of the engine's log lines.
    extern hstring logTag;

    // The per-user folder for the player's state, with a trailing "/". Computed once, from the
    // configuration values "title" and "user_folder_no_unicode", and made when missing.
    hstring getUserFolder();
    // The path before its last "/", or when it has none before its last "\"; "" when it has neither.
    hstring getParentPath(const hstring& path);
} // namespace Session
