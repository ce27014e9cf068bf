#include "platform/posix/LogConsole.h"

#include <cstdio>
#include <unistd.h>

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

    void printConsoleLine(const std::string& line, Log::LogLevel level, bool flush)
    {
        // Asked every time (one cheap call) so that output redirected while running gets no escape codes.
        bool terminal = isatty(fileno(stdout)) == 1;
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
