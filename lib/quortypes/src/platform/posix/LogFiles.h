#pragma once

#include <string>

namespace quortypes
{
    namespace logfiles
    {
        // Appends the bytes; false (errno set) when the file cannot be opened or written completely, which
        // includes a full disk that only shows when the file is closed. Never throws.
        bool append(const std::string& path, const std::string& data);
    } // namespace logfiles
} // namespace quortypes
