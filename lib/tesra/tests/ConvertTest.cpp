#include <climits>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tesra/Image.h>

#include "LogCapture.h"

using tesra::Color;
using tesra::Image;

namespace
{
    typedef std::vector<unsigned char> Bytes;

    // Channel letters of each format, byte by byte; X is the unused byte, L grey.
    const std::string LAYOUT[] = {"",     "RGBA", "ARGB", "BGRA", "ABGR", "RGBX", "XRGB",
                                  "BGRX", "XBGR", "RGB",  "BGR",  "A",    "L",    ""};

    // A converted pixel worked out from the letters: one byte spreads to the colours; a one-byte
    // destination takes red (or the single byte); the fourth byte is the source's, or 255 when the
    // source has none or the destination has alpha and the source has not.
    void appendExpected(Bytes& out, const std::string& from, const unsigned char* src, const std::string& to)
    {
        auto value = [&](char name) -> unsigned char
        {
            bool fourth = (name == 'A' || name == 'X');
            size_t at =
                (from.size() == 1 ? (fourth ? std::string::npos : 0)
                                  : from.find_first_of(fourth ? std::string("AX") : std::string(1, name)));
            return (at == std::string::npos || (name == 'A' && from[at] == 'X')) ? 255 : src[at];
        };
        for (char name : (to.size() == 1 ? std::string("R") : to))
        {
            out.push_back(value(name));
        }
    }
} // namespace

TEST(PixelFormats, EveryConversionPair)
{
    LogCapture log;
    const int width = 37, height = 2, count = width * height; // enough for the word-wise paths
    Bytes src(count * 4), given(count * 4);
    std::iota(src.begin(), src.end(), 5);
    EXPECT_EQ(0, Image::getFormatBpp((Image::Format)0) + Image::getFormatBpp((Image::Format)14) +
                     Image::getFormatBpp((Image::Format)-1));
    for (int srcFormat = 1; srcFormat <= 13; ++srcFormat)
    {
        for (int dstFormat = 1; dstFormat <= 13; ++dstFormat)
        {
            SCOPED_TRACE(testing::Message() << srcFormat << " -> " << dstFormat);
            Image::Format from = (Image::Format)srcFormat, to = (Image::Format)dstFormat;
            int srcBpp = Image::getFormatBpp(from), dstBpp = Image::getFormatBpp(to);
            ASSERT_EQ(LAYOUT[srcFormat].size(), (size_t)srcBpp);
            // Half the pairs write into a given buffer, the others have one allocated.
            unsigned char* initial = ((srcFormat + dstFormat) % 2 ? given.data() : nullptr);
            unsigned char* dst = initial;
            bool converted = Image::convert(width, height, src.data(), from, &dst, to);
            std::unique_ptr<unsigned char[]> owned(dst != initial ? dst : nullptr);
            if (srcBpp == 0 || dstBpp == 0)
            {
                bool palettes = (srcBpp == dstBpp);
                EXPECT_EQ(palettes, converted);
                EXPECT_EQ(initial, dst);
                EXPECT_EQ(palettes ? ""
                                   : formatString("ERROR: Conversion from %d BPP to %d BPP is not supported!",
                                                  srcBpp, dstBpp),
                          log.take().joined("\n"));
                continue;
            }
            ASSERT_TRUE(converted);
            EXPECT_TRUE(initial == nullptr || dst == initial);
            EXPECT_EQ("", log.take().joined("\n"));
            ASSERT_NE(nullptr, dst);
            Bytes expected;
            for (int i = 0; i < count; ++i)
            {
                appendExpected(expected, LAYOUT[srcFormat], src.data() + i * srcBpp, LAYOUT[dstFormat]);
            }
            EXPECT_EQ(expected, Bytes(dst, dst + count * dstBpp));
            // A conversion is needed exactly when a plain copy would give other pixels (the unused
            // byte of a destination does not count); RGB and BGR need one too.
            bool sameBytes = (srcBpp == dstBpp);
            for (int i = 0; sameBytes && i < count * dstBpp; ++i)
            {
                sameBytes = (src[i] == dst[i] || LAYOUT[dstFormat][i % dstBpp] == 'X');
            }
            EXPECT_EQ(!sameBytes, Image::needsConversion(from, to));
        }
        // With the same-format guard nothing is converted and a warning is logged.
        unsigned char* dst = nullptr;
        Image::Format format = (Image::Format)srcFormat;
        EXPECT_FALSE(Image::convert(1, 1, (const unsigned char*)"abcd", format, &dst, format, true));
        EXPECT_EQ(nullptr, dst);
        EXPECT_EQ("WARNING: The source's and destination's formats are the same!", log.take().joined("\n"));
        EXPECT_FALSE(Image::needsConversion(format, format, true));
    }
}

