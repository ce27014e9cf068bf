#include <gtest/gtest.h>

#include <string>

#include <quortypes/util.h>

#include "image/ImageDecoders.h"
#include "ImageSupport.h"

using namespace imagetest;
using tesra::Image;
using tesra::decoders::decodeJpeg;
using tesra::decoders::decodeJpt;
using tesra::decoders::decodePng;

TEST(PngDecoding, EveryColorTypeAndDepthMatchesLibpng)
{
    // Odd sizes, so that low-bit rows end inside a byte and interlacing has partial passes. Each kind
    // comes plain, with tRNS (where it has no alpha channel) and interlaced.
    const Image::Format formats[] = {Image::FORMAT_UNKNOWN, Image::FORMAT_ALPHA, Image::FORMAT_UNKNOWN,
                                     Image::FORMAT_RGB, Image::FORMAT_RGBA};
    for (int type : {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB,
                     PNG_COLOR_TYPE_RGB_ALPHA, PNG_COLOR_TYPE_PALETTE})
    {
        for (int depth : {1, 2, 4, 8, 16})
        {
            for (int variant : {0, 1, 2})
            {
                bool transparency = (variant == 1), palette = (type == PNG_COLOR_TYPE_PALETTE);
                if ((depth < 8 && type != PNG_COLOR_TYPE_GRAY && !palette) || (depth == 16 && palette) ||
                    (transparency && (type & PNG_COLOR_MASK_ALPHA)))
                {
                    continue;
                }
                PngParams params = {13, 11, type, depth, variant == 2, transparency};
                SCOPED_TRACE(testing::Message()
                             << "colour type " << type << ", " << depth << " bits, variant " << variant);
                // Grey with alpha keeps only its grey channel; grey with a tRNS colour becomes RGBA.
                Bytes file = writePng(params);
                int transforms =
                    (type == PNG_COLOR_TYPE_GRAY_ALPHA
                         ? PNG_TRANSFORM_STRIP_ALPHA
                         : (type == PNG_COLOR_TYPE_GRAY && transparency ? PNG_TRANSFORM_GRAY_TO_RGB : 0));
                Pixels expected = referencePng(file, transforms);
                std::unique_ptr<Image> image = decode(decodePng, file);
                ASSERT_NE(nullptr, image);
                EXPECT_EQ(formats[expected.channels], image->format);
                EXPECT_EQ(expected.data, imageBytes(image.get()));
            }
        }
    }
}

TEST(JpegDecoding, JpegAndJptMatchLibjpegAndLibpng)
{
    // Baseline, progressive and grey JPEGs, alone and as the picture of a ".jpt" whose mask is grey or
    // saved with colour (its first channel, grey or red, is the alpha). The size is not a multiple of
    // the block size and has more rows than one read delivers.
    const int masks[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA,
                         PNG_COLOR_TYPE_GRAY_ALPHA};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        Bytes jpeg = writeJpeg(37, 45, i % 3 == 2 ? JCS_GRAYSCALE : JCS_YCbCr, i % 3 == 1);
        Bytes png = writePng({37, 45, masks[i]}), file = makeJpt(jpeg, png);
        file.push_back(0); // bytes after the mask are ignored
        Pixels color = referenceJpeg(jpeg), mask = referencePng(png);
        Bytes expected;
        for (size_t p = 0; p < 37 * 45; ++p)
        {
            expected.insert(expected.end(), {color.data[p * 3], color.data[p * 3 + 1], color.data[p * 3 + 2],
                                             mask.data[p * mask.channels]});
        }
        std::unique_ptr<Image> picture = decode(decodeJpeg, jpeg), image = decode(decodeJpt, file);
        ASSERT_TRUE(picture && image);
        EXPECT_EQ(Image::FORMAT_RGB, picture->format);
        EXPECT_EQ(color.data, imageBytes(picture.get()));
        EXPECT_EQ(Image::FORMAT_RGBA, image->format);
        EXPECT_EQ(expected, imageBytes(image.get()));
    }
}

