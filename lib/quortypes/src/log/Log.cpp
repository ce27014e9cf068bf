#include <quortypes/Log.h>

#include "log/LogState.h"
#include "platform/posix/LogConsole.h"

#include <algorithm>
#include <cstdarg>
#include <mutex>

namespace quortypes
{
    LogState& logState()
    {
        static LogState* state = new LogState();
        return *state;
    }

    void printLogFailure(const hstring& message)
    {
        // Logging goes on without the file, so this is no error of the program.
        printConsoleLine("[quortypes] WARNING: " + message, Log::LevelWarn, true);
    }

    size_t Log::characterStart(const std::string& text, size_t at)
    {
        if (at >= text.size())
        {
            return at;
        }
        // A character has at most three bytes after its first: a longer run of continuation bytes is no
        // character, and a cut anywhere in it splits none.
        for (size_t back = 0; back <= 3 && back <= at; ++back)
        {
            if (((unsigned char)text[at - back] & 0xC0) != 0x80)
            {
                return at - back;
            }
        }
        return at;
    }

    hstring Log::cutMiddle(const hstring& text, size_t keepStart, size_t keepEnd, const char* separator)
    {
        const std::string& whole = text;
        const size_t head = characterStart(whole, keepStart);
        const size_t tail = characterStart(whole, whole.size() - keepEnd);
        return whole.substr(0, head) +
               formatString(separator, (int)std::min<size_t>(tail - head, 0x7FFFFFFF)) + whole.substr(tail);
    }

    hstring Log::quote(const hstring& text)
    {
        return (text.size() <= quoteLimit ? text : cutMiddle(text, 300, 80, " ... <%d bytes cut> ... "));
    }

    bool Log::writeLevel(const hstring& tag, const hstring& text, LogLevel level)
    {
        LogState& state = logState();
        bool enabled = (level == LevelWrite && state.levelWrite) ||
                       (level == LevelError && state.levelError) || (level == LevelWarn && state.levelWarn) ||
                       (level == LevelDebug && state.levelDebug);
        if (!enabled)
        {
            return false;
        }
        if (!tag.empty() && !state.tags.empty() &&
            std::find(state.tags.begin(), state.tags.end(), tag) == state.tags.end())
        {
            return false;
        }
        hstring line;
        if (tag.empty())
        {
            line = text;
        }
        else
        {
            line.reserve(tag.size() + text.size() + 3);
            line += "[";
            line += tag;
            line += "] ";
            line += text;
        }
        // What a crash could need is written out at once; the rest waits for the frame's end.
        const bool flush = (level == LevelWarn || level == LevelError);
        std::lock_guard<Mutex> lock(state.mutex);
        printConsoleLine(line, level, flush);
        if (!state.filename.empty() && !state.fileFailed)
        {
            writeLogFileLine(state, line, flush);
        }
        if (state.callback != nullptr)
        {
            state.callback(tag, text);
        }
        return true;
    }

    bool Log::write(const hstring& tag, const hstring& text)
    {
        return writeLevel(tag, text, LevelWrite);
    }

    bool Log::error(const hstring& tag, const hstring& text)
    {
        return writeLevel(tag, "ERROR: " + text, LevelError);
    }

    bool Log::warn(const hstring& tag, const hstring& text)
    {
        return writeLevel(tag, "WARNING: " + text, LevelWarn);
    }

    bool Log::debug(const hstring& tag, const hstring& text)
    {
        return writeLevel(tag, "DEBUG: " + text, LevelDebug);
    }

#define QUORTYPES_LOG_FORMATTED(function)                                                                    \
    va_list args;                                                                                            \
    va_start(args, format);                                                                                  \
    hstring text = formatStringV(format, args);                                                              \
    va_end(args);                                                                                            \
    return function(tag, text)

    bool Log::writef(const hstring& tag, const char* format, ...)
    {
        QUORTYPES_LOG_FORMATTED(write);
    }

    bool Log::errorf(const hstring& tag, const char* format, ...)
    {
        QUORTYPES_LOG_FORMATTED(error);
    }

    bool Log::warnf(const hstring& tag, const char* format, ...)
    {
        QUORTYPES_LOG_FORMATTED(warn);
    }

    bool Log::debugf(const hstring& tag, const char* format, ...)
    {
        QUORTYPES_LOG_FORMATTED(debug);
    }

    void Log::flush()
    {
        LogState& state = logState();
        std::lock_guard<Mutex> lock(state.mutex);
        flushConsole();
        flushLogFile(state);
    }

    void Log::setCallback(Callback function)
    {
        LogState& state = logState();
        std::lock_guard<Mutex> lock(state.mutex);
        state.callback = function;
    }

    Log::Callback Log::getCallback()
    {
        LogState& state = logState();
        std::lock_guard<Mutex> lock(state.mutex);
        return state.callback;
    }
} // namespace quortypes
