#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <tesra/Image.h>

#include "LogCapture.h"

using tesra::Color;
using tesra::Image;

namespace
{
    typedef std::vector<unsigned char> Bytes;

    // A w x h single-byte buffer whose pixel (x, y) holds 10 * y + x + 1.
    Bytes numbered(int w, int h)
    {
        Bytes out(w * h);
        for (int i = 0; i < w * h; ++i)
        {
            out[i] = (unsigned char)(10 * (i / w) + i % w + 1);
        }
        return out;
    }
} // namespace

TEST(ImageWrite, ClipsToBothBuffers)
{
    Bytes src = numbered(4, 3);
    Bytes dst(5 * 4, 0);
    auto write = [&](int sx, int sy, int sw, int sh, int dx, int dy)
    {
        std::fill(dst.begin(), dst.end(), 0);
        return Image::write(sx, sy, sw, sh, dx, dy, src.data(), 4, 3, Image::FORMAT_GRAYSCALE, dst.data(), 5,
                            4, Image::FORMAT_GRAYSCALE);
    };
    // Inside: a 2x2 block lands at (3, 2).
    ASSERT_TRUE(write(1, 1, 2, 2, 3, 2));
    EXPECT_EQ(13, dst[2 * 5 + 4]);
    EXPECT_EQ(22, dst[3 * 5 + 3]);
    // Cut at the destination's right and bottom edges.
    ASSERT_TRUE(write(0, 0, 4, 3, 3, 3));
    EXPECT_EQ(2, dst[3 * 5 + 4]);
    // A negative destination offset cuts the rectangle's start.
    ASSERT_TRUE(write(0, 0, 4, 3, -2, -1));
    EXPECT_EQ(14, dst[1]);
    EXPECT_EQ(0, dst[2]);
    EXPECT_EQ(23, dst[5]);
    // Source rectangles that leave their buffer, and nothing left after clipping.
    EXPECT_FALSE(write(3, 0, 2, 1, 0, 0));
    EXPECT_FALSE(write(-1, 0, 2, 1, 0, 0));
    EXPECT_FALSE(write(0, 0, 0, 1, 0, 0));
    EXPECT_FALSE(write(0, 0, 2, 2, 5, 0));
    EXPECT_FALSE(write(0, 0, 2, 2, -2, 0));
    EXPECT_EQ(Bytes(5 * 4, 0), dst);
}

