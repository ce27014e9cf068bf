#pragma once

#include <quortypes/Log.h>

#include <string>

namespace quortypes
{
    // Prints one log line and a line break to standard output, coloured by level when it is a terminal.
    void printConsoleLine(const std::string& line, Log::LogLevel level);
} // namespace quortypes
