#include <cstdint>
#include <cstring>

#include <quortypes/Log.h>
#include <tesra/Image.h>

#include "PixelLayout.h"

namespace tesra
{
    namespace
    {
        // Blue before red.
        inline bool isReversed(const PixelLayout& layout)
        {
            return (layout.b < layout.r);
        }

        inline uint32_t load32(const unsigned char* p)
        {
            uint32_t value;
            memcpy(&value, p, 4);
            return value;
        }

        inline void store32(unsigned char* p, uint32_t value)
        {
            memcpy(p, &value, 4);
        }

        // Four-byte layouts differ only in two ways: the alpha/unused byte is first or last, and the
        // colours are in RGB or BGR order. Every conversion between them is therefore one of a few
        // word operations on the little-endian pixel, which the compiler vectorises.
        enum class Shuffle
        {
            None,
            RotateLeft,  // alpha last -> first
            RotateRight, // alpha first -> last
            SwapLow,     // swap bytes 0 and 2 (alpha last, colours reversed)
            SwapHigh,    // swap bytes 1 and 3 (alpha first, colours reversed)
            Reverse      // alpha moves and colours reverse
        };

        template <Shuffle S> inline uint32_t shuffle(uint32_t v)
        {
            switch (S)
            {
            case Shuffle::None:
                return v;
            case Shuffle::RotateLeft:
                return (v << 8) | (v >> 24);
            case Shuffle::RotateRight:
                return (v >> 8) | (v << 24);
            case Shuffle::SwapLow:
                return (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
            case Shuffle::SwapHigh:
                return (v & 0x00FF00FFu) | ((v >> 16) & 0xFF00u) | ((v & 0xFF00u) << 16);
            case Shuffle::Reverse:
                return __builtin_bswap32(v);
            }
            return v;
        }

        template <Shuffle S>
        void convert4to4(size_t count, const unsigned char* src, unsigned char* dst, uint32_t fill)
        {
            if (S == Shuffle::None && fill == 0)
            {
                if (src != dst)
                {
                    memmove(dst, src, count * 4);
                }
                return;
            }
            for (size_t i = 0; i < count; ++i)
            {
                store32(dst + i * 4, shuffle<S>(load32(src + i * 4)) | fill);
            }
        }

        void convertFrom4(size_t count, const unsigned char* src, const PixelLayout& from, unsigned char* dst,
                          const PixelLayout& to)
        {
            if (to.bpp == 4)
            {
                bool alphaMoves = ((from.a == 0) != (to.a == 0));
                bool colorsReverse = (isReversed(from) != isReversed(to));
                uint32_t fill = (to.hasAlpha && !from.hasAlpha) ? (0xFFu << (to.a * 8)) : 0;
                if (!alphaMoves && !colorsReverse)
                {
                    convert4to4<Shuffle::None>(count, src, dst, fill);
                }
                else if (alphaMoves && colorsReverse)
                {
                    convert4to4<Shuffle::Reverse>(count, src, dst, fill);
                }
                else if (alphaMoves)
                {
                    if (from.a == 3)
                    {
                        convert4to4<Shuffle::RotateLeft>(count, src, dst, fill);
                    }
                    else
                    {
                        convert4to4<Shuffle::RotateRight>(count, src, dst, fill);
                    }
                }
                else if (from.a == 3)
                {
                    convert4to4<Shuffle::SwapLow>(count, src, dst, fill);
                }
                else
                {
                    convert4to4<Shuffle::SwapHigh>(count, src, dst, fill);
                }
                return;
            }
            if (to.bpp == 3)
            {
                for (size_t i = 0; i < count; ++i, src += 4, dst += 3)
                {
                    unsigned char r = src[from.r], g = src[from.g], b = src[from.b];
                    dst[to.r] = r;
                    dst[to.g] = g;
                    dst[to.b] = b;
                }
                return;
            }
            for (size_t i = 0; i < count; ++i)
            {
                dst[i] = src[i * 4 + from.r];
            }
        }

        template <bool SwapRB, int AlphaIndex>
        void convert3to4(size_t count, const unsigned char* src, unsigned char* dst)
        {
            const int offset = (AlphaIndex == 0 ? 1 : 0);
            for (size_t i = 0; i < count; ++i, src += 3, dst += 4)
            {
                dst[offset + 0] = src[SwapRB ? 2 : 0];
                dst[offset + 1] = src[1];
                dst[offset + 2] = src[SwapRB ? 0 : 2];
                dst[AlphaIndex] = 255;
            }
        }

        void convertFrom3(size_t count, const unsigned char* src, const PixelLayout& from, unsigned char* dst,
                          const PixelLayout& to)
        {
            bool swap = (isReversed(from) != isReversed(to));
            if (to.bpp == 4)
            {
                if (to.a == 3)
                {
                    swap ? convert3to4<true, 3>(count, src, dst) : convert3to4<false, 3>(count, src, dst);
                }
                else
                {
                    swap ? convert3to4<true, 0>(count, src, dst) : convert3to4<false, 0>(count, src, dst);
                }
                return;
            }
            if (to.bpp == 3)
            {
                if (!swap)
                {
                    if (src != dst)
                    {
                        memmove(dst, src, count * 3);
                    }
                    return;
                }
                for (size_t i = 0; i < count; ++i, src += 3, dst += 3)
                {
                    unsigned char first = src[0];
                    dst[0] = src[2];
                    dst[1] = src[1];
                    dst[2] = first;
                }
                return;
            }
            for (size_t i = 0; i < count; ++i)
            {
                dst[i] = src[i * 3 + from.r];
            }
        }

        void convertFrom1(size_t count, const unsigned char* src, unsigned char* dst, const PixelLayout& to)
        {
            if (to.bpp == 1)
            {
                if (src != dst)
                {
                    memmove(dst, src, count);
                }
                return;
            }
            if (to.bpp == 3)
            {
                for (size_t i = 0; i < count; ++i, dst += 3)
                {
                    dst[0] = dst[1] = dst[2] = src[i];
                }
                return;
            }
            uint32_t alpha = 0xFFu << (to.a * 8);
            uint32_t spread = (to.a == 0 ? 0x01010100u : 0x00010101u);
            for (size_t i = 0; i < count; ++i)
            {
                store32(dst + i * 4, src[i] * spread | alpha);
            }
        }
    } // namespace