TEST(ImageWrite, ConvertsRowsAndWholeBlocks)
{
    const unsigned char rgb[2 * 2 * 3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    // The whole buffer at (0, 0) with equal widths.
    Bytes whole(2 * 2 * 4, 0);
    ASSERT_TRUE(
        Image::write(0, 0, 2, 2, 0, 0, rgb, 2, 2, Image::FORMAT_RGB, whole.data(), 2, 2, Image::FORMAT_BGRA));
    EXPECT_EQ((Bytes{3, 2, 1, 255, 6, 5, 4, 255, 9, 8, 7, 255, 12, 11, 10, 255}), whole);
    // Row by row into a wider buffer; the rest stays untouched.
    Bytes wide(3 * 2 * 4, 0);
    ASSERT_TRUE(
        Image::write(0, 0, 2, 2, 1, 0, rgb, 2, 2, Image::FORMAT_RGB, wide.data(), 3, 2, Image::FORMAT_ARGB));
    EXPECT_EQ((Bytes{0, 0, 0, 0, 255, 1, 2, 3, 255, 4, 5, 6, 0, 0, 0, 0, 255, 7, 8, 9, 255, 10, 11, 12}),
              wide);
}

TEST(ImageWrite, AlphaSourceReplacesOnlyAlpha)
{
    const unsigned char alpha[2] = {11, 22};
    for (Image::Format format :
         {Image::FORMAT_RGBA, Image::FORMAT_BGRA, Image::FORMAT_ARGB, Image::FORMAT_ABGR})
    {
        Bytes dst = {1, 2, 3, 4, 5, 6, 7, 8};
        ASSERT_TRUE(
            Image::write(0, 0, 2, 1, 0, 0, alpha, 2, 1, Image::FORMAT_ALPHA, dst.data(), 2, 1, format));
        bool last = (format == Image::FORMAT_RGBA || format == Image::FORMAT_BGRA);
        EXPECT_EQ(last ? (Bytes{1, 2, 3, 11, 5, 6, 7, 22}) : (Bytes{11, 2, 3, 4, 22, 6, 7, 8}), dst)
            << format;
    }
    // Destinations without an alpha channel refuse it and stay as they were.
    for (Image::Format format :
         {Image::FORMAT_RGBX, Image::FORMAT_XRGB, Image::FORMAT_RGB, Image::FORMAT_GRAYSCALE})
    {
        Bytes dst(8, 9);
        EXPECT_FALSE(
            Image::write(0, 0, 2, 1, 0, 0, alpha, 2, 1, Image::FORMAT_ALPHA, dst.data(), 2, 1, format));
        EXPECT_EQ(Bytes(8, 9), dst);
    }
    // ALPHA into ALPHA is a copy.
    Bytes dst(2, 0);
    ASSERT_TRUE(Image::write(0, 0, 2, 1, 0, 0, alpha, 2, 1, Image::FORMAT_ALPHA, dst.data(), 2, 1,
                             Image::FORMAT_ALPHA));
    EXPECT_EQ((Bytes{11, 22}), dst);
}

TEST(ImageWrite, PaletteCannotBeWritten)
{
    LogCapture log;
    Bytes src(4, 1), dst(16, 0);
    EXPECT_FALSE(Image::write(0, 0, 2, 2, 0, 0, src.data(), 2, 2, Image::FORMAT_PALETTE, dst.data(), 2, 2,
                              Image::FORMAT_RGBA));
    EXPECT_EQ(Bytes(16, 0), dst);
    harray<hstring> lines = log.take();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ("ERROR: Conversion from 0 BPP to 4 BPP is not supported!", lines[0]);
}

TEST(ImageFill, FillRectAndSetPixel)
{
    Color color(10, 20, 30, 40);
    struct Case
    {
        Image::Format format;
        Bytes pixel;
    };
    const Case cases[] = {
        {Image::FORMAT_ARGB, {40, 10, 20, 30}},
        {Image::FORMAT_BGRA, {30, 20, 10, 40}},
        {Image::FORMAT_XBGR, {255, 30, 20, 10}},
        {Image::FORMAT_BGR, {30, 20, 10}},
        {Image::FORMAT_ALPHA, {40}},
        {Image::FORMAT_GRAYSCALE, {10}},
    };
    for (const Case& c : cases)
    {
        size_t bpp = c.pixel.size();
        Bytes data(4 * 3 * bpp, 0);
        // Clipped at the right and bottom edges: (2..3) x (1..2) of a 4 x 3 buffer.
        ASSERT_TRUE(Image::fillRect(2, 1, 5, 5, color, data.data(), 4, 3, c.format)) << c.format;
        for (int i = 0; i < 12; ++i)
        {
            bool inside = (i % 4 >= 2 && i / 4 >= 1);
            Bytes pixel(data.begin() + i * bpp, data.begin() + (i + 1) * bpp);
            EXPECT_EQ(inside ? c.pixel : Bytes(bpp, 0), pixel) << c.format << " pixel " << i;
        }
        ASSERT_TRUE(Image::setPixel(0, 0, color, data.data(), 4, 3, c.format));
        EXPECT_EQ(c.pixel, Bytes(data.begin(), data.begin() + bpp));
        EXPECT_FALSE(Image::setPixel(4, 0, color, data.data(), 4, 3, c.format));
        EXPECT_FALSE(Image::setPixel(0, -1, color, data.data(), 4, 3, c.format));
        EXPECT_FALSE(Image::fillRect(-5, 0, 5, 3, color, data.data(), 4, 3, c.format));
    }
    // A negative start is cut, too.
    Bytes grey(4, 0);
    ASSERT_TRUE(Image::fillRect(-1, -1, 2, 2, Color(7, 0, 0), grey.data(), 2, 2, Image::FORMAT_GRAYSCALE));
    EXPECT_EQ((Bytes{7, 0, 0, 0}), grey);
}

TEST(ImageCreate, CopiesOrFills)
{
    const unsigned char rgb[6] = {1, 2, 3, 4, 5, 6};
    std::unique_ptr<Image> image(Image::create(2, 1, rgb, Image::FORMAT_RGB));
    ASSERT_NE(nullptr, image);
    EXPECT_NE(rgb, image->data);
    EXPECT_EQ(0, memcmp(rgb, image->data, 6));
    image.reset(Image::create(2, 1, (const unsigned char*)NULL, Image::FORMAT_RGB));
    EXPECT_EQ(nullptr, image->data);
    image.reset(Image::create(0, 5, rgb, Image::FORMAT_RGB));
    EXPECT_EQ(nullptr, image->data);
    image.reset(Image::create(3, 2, Color(1, 2, 3, 4), Image::FORMAT_BGRA));
    ASSERT_NE(nullptr, image->data);
    const unsigned char bgra[4] = {3, 2, 1, 4};
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(0, memcmp(image->data + i * 4, bgra, 4));
    }
    EXPECT_EQ(nullptr, Image::create(-1, 2, Color(), Image::FORMAT_RGBA));
}
