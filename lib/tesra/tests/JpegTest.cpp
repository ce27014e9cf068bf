#include <memory>

#include <gtest/gtest.h>

#include "ImageDecoders.h"
#include "ImageSupport.h"

using namespace imagetest;
using tesra::Image;

namespace
{
    std::unique_ptr<Image> decode(const Bytes& bytes)
    {
        return std::unique_ptr<Image>(tesra::decoders::decodeJpeg(bytes.data(), bytes.size()));
    }
} // namespace

TEST(JpegDecoding, BaselineAndProgressiveMatchLibjpeg)
{
    for (JpegKind kind : {JpegKind::Baseline, JpegKind::Progressive})
    {
        SCOPED_TRACE(kind == JpegKind::Baseline ? "baseline" : "progressive");
        // Not a multiple of the block size, and more rows than one read delivers.
        Bytes file = writeJpeg(37, 45, kind);
        ASSERT_FALSE(file.empty());
        Pixels expected = referenceJpeg(file, JCS_RGB);
        ASSERT_EQ(3, expected.channels);
        std::unique_ptr<Image> image = decode(file);
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(Image::FORMAT_RGB, image->format);
        EXPECT_EQ(expected.data, imageBytes(image.get()));
    }
}

TEST(JpegDecoding, GreyBecomesRgb)
{
    Bytes file = writeJpeg(21, 9, JpegKind::Grey);
    Pixels grey = referenceJpeg(file, JCS_UNKNOWN);
    ASSERT_EQ(1, grey.channels);
    std::unique_ptr<Image> image = decode(file);
    ASSERT_NE(nullptr, image);
    ASSERT_EQ(Image::FORMAT_RGB, image->format);
    Bytes expected;
    for (unsigned char value : grey.data)
    {
        expected.insert(expected.end(), {value, value, value});
    }
    EXPECT_EQ(expected, imageBytes(image.get()));
}

TEST(JpegDecoding, CmykAndYcckAreRefused)
{
    Bytes cmyk = writeJpeg(8, 8, JpegKind::Cmyk);
    Bytes ycck = writeJpeg(8, 8, JpegKind::Ycck);
    // The library itself decodes them, to four components.
    EXPECT_EQ(4, referenceJpeg(cmyk, JCS_UNKNOWN).channels);
    EXPECT_EQ(4, referenceJpeg(ycck, JCS_UNKNOWN).channels);
    EXPECT_EQ(nullptr, decode(cmyk));
    EXPECT_EQ(nullptr, decode(ycck));
}

TEST(JpegDecoding, ErrorsReturnNullInsteadOfEndingTheProcess)
{
    // Each of these makes libjpeg raise an error, which by default exits the program.
    Bytes file = writeJpeg(16, 16, JpegKind::Baseline);
    EXPECT_EQ(nullptr, decode(Bytes{0xFF, 0xD8}));
    EXPECT_EQ(nullptr, decode(Bytes{'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}));
    EXPECT_EQ(nullptr, tesra::decoders::decodeJpeg(nullptr, 0));
    Bytes noEnd(file.begin(), file.end() - 2);
    EXPECT_EQ(nullptr, decode(noEnd));
    EXPECT_NE(nullptr, decode(file));
    // Wider than the decoders accept, though libjpeg would read it.
    Bytes wide = writeJpeg(tesra::decoders::MAX_SIDE + 1, 1, JpegKind::Grey);
    EXPECT_EQ(tesra::decoders::MAX_SIDE + 1, referenceJpeg(wide, JCS_UNKNOWN).width);
    EXPECT_EQ(nullptr, decode(wide));
}
