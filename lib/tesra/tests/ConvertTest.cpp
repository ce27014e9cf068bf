#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <tesra/Image.h>

#include "LogCapture.h"

using tesra::Image;

namespace
{
    // Channel letters of each format, byte by byte; X is the unused byte, P palette indices.
    const char* const LAYOUT[] = {"",     "RGBA", "ARGB", "BGRA", "ABGR", "RGBX", "XRGB",
                                  "BGRX", "XBGR", "RGB",  "BGR",  "A",    "L",    ""};

    std::string layoutOf(int format)
    {
        return LAYOUT[format];
    }

    // The converted pixel, worked out from the channel letters: one byte spreads to the colours
    // (the fourth byte 255); to one byte goes red (or the single byte); a fourth byte comes from
    // the source's fourth byte, or 255 when the destination has alpha and the source has not.
    std::vector<unsigned char> expectedPixel(int srcFormat, const unsigned char* src, int dstFormat)
    {
        std::string from = layoutOf(srcFormat), to = layoutOf(dstFormat);
        auto channel = [&](char name) -> int
        {
            if (from.size() == 1)
            {
                return (name == 'A' || name == 'X') ? 255 : src[0];
            }
            if (name == 'A' || name == 'X')
            {
                size_t at = from.find_first_of("AX");
                if (at == std::string::npos || (name == 'A' && from[at] == 'X'))
                {
                    return 255;
                }
                return src[at];
            }
            return src[from.find(name)];
        };
        std::vector<unsigned char> out;
        if (to.size() == 1)
        {
            out.push_back(from.size() == 1 ? src[0] : (unsigned char)channel('R'));
            return out;
        }
        for (char name : to)
        {
            out.push_back((unsigned char)channel(name));
        }
        return out;
    }
} // namespace

TEST(PixelFormats, BytesPerPixel)
{
    const int expected[] = {0, 4, 4, 4, 4, 4, 4, 4, 4, 3, 3, 1, 1, 0, 0};
    for (int format = 0; format <= 14; ++format)
    {
        EXPECT_EQ(expected[format], Image::getFormatBpp((Image::Format)format)) << format;
    }
    EXPECT_EQ(0, Image::getFormatBpp((Image::Format)-1));
}

TEST(PixelFormats, EveryConversionPair)
{
    LogCapture log;
    const int width = 3, height = 2;
    for (int srcFormat = 1; srcFormat <= 13; ++srcFormat)
    {
        for (int dstFormat = 1; dstFormat <= 13; ++dstFormat)
        {
            SCOPED_TRACE(testing::Message() << srcFormat << " -> " << dstFormat);
            Image::Format from = (Image::Format)srcFormat, to = (Image::Format)dstFormat;
            int srcBpp = Image::getFormatBpp(from), dstBpp = Image::getFormatBpp(to);
            std::vector<unsigned char> src(width * height * std::max(srcBpp, 1));
            for (size_t i = 0; i < src.size(); ++i)
            {
                src[i] = (unsigned char)(i * 17 + 5);
            }
            unsigned char* dst = NULL;
            bool converted = Image::convert(width, height, src.data(), from, &dst, to);
            std::unique_ptr<unsigned char[]> owned(dst);
            harray<hstring> lines = log.take();
            if (from == Image::FORMAT_PALETTE && to == Image::FORMAT_PALETTE)
            {
                EXPECT_TRUE(converted);
                EXPECT_TRUE(lines.empty());
                continue;
            }
            if (srcBpp == 0 || dstBpp == 0)
            {
                EXPECT_FALSE(converted);
                EXPECT_EQ(nullptr, dst);
                ASSERT_EQ(1u, lines.size());
                EXPECT_EQ(
                    formatString("ERROR: Conversion from %d BPP to %d BPP is not supported!", srcBpp, dstBpp),
                    lines[0]);
                continue;
            }
            ASSERT_TRUE(converted);
            EXPECT_TRUE(lines.empty());
            std::vector<unsigned char> expected;
            for (int i = 0; i < width * height; ++i)
            {
                std::vector<unsigned char> pixel =
                    expectedPixel(srcFormat, src.data() + i * srcBpp, dstFormat);
                expected.insert(expected.end(), pixel.begin(), pixel.end());
            }
            EXPECT_EQ(expected, std::vector<unsigned char>(dst, dst + width * height * dstBpp));
            // A conversion is needed exactly when a plain copy would give other pixels (the unused
            // byte of a destination does not count).
            bool sameBytes = (srcBpp == dstBpp);
            for (int i = 0; sameBytes && i < width * height * dstBpp; ++i)
            {
                sameBytes = (src[i] == dst[i] || layoutOf(dstFormat)[i % dstBpp] == 'X');
            }
            EXPECT_EQ(!sameBytes, Image::needsConversion(from, to)) << "needsConversion";
        }
    }
}

TEST(PixelFormats, SameFormatGuard)
{
    LogCapture log;
    unsigned char src[4] = {1, 2, 3, 4};
    for (int format = 1; format <= 13; ++format)
    {
        unsigned char* dst = NULL;
        EXPECT_FALSE(Image::convert(1, 1, src, (Image::Format)format, &dst, (Image::Format)format, true));
        EXPECT_EQ(nullptr, dst);
        harray<hstring> lines = log.take();
        ASSERT_EQ(1u, lines.size());
        EXPECT_EQ("WARNING: The source's and destination's formats are the same!", lines[0]);
        EXPECT_FALSE(Image::needsConversion((Image::Format)format, (Image::Format)format, true));
    }
    // Without the guard a same-format conversion is a copy.
    unsigned char* dst = NULL;
    EXPECT_TRUE(Image::convert(1, 1, src, Image::FORMAT_BGRA, &dst, Image::FORMAT_BGRA));
    EXPECT_EQ(0, memcmp(src, dst, 4));
    delete[] dst;
    EXPECT_TRUE(log.take().empty());
}

TEST(PixelFormats, ConvertIntoGivenBufferAndWholeBlocks)
{
    // RGB to BGRX swaps red and blue and sets the fourth byte; a given buffer is written in place.
    unsigned char rgb[6] = {10, 20, 30, 40, 50, 60};
    unsigned char out[8] = {};
    unsigned char* dst = out;
    ASSERT_TRUE(Image::convert(2, 1, rgb, Image::FORMAT_RGB, &dst, Image::FORMAT_BGRX));
    EXPECT_EQ(out, dst);
    const unsigned char expected[8] = {30, 20, 10, 255, 60, 50, 40, 255};
    EXPECT_EQ(0, memcmp(expected, out, 8));
    // Large enough for the vectorised paths and their remainders.
    const int count = 1003;
    std::vector<unsigned char> rgba(count * 4);
    for (size_t i = 0; i < rgba.size(); ++i)
    {
        rgba[i] = (unsigned char)(i * 31 + 7);
    }
    std::vector<unsigned char> bgra(count * 4), back(count * 4);
    dst = bgra.data();
    ASSERT_TRUE(Image::convert(count, 1, rgba.data(), Image::FORMAT_RGBA, &dst, Image::FORMAT_ABGR));
    dst = back.data();
    ASSERT_TRUE(Image::convert(count, 1, bgra.data(), Image::FORMAT_ABGR, &dst, Image::FORMAT_RGBA));
    EXPECT_EQ(rgba, back);
    EXPECT_EQ(rgba[4 * 1002 + 3], bgra[4 * 1002]);
}
