#include <cstddef>
#include <cstdint>
#include <memory>

#include "image/ImageDecoders.h"

// The first byte picks the decoder so that one corpus serves all three.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
    {
        return 0;
    }
    std::unique_ptr<tesra::Image> image;
    switch (data[0] % 3)
    {
    case 0:
        image.reset(tesra::decoders::decodePng(data + 1, size - 1));
        break;
    case 1:
        image.reset(tesra::decoders::decodeJpeg(data + 1, size - 1));
        break;
    default:
        image.reset(tesra::decoders::decodeJpt(data + 1, size - 1));
        break;
    }
    if (image != nullptr)
    {
        // Touch every byte so that a buffer smaller than its size claims shows up.
        size_t bytes = (size_t)image->width * image->height * tesra::Image::getFormatBpp(image->format);
        volatile unsigned char sum = 0;
        for (size_t i = 0; i < bytes; ++i)
        {
            sum = sum + image->data[i];
        }
    }
    return 0;
}