TEST(ImageWrite, ClipsConvertsAndReplacesAlpha)
{
    LogCapture log;
    // A 4 x 3 single-byte source whose pixel (x, y) holds 4 * y + x + 1, into a 5 x 4 buffer.
    Bytes src(4 * 3), dst;
    std::iota(src.begin(), src.end(), 1);
    auto write = [&](int sx, int sy, int sw, int sh, int dx, int dy)
    {
        dst.assign(5 * 4, 0);
        return Image::write(sx, sy, sw, sh, dx, dy, src.data(), 4, 3, Image::FORMAT_GRAYSCALE, dst.data(), 5,
                            4, Image::FORMAT_GRAYSCALE);
    };
    ASSERT_TRUE(write(1, 1, 2, 2, 3, 2));
    EXPECT_EQ(7, dst[2 * 5 + 4]);
    EXPECT_EQ(10, dst[3 * 5 + 3]);
    ASSERT_TRUE(write(0, 0, 4, 3, 3, 3)); // cut at the right and bottom
    EXPECT_EQ(2, dst[3 * 5 + 4]);
    ASSERT_TRUE(write(0, 0, 4, 3, -2, -1)); // a negative offset cuts the start
    EXPECT_EQ((Bytes{7, 8, 0, 0, 0, 11, 12}), Bytes(dst.begin(), dst.begin() + 7));
    // Source rectangles that leave their buffer, and nothing left after clipping, even for
    // offsets so far off that moving the start by them would overflow.
    const int refused[][6] = {{3, 0, 2, 1, 0, 0},      {-1, 0, 2, 1, 0, 0}, {0, 0, 0, 1, 0, 0},
                              {0, 0, 2, 2, 5, 0},      {0, 0, 2, 2, -2, 0}, {1, 1, 2, 2, INT_MIN, 0},
                              {1, 1, 2, 2, 0, INT_MIN}};
    for (const int* args : refused)
    {
        EXPECT_FALSE(write(args[0], args[1], args[2], args[3], args[4], args[5]));
        EXPECT_EQ(Bytes(5 * 4, 0), dst);
    }
    // Row by row into a wider buffer of another format; the rest stays untouched.
    const unsigned char rgb[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, alpha[2] = {11, 22};
    Bytes wide(3 * 2 * 4, 0);
    ASSERT_TRUE(
        Image::write(0, 0, 2, 2, 1, 0, rgb, 2, 2, Image::FORMAT_RGB, wide.data(), 3, 2, Image::FORMAT_ARGB));
    EXPECT_EQ((Bytes{0, 0, 0, 0, 255, 1, 2, 3, 255, 4, 5, 6, 0, 0, 0, 0, 255, 7, 8, 9, 255, 10, 11, 12}),
              wide);
    // An ALPHA source replaces only the alpha of destinations that have one; others refuse it.
    for (int format = 1; format <= 12; ++format)
    {
        Bytes dst = {1, 2, 3, 4, 5, 6, 7, 8}, expected = dst;
        size_t at = LAYOUT[format].find('A');
        if (at != std::string::npos)
        {
            expected[at] = 11;
            expected[at + LAYOUT[format].size()] = 22;
        }
        EXPECT_EQ(at != std::string::npos, Image::write(0, 0, 2, 1, 0, 0, alpha, 2, 1, Image::FORMAT_ALPHA,
                                                        dst.data(), 2, 1, (Image::Format)format));
        EXPECT_EQ(expected, dst) << format;
    }
    EXPECT_FALSE(Image::write(0, 0, 2, 1, 0, 0, rgb, 2, 1, Image::FORMAT_PALETTE, wide.data(), 2, 1,
                              Image::FORMAT_RGBA));
    EXPECT_EQ("ERROR: Conversion from 0 BPP to 4 BPP is not supported!", log.take().joined("\n"));
}

TEST(ImageFill, FillRectSetPixelAndCreate)
{
    Color color(10, 20, 30, 40);
    const std::pair<Image::Format, Bytes> cases[] = {
        {Image::FORMAT_ARGB, {40, 10, 20, 30}}, {Image::FORMAT_XBGR, {255, 30, 20, 10}},
        {Image::FORMAT_BGR, {30, 20, 10}},      {Image::FORMAT_ALPHA, {40}},
        {Image::FORMAT_GRAYSCALE, {10}},
    };
    for (const auto& [format, pixel] : cases)
    {
        SCOPED_TRACE(format);
        size_t bpp = pixel.size();
        Bytes data(4 * 3 * bpp, 0);
        auto at = [&](const unsigned char* p, int i) { return Bytes(p + i * bpp, p + (i + 1) * bpp); };
        // Clipped at both ends: (2..3) x (1..2) and (0) x (0) of a 4 x 3 buffer.
        ASSERT_TRUE(Image::fillRect(2, 1, 5, 5, color, data.data(), 4, 3, format));
        ASSERT_TRUE(Image::fillRect(-1, -1, 2, 2, color, data.data(), 4, 3, format));
        for (int i = 0; i < 12; ++i)
        {
            EXPECT_EQ((i == 0 || (i % 4 >= 2 && i / 4 >= 1)) ? pixel : Bytes(bpp, 0), at(data.data(), i))
                << i;
        }
        ASSERT_TRUE(Image::setPixel(1, 0, color, data.data(), 4, 3, format));
        EXPECT_EQ(pixel, at(data.data(), 1));
        EXPECT_FALSE(Image::setPixel(4, 0, color, data.data(), 4, 3, format));
        EXPECT_FALSE(Image::setPixel(0, -1, color, data.data(), 4, 3, format));
        EXPECT_FALSE(Image::fillRect(-5, 0, 5, 3, color, data.data(), 4, 3, format));
        std::unique_ptr<Image> image(Image::create(3, 2, color, format));
        EXPECT_EQ(pixel, at(image->data.get(), 5));
    }
    // create() copies the pixels, or makes none without data or size; a negative size is refused.
    const unsigned char rgb[6] = {1, 2, 3, 4, 5, 6};
    std::unique_ptr<Image> copy(Image::create(2, 1, rgb, Image::FORMAT_RGB)),
        none(Image::create(2, 1, (const unsigned char*)nullptr, Image::FORMAT_RGB)),
        empty(Image::create(0, 5, rgb, Image::FORMAT_RGB));
    EXPECT_EQ(Bytes(rgb, rgb + 6), Bytes(copy->data.get(), copy->data.get() + 6));
    EXPECT_TRUE(copy->data.get() != rgb && none->data == nullptr && empty->data == nullptr);
    EXPECT_EQ(nullptr, Image::create(-1, 2, Color(), Image::FORMAT_RGBA));
}
