#pragma once

#include <quortypes/Log.h>
#include <quortypes/Mutex.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>

#include <cstdio>

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
        // The segment being written, kept open between lines; its lines wait in the stream's buffer
        // until a flush. Null until the first line after a new file name or a merge.
        FILE* file = nullptr;
        hstring filePath;
        // The segment's bytes, buffered ones included.
        long long fileSize = 0;
        // Set once a line could not be written into the log file: the error has been printed and the
        // file is left alone until a new file name is set.
        bool fileFailed = false;
        Log::Callback callback = nullptr;
    };

    // Built on first use and never destroyed, so static initialisers and static destructors in any
    // translation unit may log.
    LogState& logState();

    // These expect the log mutex to be held.
    void writeLogFileLine(LogState& state, const hstring& line, bool flush);
    // Writes out the buffered lines of the segment.
    void flushLogFile(LogState& state);
    // Writes out the buffered lines and closes the segment, so that it can be merged or left.
    void closeLogFile(LogState& state);
    void printLogFailure(const hstring& message);
} // namespace quortypes
