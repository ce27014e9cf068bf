#pragma once

#include <cstddef>

namespace quortypes
{
    namespace utf8
    {
        // Decodes the sequence at data[0]. The lead byte alone decides the length
        // (continuation bytes are not validated), but nothing at or past
        // data[available] is read, nor past a zero byte: a sequence cut short there
        // counts as one character of the bytes present, the missing bits zero.
        inline unsigned int decode(const unsigned char* data, size_t available, int* length)
        {
            unsigned int b = data[0];
            if (b < 0x80)
            {
                *length = 1;
                return b;
            }
            int needed;
            unsigned int result;
            if ((b & 0xE0) == 0xC0)
            {
                needed = 2;
                result = b & 0x1F;
            }
            else if ((b & 0xF0) == 0xE0)
            {
                needed = 3;
                result = b & 0x0F;
            }
            else
            {
                needed = 4;
                result = b & 0x07;
            }
            int i = 1;
            for (; i < needed; ++i)
            {
                if ((size_t)i >= available || data[i] == 0)
                {
                    break;
                }
                result = (result << 6) | (data[i] & 0x3F);
            }
            *length = i;
            return result << (6 * (needed - i));
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
            int count;
            unsigned char lead;
            if (c < 0x800)
            {
                count = 2;
                lead = 0xC0;
            }
            else if (c < 0x10000)
            {
                count = 3;
                lead = 0xE0;
            }
            else if (c < 0x200000)
            {
                count = 4;
                lead = 0xF0;
            }
            else if (c < 0x4000000)
            {
                count = 5;
                lead = 0xF8;
            }
            else if (c < 0x80000000)
            {
                count = 6;
                lead = 0xFC;
            }
            else
            {
                return 0;
            }
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
