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
        return std::unique_ptr<Image>(tesra::decoders::decodePng(bytes.data(), bytes.size()));
    }

    // What the decoder must produce from libpng's plain expansion: grey with alpha keeps only its
    // grey channel, grey with a transparent colour becomes RGBA.
    Pixels expectedFrom(const Pixels& reference, int colorType, bool colorKey)
    {
        Pixels expected = reference;
        size_t count = (size_t)reference.width * reference.height;
        if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        {
            expected.channels = 1;
            expected.data.resize(count);
            for (size_t i = 0; i < count; ++i)
            {
                expected.data[i] = reference.data[i * 2];
            }
        }
        else if (colorType == PNG_COLOR_TYPE_GRAY && colorKey)
        {
            expected.channels = 4;
            expected.data.resize(count * 4);
            for (size_t i = 0; i < count; ++i)
            {
                unsigned char grey = reference.data[i * 2];
                expected.data[i * 4 + 0] = expected.data[i * 4 + 1] = expected.data[i * 4 + 2] = grey;
                expected.data[i * 4 + 3] = reference.data[i * 2 + 1];
            }
        }
        return expected;
    }

    Image::Format formatOf(int channels)
    {
        return (channels == 1 ? Image::FORMAT_ALPHA
                              : (channels == 3 ? Image::FORMAT_RGB : Image::FORMAT_RGBA));
    }
} // namespace

TEST(PngDecoding, EveryColorTypeAndDepthMatchesLibpng)
{
    // Odd sizes, so that low-bit rows end inside a byte and interlacing has partial passes.
    struct Case
    {
        PngParams params; // width, height, colour type, depth, interlaced, palette, tRNS entries, tRNS colour
        int expectedChannels;
    };
    const Case cases[] = {
        {{13, 11, PNG_COLOR_TYPE_GRAY, 1, false, 0, 0, false}, 1},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 2, false, 0, 0, false}, 1},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 4, false, 0, 0, false}, 1},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 8, false, 0, 0, false}, 1},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 16, false, 0, 0, false}, 1},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 1, false, 0, 0, true}, 4},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 4, false, 0, 0, true}, 4},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 8, false, 0, 0, true}, 4},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 16, false, 0, 0, true}, 4},
        {{13, 11, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, 0, 0, false}, 1},
        {{13, 11, PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, 0, 0, false}, 1},
        {{13, 11, PNG_COLOR_TYPE_RGB, 8, false, 0, 0, false}, 3},
        {{13, 11, PNG_COLOR_TYPE_RGB, 16, false, 0, 0, false}, 3},
        {{13, 11, PNG_COLOR_TYPE_RGB, 8, false, 0, 0, true}, 4},
        {{13, 11, PNG_COLOR_TYPE_RGB, 16, false, 0, 0, true}, 4},
        {{13, 11, PNG_COLOR_TYPE_RGB_ALPHA, 8, false, 0, 0, false}, 4},
        {{13, 11, PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 0, 0, false}, 4},
        {{13, 11, PNG_COLOR_TYPE_PALETTE, 1, false, 2, 0, false}, 3},
        {{13, 11, PNG_COLOR_TYPE_PALETTE, 2, false, 4, 0, false}, 3},
        {{13, 11, PNG_COLOR_TYPE_PALETTE, 4, false, 7, 0, false}, 3},
        {{13, 11, PNG_COLOR_TYPE_PALETTE, 8, false, 5, 0, false}, 3},
        {{13, 11, PNG_COLOR_TYPE_PALETTE, 8, false, 5, 3, false}, 4},
        {{13, 11, PNG_COLOR_TYPE_PALETTE, 2, false, 4, 4, false}, 4},
        {{13, 11, PNG_COLOR_TYPE_GRAY, 2, true, 0, 0, false}, 1},
        {{13, 11, PNG_COLOR_TYPE_RGB, 8, true, 0, 0, false}, 3},
        {{13, 11, PNG_COLOR_TYPE_RGB_ALPHA, 16, true, 0, 0, false}, 4},
        {{13, 11, PNG_COLOR_TYPE_PALETTE, 4, true, 9, 2, false}, 4},
    };
    for (const Case& c : cases)
    {
        const PngParams& params = c.params;
        SCOPED_TRACE(testing::Message()
                     << "colour type " << params.colorType << ", " << params.bitDepth << " bits"
                     << (params.interlaced ? ", interlaced" : "") << (params.colorKey ? ", tRNS" : "")
                     << (params.transparentCount ? ", palette tRNS" : ""));
        Bytes file = writePng(params);
        ASSERT_FALSE(file.empty());
        Pixels expected = expectedFrom(referencePng(file), params.colorType, params.colorKey);
        ASSERT_EQ(c.expectedChannels, expected.channels);
        std::unique_ptr<Image> image = decode(file);
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(formatOf(c.expectedChannels), image->format);
        EXPECT_EQ(expected.data, imageBytes(image.get()));
    }
}

TEST(PngDecoding, KnownSampleValues)
{
    // Independent of libpng's reader: the written samples themselves.
    PngParams params;
    std::unique_ptr<Image> image;
    // 1-bit grey spreads to 0 and 255.
    params.colorType = PNG_COLOR_TYPE_GRAY;
    params.bitDepth = 1;
    image = decode(writePng(params));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(Image::FORMAT_ALPHA, image->format);
    for (int i = 0; i < params.width * params.height; ++i)
    {
        EXPECT_EQ(sampleAt(params, i % params.width, i / params.width, 0) ? 255 : 0, image->data[i]);
    }
    // The transparent colour of a grey image gives alpha 0 at its pixels and 255 elsewhere.
    params.bitDepth = 8;
    params.colorKey = true;
    image = decode(writePng(params));
    ASSERT_NE(nullptr, image);
    ASSERT_EQ(Image::FORMAT_RGBA, image->format);
    EXPECT_EQ(0, image->data[1 * 4 + 3]);
    EXPECT_EQ(255, image->data[0 * 4 + 3]);
}

TEST(PngDecoding, RefusesOversizedDimensions)
{
    // A valid header whose size passes the library but not our cap.
    EXPECT_EQ(nullptr, decode(writePng({tesra::decoders::MAX_SIDE + 1, 1, PNG_COLOR_TYPE_GRAY, 1})));
    // Within the side limit but too many bytes: refused before anything is allocated.
    Bytes file = writePng({16, 16, PNG_COLOR_TYPE_RGB_ALPHA});
    ASSERT_NE(nullptr, decode(file));
    EXPECT_EQ(nullptr, decode(withPngSize(file, tesra::decoders::MAX_SIDE, tesra::decoders::MAX_SIDE)));
}
