#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/exception.h>

#include "log/LogState.h"
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

    // A segment may pass the limit by the line that was written last; the next line starts a new one.
    static hstring currentSegmentPath(LogState& state)
    {
        hstring directory = segmentDirectory(state);
        if (!Dir::exists(directory))
        {
            Dir::create(directory);
        }
        hstring path = segmentPath(state, state.segment);
        if (File::sizeOf(path) > segmentLimit)
        {
            ++state.segment;
            if (state.segment >= segmentCount)
            {
                File::remove(segmentPath(state, state.segment - segmentCount));
            }
            path = segmentPath(state, state.segment);
            File::clear(path);
        }
        return path;
    }

    void writeLogFileLine(LogState& state, const hstring& line)
    {
        hstring path = currentSegmentPath(state);
        hstring data;
        data.reserve(line.size() + 1);
        data += line;
        data += "\n";
        if (!logfiles::append(path, data))
        {
            // Failing here must not reach the caller (the audio thread, a destructor...): say it once and
            // keep the other outputs going.
            state.fileFailed = true;
            printLogFailure(formatString("Cannot write log file '%s': %s. Further lines are not written "
                                         "into the log file.",
                                         path.c_str(), strerror(errno)));
        }
    }

    void Log::setFilename(const hstring& path, bool clear)
    {
        LogState& state = logState();
        std::lock_guard<Mutex> lock(state.mutex);
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
                                         state.filename.c_str(), strerror(errno), directory.c_str()));
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
