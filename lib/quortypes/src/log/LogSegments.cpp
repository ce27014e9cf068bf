#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/exception.h>

#include "log/LogState.h"
#include "platform/FileSystem.h"
#include "platform/posix/LogFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace quortypes
{
    static const long long segmentLimit = 0x20000;
    // The newest segments kept: a run that logs without end drops its oldest lines rather than fill the
    // disk.
    static const int segmentCount = 128;

    static hstring segmentDirectory(const LogState& state)
    {
        return state.filename + ".hlog";
    }

    static hstring segmentPath(const LogState& state, int number)
    {
        return segmentDirectory(state) + "/" + std::to_string(number) + "." + state.extension;
    }

    // The highest n of the files named "n.<extension>" in the segment directory, or -1.
    static int highestSegment(const LogState& state)
    {
        int highest = -1;
        hstring suffix = "." + state.extension;
        for (const hstring& name : Dir::files(segmentDirectory(state)))
        {
            size_t digits = name.find_first_not_of("0123456789");
            if (digits != 0 && digits != std::string::npos && digits <= 9 &&
                name.compare(digits, std::string::npos, suffix) == 0)
            {
                highest = std::max(highest, atoi(name.c_str()));
            }
        }
        return highest;
    }

    static void fileFailed(LogState& state)
    {
        // Failing here must not reach the caller (the audio thread, a destructor...): say it once and keep
        // the other outputs going.
        const int error = errno;
        state.fileFailed = true;
        if (state.file != nullptr)
        {
            fclose(state.file);
            state.file = nullptr;
        }
        printLogFailure(formatString("Cannot write log file '%s': %s. Further lines are not written into the "
                                     "log file.",
                                     state.filePath.c_str(), platform::describeError(error).c_str()));
    }

    // Opens the current segment to append to it (a full one is left by the next line); false (errno set)
    // when it cannot be opened.
    static bool openSegment(LogState& state)
    {
        hstring directory = segmentDirectory(state);
        if (!Dir::exists(directory))
        {
            Dir::create(directory);
        }
        state.filePath = segmentPath(state, state.segment);
        state.file = platform::openFile(state.filePath, "ab");
        if (state.file == nullptr)
        {
            return false;
        }
        // Lines wait here until the frame ends, a warning or error comes, or the program exits (which
        // writes out every open stream).
        setvbuf(state.file, nullptr, _IOFBF, 0x10000);
        if (fseek(state.file, 0, SEEK_END) != 0)
        {
            return false;
        }
        state.fileSize = ftell(state.file);
        return state.fileSize >= 0;
    }

    // A segment may pass the limit by the line that was written last; the next line starts a new one.
    static bool startNextSegment(LogState& state)
    {
        const bool closed = fclose(state.file) == 0;
        state.file = nullptr;
        if (!closed)
        {
            return false;
        }
        ++state.segment;
        if (state.segment >= segmentCount)
        {
            File::remove(segmentPath(state, state.segment - segmentCount));
        }
        state.filePath = segmentPath(state, state.segment);
        state.file = platform::openFile(state.filePath, "wb");
        if (state.file == nullptr)
        {
            return false;
        }
        setvbuf(state.file, nullptr, _IOFBF, 0x10000);
        state.fileSize = 0;
        return true;
    }

    void writeLogFileLine(LogState& state, const hstring& line, bool flush)
    {
        if (state.file == nullptr && !openSegment(state))
        {
            fileFailed(state);
            return;
        }
        if (state.fileSize > segmentLimit && !startNextSegment(state))
        {
            fileFailed(state);
            return;
        }
        const size_t written = fwrite(line.data(), 1, line.size(), state.file);
        if (written != (size_t)line.size() || fputc('\n', state.file) == EOF ||
            (flush && fflush(state.file) != 0))
        {
            fileFailed(state);
            return;
        }
        state.fileSize += (long long)line.size() + 1;
    }

    void flushLogFile(LogState& state)
    {
        if (state.file != nullptr && fflush(state.file) != 0)
        {
            fileFailed(state);
        }
    }

    void closeLogFile(LogState& state)
    {
        if (state.file == nullptr)
        {
            return;
        }
        FILE* file = state.file;
        state.file = nullptr;
        if (fclose(file) != 0 && !state.fileFailed)
        {
            fileFailed(state);
        }
    }

    void Log::setFilename(const hstring& path, bool clear)
    {
        LogState& state = logState();
        std::lock_guard<Mutex> lock(state.mutex);
        closeLogFile(state);
        // An empty name means no log file at all, rather than a file named after the current directory.
        state.filename = path.empty() ? hstring() : Dir::normalize(path);
        // Needed by the merge below to find the segments.
        state.extension = File::extensionOf(path);
        state.fileFailed = false;
        // Segments of another file name must not decide where this one starts or how far a merge reads.
        state.segment = 0;
        if (state.filename.empty())
        {
            return;
        }
        // A named pipe or a device in the log's place would hold the program at the first line, or take
        // the lines somewhere they were not meant to go: it is left alone, and no log file is written.
        const platform::EntryKind kind = platform::entryKind(state.filename, true);
        if (kind != platform::EntryKind::Missing && kind != platform::EntryKind::File)
        {
            state.fileFailed = true;
            printLogFailure(formatString(
                "Cannot write log file '%s': %s. Lines are not written into a log file.",
                state.filename.c_str(),
                platform::describeError(
                    kind == platform::EntryKind::Directory ? EISDIR : platform::notRegularFileError)
                    .c_str()));
            return;
        }
        if (clear)
        {
            Dir::remove(segmentDirectory(state));
            File::clear(state.filename);
        }
        else if (Dir::exists(segmentDirectory(state)))
        {
            mergeSegments(false);
        }
    }

    void Log::mergeSegments(bool clear)
    {
        LogState& state = logState();
        std::lock_guard<Mutex> lock(state.mutex);
        // Every line so far goes into the merge; the next line opens its segment again.
        closeLogFile(state);
        if (state.filename.empty() || !File::exists(state.filename))
        {
            return;
        }
        hstring directory = segmentDirectory(state);
        // Segments an earlier run left behind may go past this run's count.
        int last = std::max(state.segment, highestSegment(state));
        // Only the newest segments are kept while writing; older ones that an earlier run left are not
        // merged either.
        int first = std::max(0, last - segmentCount + 1);
        auto failed = [&]
        {
            printLogFailure(formatString("Cannot write log file '%s': %s. The segments in '%s' are kept.",
                                         state.filename.c_str(), platform::describeError(errno).c_str(),
                                         directory.c_str()));
        };
        if (clear && !File::clear(state.filename))
        {
            failed();
            return;
        }
        if (first > 0 &&
            !logfiles::append(state.filename, "\n[WARNING]\n\n" + std::to_string(first) +
                                                  " older log segment files were dropped.\n\n[-----]\n\n"))
        {
            failed();
            return;
        }
        // A segment at a time, so that a long log is never held in memory whole.
        for (int number = first; number <= last; ++number)
        {
            hstring path = segmentPath(state, number);
            logfiles::Copy copy = logfiles::Copy::SourceUnreadable;
            if (File::exists(path))
            {
                copy = logfiles::appendFile(state.filename, path);
            }
            if (copy == logfiles::Copy::SourceUnreadable)
            {
                // Gone or unreadable: noted in its place.
                copy = logfiles::append(state.filename, "\n[ERROR]\n\nLog segment file '" + path +
                                                            "' not found!!\n\n[-----]\n\n")
                           ? logfiles::Copy::Done
                           : logfiles::Copy::Failed;
            }
            if (copy == logfiles::Copy::Failed)
            {
                failed();
                return;
            }
        }
        Dir::remove(directory);
        state.segment = 0;
    }
} // namespace quortypes
