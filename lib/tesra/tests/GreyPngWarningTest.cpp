#include <cstdio>

#include <memory>

#include <gtest/gtest.h>

#include <quortypes/Dir.h>
#include <tesra/Image.h>

#include "ImageSupport.h"
#include "LogCapture.h"

using namespace imagetest;
using tesra::Image;

namespace
{
    hstring save(const hstring& name, const Bytes& bytes)
    {
        return saveFile("grey_png_test", name, bytes);
    }

    int warningsNaming(const harray<hstring>& lines, const hstring& path)
    {
        int count = 0;
        for (const hstring& line : lines)
        {
            count += (line.startsWith("WARNING: ") && line.contains("'" + path + "'") &&
                      line.contains("greyscale"));
        }
        return count;
    }
} // namespace

TEST(GreyPngWarning, NamesTheFileOnceAndOnlyForGreyPictures)
{
    LogCapture log;
    const hstring grey = save("shadow.png", writePng({6, 3, PNG_COLOR_TYPE_GRAY}));
    const hstring other = save("second.png", writePng({6, 3, PNG_COLOR_TYPE_GRAY, 4}));
    const hstring rgb = save("colour.png", writePng({6, 3, PNG_COLOR_TYPE_RGB}));
    const hstring greyAlpha = save("faded.png", writePng({6, 3, PNG_COLOR_TYPE_GRAY_ALPHA}));
    for (int i = 0; i < 3; ++i)
    {
        // The picture still loads as it always has: the warning only explains the result.
        std::unique_ptr<Image> image(Image::createFromResource(grey));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->format, Image::FORMAT_ALPHA);
    }
    std::unique_ptr<Image>(Image::createFromFile(other));
    std::unique_ptr<Image>(Image::createFromFile(rgb));
    std::unique_ptr<Image>(Image::createFromFile(greyAlpha));
    const harray<hstring> lines = log.take();
    EXPECT_EQ(warningsNaming(lines, grey), 1);
    EXPECT_EQ(warningsNaming(lines, other), 1);
    EXPECT_EQ(warningsNaming(lines, rgb), 0);
    // Grey with alpha also keeps only its grey channel.
    EXPECT_EQ(warningsNaming(lines, greyAlpha), 1);
}