TEST(ImageDecoding, UnreadablePicturesGiveNullWithoutEndingTheProcess)
{
    using tesra::decoders::MAX_SIDE;
    // CMYK and YCCK have no RGB form; the rest make libjpeg raise errors, which by default exit.
    EXPECT_EQ(nullptr, decode(decodeJpeg, writeJpeg(8, 8, JCS_CMYK)));
    EXPECT_EQ(nullptr, decode(decodeJpeg, writeJpeg(8, 8, JCS_YCCK)));
    EXPECT_EQ(nullptr, decode(decodeJpeg, Bytes{'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'}));
    EXPECT_EQ(nullptr, decodeJpeg(nullptr, 0));
    // Sizes the libraries accept but beyond our cap.
    EXPECT_EQ(nullptr, decode(decodeJpeg, writeJpeg(MAX_SIDE + 1, 1, JCS_GRAYSCALE)));
    EXPECT_EQ(nullptr, decode(decodePng, writePng({MAX_SIDE + 1, 1, PNG_COLOR_TYPE_GRAY, 1})));
    // A ".jpt" whose mask has another size than its picture, or whose blocks are swapped. (Lengths
    // that do not fit the file are covered by the truncated and damaged files below.)
    Bytes jpeg = writeJpeg(8, 8), mask = writePng({8, 8, PNG_COLOR_TYPE_GRAY});
    ASSERT_NE(nullptr, decode(decodeJpt, makeJpt(jpeg, mask)));
    EXPECT_EQ(nullptr, decode(decodeJpt, makeJpt(jpeg, writePng({8, 7, PNG_COLOR_TYPE_GRAY}))));
    EXPECT_EQ(nullptr, decode(decodeJpt, makeJpt(mask, jpeg)));
}

namespace
{
    // The file with the last byte of its first IDAT chunk's data (the end of the compressed stream's own
    // checksum) changed, and that chunk's CRC made to fit the change or left as it was.
    Bytes withStreamChecksumChanged(Bytes file, bool crcFitted)
    {
        for (size_t at = 8; at + 12 <= file.size();)
        {
            const size_t length = (size_t)file[at] << 24 | (size_t)file[at + 1] << 16 |
                                  (size_t)file[at + 2] << 8 | (size_t)file[at + 3];
            if (std::string(file.begin() + at + 4, file.begin() + at + 8) == "IDAT")
            {
                file[at + 8 + length - 1] ^= 0x5A;
                if (crcFitted)
                {
                    const unsigned int crc = quortypes::crc32(&file[at + 4], (int)length + 4);
                    for (int i = 0; i < 4; ++i)
                    {
                        file[at + 8 + length + i] = (unsigned char)(crc >> (24 - 8 * i));
                    }
                }
                return file;
            }
            at += length + 12;
        }
        ADD_FAILURE() << "no IDAT chunk";
        return file;
    }
} // namespace

// Every chunk's CRC decides whether a picture is damaged: a stream whose own checksum disagrees with data
// its chunk's CRC vouches for gives the picture, and any change the CRC does not vouch for none.
TEST(CorruptImages, ChunkChecksumsDecideOverTheCompressedStreamsOwn)
{
    const Bytes file = writePng({12, 9, PNG_COLOR_TYPE_RGB_ALPHA});
    const std::unique_ptr<Image> sound = decode(decodePng, file);
    ASSERT_NE(nullptr, sound);
    const std::unique_ptr<Image> vouched = decode(decodePng, withStreamChecksumChanged(file, true));
    ASSERT_NE(nullptr, vouched);
    EXPECT_EQ(imageBytes(sound.get()), imageBytes(vouched.get()));
    EXPECT_EQ(nullptr, decode(decodePng, withStreamChecksumChanged(file, false)));
}

TEST(CorruptImages, TruncatedAndFlippedFilesGiveNullOrAWholePicture)
{
    const std::pair<Decoder, Bytes> samples[] = {
        {decodePng, writePng({12, 9, PNG_COLOR_TYPE_RGB_ALPHA})},
        {decodePng, writePng({12, 9, PNG_COLOR_TYPE_PALETTE, 4, true, true})},
        {decodeJpeg, writeJpeg(12, 9)},
        {decodeJpeg, writeJpeg(12, 9, JCS_YCbCr, true)},
        {decodeJpt, makeJpt(writeJpeg(12, 9), writePng({12, 9, PNG_COLOR_TYPE_GRAY}))},
    };
    for (size_t s = 0; s < std::size(samples); ++s)
    {
        SCOPED_TRACE(s);
        const auto& [decoder, file] = samples[s];
        ASSERT_NE(nullptr, decode(decoder, file));
        for (size_t size = 0; size < file.size(); size += 7)
        {
            EXPECT_EQ(nullptr, decode(decoder, Bytes(file.begin(), file.begin() + size)))
                << "cut at " << size;
        }
        EXPECT_EQ(nullptr, decode(decoder, Bytes(file.begin(), file.end() - 1)));
        // PNG chunks carry checksums, JPEG data does not: a flip in its entropy-coded part may give
        // other pixels, but then a whole picture of the declared size.
        int refused = 0;
        for (size_t i = 0; i < file.size(); ++i)
        {
            for (unsigned char mask : {0x01, 0x80, 0xFF})
            {
                Bytes damaged = file;
                damaged[i] ^= mask;
                std::unique_ptr<Image> image = decode(decoder, damaged);
                refused += (image == nullptr);
                if (image != nullptr) // copying every byte lets the sanitizer check the buffer's size
                {
                    ASSERT_GT(imageBytes(image.get()).size(), 0u);
                }
            }
        }
        EXPECT_GT(refused, 0);
    }
}