    bool Image::needsConversion(Format srcFormat, Format dstFormat, bool preventCopy)
    {
        if (preventCopy && srcFormat == dstFormat)
        {
            return false;
        }
        const PixelLayout& from = getPixelLayout(srcFormat);
        const PixelLayout& to = getPixelLayout(dstFormat);
        if (from.bpp != to.bpp)
        {
            return true;
        }
        if (from.bpp == 4)
        {
            return ((from.a == 0) != (to.a == 0) || isReversed(from) != isReversed(to) ||
                    (to.hasAlpha && !from.hasAlpha));
        }
        // Red and blue trading places is a conversion for three-byte pixels too.
        return (from.bpp == 3 && isReversed(from) != isReversed(to));
    }

    bool Image::convert(int width, int height, const unsigned char* srcData, Format srcFormat,
                        unsigned char** dstData, Format dstFormat, bool preventCopy)
    {
        if (preventCopy && srcFormat == dstFormat)
        {
            quortypes::Log::warn("tesra", "The source's and destination's formats are the same!");
            return false;
        }
        if (srcFormat == FORMAT_PALETTE && dstFormat == FORMAT_PALETTE)
        {
            return true;
        }
        const PixelLayout& from = getPixelLayout(srcFormat);
        const PixelLayout& to = getPixelLayout(dstFormat);
        if (from.bpp == 0 || to.bpp == 0)
        {
            quortypes::Log::errorf("tesra", "Conversion from %d BPP to %d BPP is not supported!", from.bpp,
                                   to.bpp);
            return false;
        }
        if (width < 0 || height < 0 || dstData == nullptr || (srcData == nullptr && width > 0 && height > 0))
        {
            return false;
        }
        size_t count = (size_t)width * (size_t)height;
        if (*dstData == nullptr)
        {
            *dstData = new unsigned char[count * to.bpp];
        }
        if (count == 0)
        {
            return true;
        }
        switch (from.bpp)
        {
        case 1:
            convertFrom1(count, srcData, *dstData, to);
            break;
        case 3:
            convertFrom3(count, srcData, from, *dstData, to);
            break;
        default:
            convertFrom4(count, srcData, from, *dstData, to);
            break;
        }
        return true;
    }
} // namespace tesra
