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
        return std::unique_ptr<Image>(tesra::decoders::decodeJpt(bytes.data(), bytes.size()));
    }

    Bytes greyMask(int width, int height)
    {
        return writePng({width, height, PNG_COLOR_TYPE_GRAY});
    }

    // The colour of the JPEG and the grey level of the mask, as the libraries read them.
    Bytes combined(const Bytes& jpeg, const Bytes& png)
    {
        Pixels color = referenceJpeg(jpeg, JCS_RGB);
        Pixels mask = referencePng(png);
        Bytes out;
        for (size_t i = 0; i < (size_t)color.width * color.height; ++i)
        {
            out.insert(out.end(), {color.data[i * 3], color.data[i * 3 + 1], color.data[i * 3 + 2],
                                   mask.data[i * mask.channels]});
        }
        return out;
    }
} // namespace

TEST(JptDecoding, EqualsItsJpegAndMaskCombined)
{
    Bytes jpeg = writeJpeg(19, 7, JpegKind::Baseline);
    Bytes png = greyMask(19, 7);
    std::unique_ptr<Image> image = decode(makeJpt(jpeg, png));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(Image::FORMAT_RGBA, image->format);
    EXPECT_EQ(combined(jpeg, png), imageBytes(image.get()));
    // Bytes after the mask block are ignored.
    Bytes padded = makeJpt(jpeg, png);
    padded.push_back(0);
    ASSERT_NE(nullptr, decode(padded));
}

TEST(JptDecoding, MasksSavedWithColourAreReducedToOneChannel)
{
    Bytes jpeg = writeJpeg(6, 5, JpegKind::Progressive);
    for (int colorType : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_GRAY_ALPHA})
    {
        Bytes png = writePng({6, 5, colorType});
        std::unique_ptr<Image> image = decode(makeJpt(jpeg, png));
        ASSERT_NE(nullptr, image) << colorType;
        // The first channel (red, or grey) becomes alpha.
        EXPECT_EQ(combined(jpeg, png), imageBytes(image.get())) << colorType;
    }
}

TEST(JptDecoding, InconsistentBlocksAreRefused)
{
    Bytes jpeg = writeJpeg(8, 8, JpegKind::Baseline);
    Bytes png = greyMask(8, 8);
    Bytes file = makeJpt(jpeg, png);
    ASSERT_NE(nullptr, decode(file));
    // A mask of another size.
    EXPECT_EQ(nullptr, decode(makeJpt(jpeg, greyMask(8, 7))));
    // A JPEG length beyond the end of the file, or reaching into the mask's length.
    Bytes longJpeg = file;
    std::fill(longJpeg.begin() + 4, longJpeg.begin() + 8, 0xFF);
    EXPECT_EQ(nullptr, decode(longJpeg));
    Bytes overlapping = file;
    overlapping[4] = (unsigned char)(jpeg.size() + 2);
    overlapping[5] = (unsigned char)((jpeg.size() + 2) >> 8);
    EXPECT_EQ(nullptr, decode(overlapping));
    // A mask length beyond the end of the file.
    Bytes longPng = file;
    longPng[8 + jpeg.size()] += 1;
    EXPECT_EQ(nullptr, decode(longPng));
    // Missing blocks.
    EXPECT_EQ(nullptr, decode(Bytes(file.begin(), file.begin() + 8 + jpeg.size())));
    EXPECT_EQ(nullptr, decode(Bytes(file.begin(), file.begin() + 3)));
    // Blocks swapped.
    EXPECT_EQ(nullptr, decode(makeJpt(png, jpeg)));
}
