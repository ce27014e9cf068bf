#include "platform/posix/LogConsole.h"

#include <cstdio>
#include <unistd.h>
#if __has_include(<stdio_ext.h>)
#include <stdio_ext.h>
#endif

namespace quortypes
{
    static const char* colourOf(Log::LogLevel level)
    {
        switch (level)
        {
        case Log::LevelError:
            return "\033[91m"; // bright red
        case Log::LevelWarn:
            return "\033[93m"; // bright yellow
        case Log::LevelDebug:
            return "\033[92m"; // bright green
        default:
            return "\033[97m"; // bright white
        }
    }

    // Whether standard output is a terminal; callers hold the log's lock.
    static bool isTerminal()
    {
#if __has_include(<stdio_ext.h>)
        // Asked again whenever nothing waits in the buffer, so that output redirected while running gets no
        // escape codes: what waits there goes wherever standard output points when it is written out, and a
        // terminal's buffer is written out at every line. Redirected output, fully buffered, is not asked at
        // each of its lines, a call into the system each.
        static bool terminal = false;
        if (__fpending(stdout) == 0)
        {
            terminal = isatty(fileno(stdout)) == 1;
        }
        return terminal;
#else
        return isatty(fileno(stdout)) == 1;
#endif
    }

    void printConsoleLine(const std::string& line, Log::LogLevel level, bool flush)
    {
        const bool terminal = isTerminal();
        if (terminal)
        {
            fputs(colourOf(level), stdout);
        }
        fwrite(line.data(), 1, line.size(), stdout);
        fputs(terminal ? "\033[0m\n" : "\n", stdout);
        if (flush)
        {
            fflush(stdout);
        }
    }

    void flushConsole()
    {
        fflush(stdout);
    }
} // namespace quortypes
