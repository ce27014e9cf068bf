#pragma once

#include <algorithm>
#include <string>

namespace quortypes
{
    // Text read from files and resources drops every "\r", so that CRLF files read like the others.
    inline void removeCarriageReturns(std::string& text)
    {
        size_t first = text.find('\r');
        if (first != std::string::npos)
        {
            text.erase(std::remove(text.begin() + first, text.end(), '\r'), text.end());
        }
    }
} // namespace quortypes
