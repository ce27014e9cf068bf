#include <cstdio>

#include <gtest/gtest.h>

#include <quortypes/Dir.h>
#include <tesra/Image.h>

#include "ImageSupport.h"

using namespace imagetest;
using tesra::Image;

namespace
{
    hstring save(const hstring& name, const Bytes& bytes)
    {
        return saveFile("image_load_test", name, bytes);
    }

    Image::Format formatOf(Image* image)
    {
        std::unique_ptr<Image> owned(image);
        return (image != nullptr ? image->format : Image::FORMAT_UNKNOWN);
    }
} // namespace

TEST(ImageLoad, ExtensionPicksTheDecoderFromFilesAndResources)
{
    Bytes png = writePng(PngParams()), jpeg = writeJpeg(5, 4); // 5 x 4 RGB
    EXPECT_EQ(Image::FORMAT_RGB, formatOf(Image::createFromFile(save("Title.PNG", png))));
    EXPECT_EQ(Image::FORMAT_RGB, formatOf(Image::createFromFile(save("photo.jpeg", jpeg))));
    EXPECT_EQ(Image::FORMAT_RGB, formatOf(Image::createFromResource(save("photo.JPG", jpeg))));
    hstring jpt = save("sprite.jpt", makeJpt(jpeg, writePng({5, 4, PNG_COLOR_TYPE_GRAY})));
    EXPECT_EQ(Image::FORMAT_RGBA, formatOf(Image::createFromResource(jpt)));
    // The extension decides, not the contents; missing and empty files give null, not an exception.
    EXPECT_EQ(nullptr, Image::createFromFile(save("picture.bmp", png)));
    EXPECT_EQ(nullptr, Image::createFromFile(save("misnamed.jpg", png)));
    EXPECT_EQ(nullptr, Image::createFromFile("image_load_test/missing.png"));
    EXPECT_EQ(nullptr, Image::createFromResource("image_load_test/missing.png"));
    EXPECT_EQ(nullptr, Image::createFromFile(save("empty.png", Bytes())));
    // Converted when the formats differ in their bytes; a format out of reach leaves the decoded one.
    std::unique_ptr<Image> rgb(Image::createFromFile("image_load_test/Title.PNG"));
    std::unique_ptr<Image> bgrx(Image::createFromResource("image_load_test/Title.PNG", Image::FORMAT_BGRX));
    std::unique_ptr<Image> kept(Image::createFromFile("image_load_test/Title.PNG", Image::FORMAT_PALETTE));
    ASSERT_TRUE(rgb && bgrx && kept);
    EXPECT_EQ(Image::FORMAT_BGRX, bgrx->format);
    EXPECT_EQ((Bytes{rgb->data[2], rgb->data[1], rgb->data[0], 255}),
              Bytes(bgrx->data.get(), bgrx->data.get() + 4));
    EXPECT_EQ(Image::FORMAT_RGB, kept->format);
    EXPECT_EQ(imageBytes(rgb.get()), imageBytes(kept.get()));
}

TEST(ImageLoad, SizeFromTheHeaderWithoutDecoding)
{
    Bytes png = writePng({7, 3, PNG_COLOR_TYPE_RGB}), jpeg = writeJpeg(5, 4, JCS_YCbCr, true);
    // Metadata before the frame header, longer than the first bytes read.
    Bytes comment = {0xFF, 0xFE, 0xFF, 0xFF};
    comment.resize(65537, 'x');
    Bytes padded(jpeg.begin(), jpeg.begin() + 2);
    for (int i = 0; i < 2; ++i)
        padded.insert(padded.end(), comment.begin(), comment.end());
    padded.insert(padded.end(), jpeg.begin() + 2, jpeg.end());
    const std::tuple<hstring, bool, int, int> rows[] = {
        {save("header.png", png), true, 7, 3},
        {save("header.jpg", jpeg), false, 5, 4},
        {save("padded.jpeg", padded), true, 5, 4},
        {save("header.jpt", makeJpt(jpeg, writePng({5, 4, PNG_COLOR_TYPE_GRAY}))), true, 5, 4},
        {save("cut.png", Bytes(png.begin(), png.begin() + 20)), false, 0, 0},
        {save("not.jpg", png), false, 0, 0},
        {save("header.bmp", png), false, 0, 0},
        {"image_load_test/missing.png", false, 0, 0}};
    for (const auto& [name, fromResource, width, height] : rows)
    {
        int w = 0, h = 0;
        EXPECT_EQ(Image::readSize(name, fromResource, w, h), width > 0) << name;
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(width, height)) << name;
    }
}
