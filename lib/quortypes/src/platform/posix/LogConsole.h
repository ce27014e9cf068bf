#pragma once

#include <quortypes/Log.h>

#include <string>

namespace quortypes
{
    // Prints one log line and a line break to standard output, coloured by level when it is a terminal;
    // written out at once with flush, else left in the stream's buffer.
    void printConsoleLine(const std::string& line, Log::LogLevel level, bool flush);
    void flushConsole();
} // namespace quortypes
