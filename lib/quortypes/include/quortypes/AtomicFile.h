#pragma once

#include <cstddef>
#include <cstdint>

#include <quortypes/hstring.h>

namespace quortypes
{
    // Replaces the file's contents so that, whatever happens on the way (a crash, a full disk), the file
    // holds either all of its old contents or all of the new. The bytes go into "<path>.tmp" in the same
    // folder first, which is flushed to the disk and renamed over the file. (Something else than a file under
    // that name, a folder say, is stepped around: the bytes go into "<path>.1.tmp" and so on, and it stays.)
    // Every save of the player's state goes through here. A failure throws an exception naming the file; the
    // old file stays. Data of more than maxBytes is refused before anything is written (refuseLargerSave):
    // a file of the player's state passes maxPlayerFileBytes, the most its read takes.
    void saveFileAtomically(const hstring& path, const hstring& data, size_t maxBytes = SIZE_MAX);

    // saveFileAtomically in two steps, for a caller with other work to finish before the file may change:
    // construction writes and flushes "<path>.tmp" (throwing as saveFileAtomically does), `commit` renames
    // it over the file. Destroyed without a commit, it removes the temporary file and the file stays.
    class PendingFile
    {
    public:
        PendingFile(const hstring& path, const hstring& data, size_t maxBytes = SIZE_MAX);
        ~PendingFile();
        PendingFile(const PendingFile&) = delete;
        PendingFile& operator=(const PendingFile&) = delete;

        void commit();

    private:
        hstring path;
        hstring temporary;
        bool committed = false;
    };
} // namespace quortypes
