#pragma once

#include <quortypes/hstring.h>

namespace quortypes
{
    // Replaces the file's contents so that, whatever happens on the way (a crash, a full disk), the file
    // holds either all of its old contents or all of the new. The bytes go into "<path>.tmp" in the same
    // folder first, which is flushed to the disk and renamed over the file. Every save of the player's
    // state goes through here. A failure throws an exception naming the file; the old file stays.
    void saveFileAtomically(const hstring& path, const hstring& data);
} // namespace quortypes
