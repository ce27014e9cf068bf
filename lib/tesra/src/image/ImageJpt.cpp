#include <memory>
#include <utility>

#include "ImageDecoders.h"

namespace tesra
{
    namespace decoders
    {
        namespace
        {
            bool readLength(const unsigned char* data, size_t size, size_t& position, size_t& length)
            {
                if (size - position < 4)
                {
                    return false;
                }
                const unsigned char* p = data + position;
                length = (size_t)p[0] | ((size_t)p[1] << 8) | ((size_t)p[2] << 16) | ((size_t)p[3] << 24);
                position += 4;
                return (length <= size - position);
            }
        } // namespace

        // Layout: 4 bytes not read, then a JPEG and a PNG block, each preceded by its length
        // (32-bit little-endian). The JPEG is the colour, the PNG one 8-bit channel of alpha.
        Image* decodeJpt(const unsigned char* data, size_t size)
        {
            size_t position = 4;
            size_t jpegLength = 0;
            if (data == nullptr || size < position || !readLength(data, size, position, jpegLength))
            {
                fail("JPT: the colour picture's length passes the end of the data");
                return nullptr;
            }
            std::unique_ptr<Image> color(decodeJpeg(data + position, jpegLength));
            if (color == nullptr)
            {
                fail("JPT colour picture: " + lastFailure());
                return nullptr;
            }
            position += jpegLength;
            size_t pngLength = 0;
            if (!readLength(data, size, position, pngLength))
            {
                fail("JPT: the alpha mask's length passes the end of the data");
                return nullptr;
            }
            std::unique_ptr<Image> mask(decodePng(data + position, pngLength));
            if (mask == nullptr)
            {
                fail("JPT alpha mask: " + lastFailure());
                return nullptr;
            }
            if (mask->width != color->width || mask->height != color->height ||
                !sizeAllowed(color->width, color->height, 4))
            {
                fail(formatString("JPT: the alpha mask is %d x %d pixels, the colour picture %d x %d",
                                  mask->width, mask->height, color->width, color->height));
                return nullptr;
            }
            if (mask->format != Image::FORMAT_ALPHA)
            {
                // A mask saved with colour channels: its grey level is taken, as for any conversion to
                // one byte.
                std::unique_ptr<unsigned char[]> alpha = convertedPixels(*mask, Image::FORMAT_ALPHA);
                if (alpha == nullptr)
                {
                    fail("JPT: the alpha mask cannot be converted to one channel");
                    return nullptr;
                }
                mask->data = std::move(alpha);
                mask->format = Image::FORMAT_ALPHA;
            }
            size_t count = (size_t)color->width * (size_t)color->height;
            std::unique_ptr<Image> image(new Image());
            image->width = color->width;
            image->height = color->height;
            image->format = Image::FORMAT_RGBA;
            image->data.reset(new unsigned char[count * 4]);
            const unsigned char* rgb = color->data.get();
            const unsigned char* alpha = mask->data.get();
            unsigned char* out = image->data.get();
            for (size_t i = 0; i < count; ++i, rgb += 3, out += 4)
            {
                out[0] = rgb[0];
                out[1] = rgb[1];
                out[2] = rgb[2];
                out[3] = alpha[i];
            }
            return image.release();
        }
    } // namespace decoders
} // namespace tesra
