#include <quortypes/Log.h>

#include "log/LogState.h"
#include "platform/posix/LogFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace quortypes
{
    static const long long segmentLimit = 0x20000;

    // "\\" becomes "/", "." parts go, ".." drops the part before it; "" and "/" parts stay only first.
    static hstring normalizePath(const hstring& path)
    {
        std::string text = path;
        std::replace(text.begin(), text.end(), '\\', '/');
        std::vector<std::string> kept;
        size_t start = 0;
        for (;;)
        {
            size_t slash = text.find('/', start);
            std::string part =
                text.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            if (part == "..")
            {
                if (!kept.empty() && kept.back() != "..")
                    kept.pop_back();
                else
                    kept.push_back(part);
            }
            else if (part != "." && (!part.empty() || start == 0))
            {
                kept.push_back(part);
            }
            if (slash == std::string::npos)
                break;
            start = slash + 1;
        }
        if (kept.empty())
            return ".";
        std::string result = kept[0];
        for (size_t i = 1; i < kept.size(); ++i)
            result += "/" + kept[i];
        return result;
    }

    static hstring extensionOf(const hstring& path)
    {
        size_t slash = path.find_last_of("/\\");
        size_t dot = path.find_last_of('.');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            return "";
        return path.substr(dot + 1);
    }

    static hstring segmentDirectory(const LogState& state)
    {
        return state.filename + ".hlog";
    }

    static hstring segmentPath(const LogState& state, int number)
    {
        return segmentDirectory(state) + "/" + std::to_string(number) + "." + state.extension;
    }

    // A segment may pass the limit by the line that was written last; the next line starts a new one.
    static hstring currentSegmentPath(LogState& state)
    {
        hstring directory = segmentDirectory(state);
        if (!logfiles::isDirectory(directory))
        {
            logfiles::createDirectories(directory);
        }
        hstring path = segmentPath(state, state.segment);
        if (logfiles::sizeOf(path) > segmentLimit)
        {
            ++state.segment;
            path = segmentPath(state, state.segment);
            logfiles::clear(path);
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
        state.filename = path.empty() ? hstring() : normalizePath(path);
        // Needed by the merge below to find the segments.
        state.extension = extensionOf(path);
        state.fileFailed = false;
        // Segments of another file name must not decide where this one starts or how far a merge reads.
        state.segment = 0;
        if (state.filename.empty())
        {
            return;
        }
        if (clear)
        {
            logfiles::removeTree(segmentDirectory(state));
            logfiles::clear(state.filename);
        }
        else if (logfiles::isDirectory(segmentDirectory(state)))
        {
            mergeSegments(false);
        }
    }

    void Log::mergeSegments(bool clear)
    {
        LogState& state = logState();
        std::lock_guard<Mutex> lock(state.mutex);
        if (state.filename.empty() || !logfiles::isFile(state.filename))
        {
            return;
        }
        hstring directory = segmentDirectory(state);
        // Segments an earlier run left behind may go past this run's count.
        int last = std::max(state.segment, logfiles::highestSegment(directory, state.extension));
        std::string merged;
        std::string text;
        for (int number = 0; number <= last; ++number)
        {
            hstring path = segmentPath(state, number);
            if (logfiles::readAll(path, text))
            {
                merged += text;
            }
            else
            {
                merged += "\n[ERROR]\n\nLog segment file '" + path + "' not found!!\n\n[-----]\n\n";
            }
        }
        if (clear && !logfiles::clear(state.filename))
        {
            printLogFailure(formatString("Cannot write log file '%s': %s. The segments in '%s' are kept.",
                                         state.filename.c_str(), strerror(errno), directory.c_str()));
            return;
        }
        if (!logfiles::append(state.filename, merged))
        {
            printLogFailure(formatString("Cannot write log file '%s': %s. The segments in '%s' are kept.",
                                         state.filename.c_str(), strerror(errno), directory.c_str()));
            return;
        }
        logfiles::removeTree(directory);
        state.segment = 0;
    }
} // namespace quortypes
