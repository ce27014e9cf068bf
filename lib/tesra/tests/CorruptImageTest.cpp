#include <memory>

#include <gtest/gtest.h>

#include "ImageDecoders.h"
#include "ImageSupport.h"

using namespace imagetest;
using tesra::Image;

namespace
{
    typedef Image* (*Decoder)(const unsigned char*, size_t);

    struct Sample
    {
        const char* name;
        Decoder decoder;
        Bytes file;
    };

    std::vector<Sample> samples()
    {
        return {
            {"png", tesra::decoders::decodePng, writePng({12, 9, PNG_COLOR_TYPE_RGB_ALPHA})},
            {"interlaced png", tesra::decoders::decodePng,
             writePng({12, 9, PNG_COLOR_TYPE_PALETTE, 4, true, 11, 3})},
            {"jpeg", tesra::decoders::decodeJpeg, writeJpeg(12, 9, JpegKind::Baseline)},
            {"progressive jpeg", tesra::decoders::decodeJpeg, writeJpeg(12, 9, JpegKind::Progressive)},
            {"jpt", tesra::decoders::decodeJpt,
             makeJpt(writeJpeg(12, 9, JpegKind::Baseline), writePng({12, 9, PNG_COLOR_TYPE_GRAY}))},
        };
    }

    // Decodes a copy that holds exactly `size` bytes, so that the sanitizer sees any read past it.
    std::unique_ptr<Image> decodeExact(Decoder decoder, const Bytes& bytes, size_t size)
    {
        std::unique_ptr<unsigned char[]> copy(new unsigned char[size > 0 ? size : 1]);
        memcpy(copy.get(), bytes.data(), size);
        return std::unique_ptr<Image>(decoder(copy.get(), size));
    }
} // namespace

TEST(CorruptImages, TruncatedFilesGiveNull)
{
    for (const Sample& sample : samples())
    {
        ASSERT_FALSE(sample.file.empty());
        ASSERT_NE(nullptr, decodeExact(sample.decoder, sample.file, sample.file.size())) << sample.name;
        for (size_t size = 0; size < sample.file.size(); size += 7)
        {
            EXPECT_EQ(nullptr, decodeExact(sample.decoder, sample.file, size))
                << sample.name << " cut at " << size;
        }
        // The very last byte matters too.
        EXPECT_EQ(nullptr, decodeExact(sample.decoder, sample.file, sample.file.size() - 1)) << sample.name;
    }
}

TEST(CorruptImages, FlippedBytesNeverGiveABrokenImage)
{
    // PNG chunks carry checksums, so a flip in pixel data is always caught. JPEG data has no
    // checksum: a flip in its entropy-coded part may decode to other pixels, but the picture must
    // then still be whole and of the declared size.
    for (const Sample& sample : samples())
    {
        std::unique_ptr<Image> original = decodeExact(sample.decoder, sample.file, sample.file.size());
        ASSERT_NE(nullptr, original);
        int refused = 0;
        for (size_t i = 0; i < sample.file.size(); ++i)
        {
            for (unsigned char mask : {0x01, 0x80, 0xFF})
            {
                Bytes damaged = sample.file;
                damaged[i] ^= mask;
                std::unique_ptr<Image> image = decodeExact(sample.decoder, damaged, damaged.size());
                if (image == nullptr)
                {
                    ++refused;
                    continue;
                }
                // Whatever comes back is a complete picture in a format of its own bpp.
                ASSERT_NE(nullptr, image->data) << sample.name << " byte " << i;
                ASSERT_GT(Image::getFormatBpp(image->format), 0);
                ASSERT_LE((size_t)image->width * image->height, (size_t)1 << 24);
                volatile unsigned sum = 0;
                for (unsigned char byte : imageBytes(image.get()))
                {
                    sum = sum + byte;
                }
            }
        }
        EXPECT_GT(refused, 0) << sample.name;
    }
}

TEST(CorruptImages, PngFlipsInsideCriticalChunksAreRefused)
{
    Bytes file = writePng(PngParams()); // RGB
    // Everything but the ancillary chunks (none here) is covered by a checksum or the signature,
    // except the four length bytes of IEND, which the reader also checks.
    for (size_t i = 0; i < file.size(); ++i)
    {
        Bytes damaged = file;
        damaged[i] ^= 0x10;
        EXPECT_EQ(nullptr, decodeExact(tesra::decoders::decodePng, damaged, damaged.size())) << "byte " << i;
    }
}
