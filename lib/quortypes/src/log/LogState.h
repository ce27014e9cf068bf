#pragma once

#include <quortypes/Log.h>
#include <quortypes/Mutex.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

namespace quortypes
{
    struct LogState
    {
        // Nothing changes the switches, so they are read without the lock.
        bool levelWrite = true;
        bool levelError = true;
        bool levelWarn = true;
        bool levelDebug = false;
        // Accepted tags; empty accepts every tag.
        harray<hstring> tags;

        // The rest is guarded by the mutex.
        Mutex mutex;
        hstring filename;
        hstring extension;
        int segment = 0;
        // Set once a line could not be written into the log file: the error has been printed and the
        // file is left alone until a new file name is set.
        bool fileFailed = false;
        Log::Callback callback = nullptr;
    };

    // Built on first use and never destroyed, so static initialisers and static destructors in any
    // translation unit may log.
    LogState& logState();

    // Both expect the log mutex to be held.
    void writeLogFileLine(LogState& state, const hstring& line);
    void printLogFailure(const hstring& message);
} // namespace quortypes
