#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quortypes
{
    // Where a text read up to a delimiter ends and whether it holds a carriage return, found in one pass over
    // its bytes: `end` is the offset of the first delimiter (the length when there is none), `firstReturn`
    // that of the first "\r" before it (`end` when there is none).
    struct DelimiterScan
    {
        size_t end;
        size_t firstReturn;
    };

    // The bytes behind the text that scanDelimiter may read (and ignores): a buffer it scans needs that much
    // room behind its last byte.
    const size_t delimiterScanSlack = 32;

    inline DelimiterScan scanDelimiter(const char* text, size_t length, char delimiter)
    {
#if defined(__SSE2__)
        // Thirty-two bytes at a time, both bytes looked for at once: lines are short, and a library search
        // per byte looked for costs two calls and two passes over each line. A block that holds neither
        // and is not the last costs one test.
        const __m128i wanted = _mm_set1_epi8(delimiter);
        const __m128i returns = _mm_set1_epi8('\r');
        size_t firstReturn = length;
        for (size_t offset = 0; offset < length; offset += 32)
        {
            const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + offset));
            const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + offset + 16));
            const __m128i lowWanted = _mm_cmpeq_epi8(low, wanted);
            const __m128i highWanted = _mm_cmpeq_epi8(high, wanted);
            const __m128i lowReturns = _mm_cmpeq_epi8(low, returns);
            const __m128i highReturns = _mm_cmpeq_epi8(high, returns);
            const size_t remaining = length - offset;
            if (remaining > 32 && _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(lowWanted, highWanted),
                                                                 _mm_or_si128(lowReturns, highReturns))) == 0)
            {
                continue;
            }
            const uint32_t lowBits = (uint32_t)_mm_movemask_epi8(lowWanted);
            const uint32_t lowReturnBits = (uint32_t)_mm_movemask_epi8(lowReturns);
            uint32_t found = lowBits | ((uint32_t)_mm_movemask_epi8(highWanted) << 16);
            uint32_t returned = lowReturnBits | ((uint32_t)_mm_movemask_epi8(highReturns) << 16);
            if (remaining < 32)
            {
                const uint32_t inside = (1u << remaining) - 1u;
                found &= inside;
                returned &= inside;
            }
            if (found != 0)
            {
                const unsigned int at = (unsigned int)__builtin_ctz(found);
                returned &= (1u << at) - 1u;
                if (firstReturn == length)
                {
                    firstReturn = offset + (returned != 0 ? (unsigned int)__builtin_ctz(returned) : at);
                }
                return {offset + at, firstReturn};
            }
            if (returned != 0 && firstReturn == length)
            {
                firstReturn = offset + (unsigned int)__builtin_ctz(returned);
            }
        }
        return {length, firstReturn};
#else
        const char* found = static_cast<const char*>(std::memchr(text, delimiter, length));
        const size_t end = found != nullptr ? (size_t)(found - text) : length;
        const char* returned = static_cast<const char*>(std::memchr(text, '\r', end));
        return {end, returned != nullptr ? (size_t)(returned - text) : end};
#endif
    }
} // namespace quortypes
