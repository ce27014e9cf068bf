#pragma once

#include <cstring>
#include <string>

#include <quortypes/hstring.h>

// What a variable's value and its line in a diff file may hold, for the variables and their diff alike.
namespace vumo
{
    namespace VariableText
    {
        inline bool holdsLineBreak(const hstring& text)
        {
            // Two scans of the whole text instead of find_first_of's search of the set at every byte: values
            // run to megabytes.
            const std::string& bytes = text;
            return std::memchr(bytes.data(), '\n', bytes.size()) != nullptr ||
                   std::memchr(bytes.data(), '\r', bytes.size()) != nullptr;
        }

        // Equal texts, with no library call for the usual case of a value that differs from its default in
        // length or first byte, or that is one byte long.
        inline bool sameText(const std::string& a, const std::string& b)
        {
            const size_t size = a.size();
            return size == b.size() &&
                   (size == 0 || (a[0] == b[0] && (size == 1 || std::memcmp(a.data(), b.data(), size) == 0)));
        }

        // The most a "crc: " line takes.
        const size_t crcLineBytes = sizeof("crc: FFFFFFFF\n") - 1;
    } // namespace VariableText
} // namespace vumo
