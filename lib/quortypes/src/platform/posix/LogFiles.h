#pragma once

#include <string>

namespace quortypes
{
    namespace logfiles
    {
        // Appends the bytes; false (errno set) when the file cannot be opened or written completely, which
        // includes a full disk that only shows when the file is closed. Never throws.
        bool append(const std::string& path, const std::string& data);

        enum class Copy
        {
            Done,
            // The source could not be opened; nothing was written.
            SourceUnreadable,
            // Writing failed (errno set), possibly after a part was written.
            Failed
        };

        // Appends the bytes of the file at source, without its carriage returns, a block at a time so that
        // no whole file is held in memory. Never throws.
        Copy appendFile(const std::string& path, const std::string& source);
    } // namespace logfiles
} // namespace quortypes
