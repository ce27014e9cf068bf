#pragma once

#include <cstddef>

namespace quortypes
{
    namespace utf8
    {
        // A sequence of needed bytes of which fewer are available.
        inline unsigned int decodeTail(const unsigned char* data, size_t available, int needed,
                                       unsigned int bits, int* length)
        {
            int i = 1;
            for (; (size_t)i < available; ++i)
            {
                bits = (bits << 6) | (data[i] & 0x3F);
            }
            *length = i;
            return bits << (6 * (needed - i));
        }

        // Decodes the sequence at data[0]. The lead byte alone decides the length
        // (continuation bytes are not validated), but nothing at or past
        // data[available] is read: a sequence cut short there counts as one
        // character of the bytes present, the missing bits zero. Callers end
        // available at a zero byte where the text ends there.
        inline unsigned int decode(const unsigned char* data, size_t available, int* length)
        {
            unsigned int b = data[0];
            if (b < 0x80)
            {
                *length = 1;
                return b;
            }
            if ((b & 0xE0) == 0xC0)
            {
                if (available >= 2)
                {
                    *length = 2;
                    return ((b & 0x1F) << 6) | (data[1] & 0x3F);
                }
                *length = 1;
                return (b & 0x1F) << 6;
            }
            if ((b & 0xF0) == 0xE0)
            {
                if (available >= 3)
                {
                    *length = 3;
                    return ((b & 0x0F) << 12) | ((data[1] & 0x3F) << 6) | (data[2] & 0x3F);
                }
                return decodeTail(data, available, 3, b & 0x0F, length);
            }
            if (available >= 4)
            {
                *length = 4;
                return ((b & 0x07) << 18) | ((data[1] & 0x3F) << 12) | ((data[2] & 0x3F) << 6) |
                       (data[3] & 0x3F);
            }
            return decodeTail(data, available, 4, b & 0x07, length);
        }

        // Writes the encoding of one code point into out (room for 6 bytes);
        // returns the byte count, 0 for code points >= 0x80000000.
        inline int encode(unsigned int c, char* out)
        {
            if (c < 0x80)
            {
                out[0] = (char)c;
                return 1;
            }
            if (c >= 0x80000000)
            {
                return 0;
            }
            // n bytes carry 5 * n + 1 bits; the lead byte starts with n ones.
            int count = 2;
            while (c >= (1u << (5 * count + 1)))
            {
                ++count;
            }
            unsigned char lead = (unsigned char)(0xFF00 >> count);
            for (int i = count - 1; i > 0; --i)
            {
                out[i] = (char)(0x80 | (c & 0x3F));
                c >>= 6;
            }
            out[0] = (char)(lead | c);
            return count;
        }
    } // namespace utf8
} // namespace quortypes
