#include <stdio.h>

#include <memory>

#include <gtest/gtest.h>

#include <quortypes/Dir.h>
#include <quortypes/Resource.h>
#include <tesra/Image.h>

#include "ImageSupport.h"

using namespace imagetest;
using tesra::Image;

namespace
{
    const char* const FOLDER = "image_load_test";

    hstring save(const hstring& name, const Bytes& bytes)
    {
        quortypes::Dir::create(FOLDER);
        hstring path = hstring(FOLDER) + "/" + name;
        FILE* file = fopen(path.c_str(), "wb");
        if (!bytes.empty())
        {
            fwrite(bytes.data(), 1, bytes.size(), file);
        }
        fclose(file);
        return path;
    }
} // namespace

TEST(ImageLoad, ExtensionPicksTheDecoder)
{
    Bytes png = writePng(PngParams()); // 5 x 4 RGB
    Bytes jpeg = writeJpeg(5, 4, JpegKind::Baseline);
    Bytes jpt = makeJpt(jpeg, writePng({5, 4, PNG_COLOR_TYPE_GRAY}));
    std::unique_ptr<Image> image(Image::createFromFile(save("Title.PNG", png)));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(Image::FORMAT_RGB, image->format);
    image.reset(Image::createFromFile(save("photo.jpeg", jpeg)));
    ASSERT_NE(nullptr, image);
    image.reset(Image::createFromFile(save("photo.JPG", jpeg)));
    ASSERT_NE(nullptr, image);
    image.reset(Image::createFromFile(save("sprite.jpt", jpt)));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(Image::FORMAT_RGBA, image->format);
    // The extension decides, not the contents.
    EXPECT_EQ(nullptr, Image::createFromFile(save("picture.bmp", png)));
    EXPECT_EQ(nullptr, Image::createFromFile(save("misnamed.jpg", png)));
    EXPECT_EQ(nullptr, Image::createFromFile(save("noextension", png)));
    // Missing and empty files give null rather than an exception.
    EXPECT_EQ(nullptr, Image::createFromFile(hstring(FOLDER) + "/missing.png"));
    EXPECT_EQ(nullptr, Image::createFromFile(save("empty.png", Bytes())));
}

TEST(ImageLoad, FromResourcesAndIntoAFormat)
{
    save("tile.png", writePng(PngParams()));
    hstring name = hstring(FOLDER) + "/tile.png";
    std::unique_ptr<Image> image(Image::createFromResource(name));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(Image::FORMAT_RGB, image->format);
    Bytes rgb = imageBytes(image.get());
    EXPECT_EQ(nullptr, Image::createFromResource(hstring(FOLDER) + "/none.png"));
    // Converted when the formats differ in their bytes.
    image.reset(Image::createFromResource(name, Image::FORMAT_BGRX));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(Image::FORMAT_BGRX, image->format);
    EXPECT_EQ(rgb[2], image->data[0]);
    EXPECT_EQ(255, image->data[3]);
    // A format that cannot be reached leaves the decoded one.
    image.reset(Image::createFromFile(name, Image::FORMAT_PALETTE));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(Image::FORMAT_RGB, image->format);
    EXPECT_EQ(rgb, imageBytes(image.get()));
}
