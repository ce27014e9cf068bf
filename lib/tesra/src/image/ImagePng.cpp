#include <csetjmp>
#include <cstring>

#include <memory>

#include <png.h>

#include "ImageDecoders.h"

namespace tesra
{
    namespace decoders
    {
        namespace
        {
            struct PngSource
            {
                const unsigned char* data;
                size_t size;
                size_t position;
            };

            void readPng(png_structp png, png_bytep buffer, png_size_t count)
            {
                PngSource* source = (PngSource*)png_get_io_ptr(png);
                if (count > source->size - source->position)
                {
                    png_error(png, "unexpected end of data");
                }
                memcpy(buffer, source->data + source->position, count);
                source->position += count;
            }

            void ignoreWarning(png_structp, png_const_charp) {}

            void pngError(png_structp png, png_const_charp message)
            {
                fail(hstring("PNG: ") + (message != nullptr ? message : "error"));
                png_longjmp(png, 1);
            }

            // Everything that setjmp may skip back over lives here, outside the function that calls
            // setjmp, so no local needs to be volatile.
            struct PngState
            {
                png_structp png = nullptr;
                png_infop info = nullptr;
                std::unique_ptr<Image> image;
                std::unique_ptr<png_bytep[]> rows;

                ~PngState() { png_destroy_read_struct(&png, &info, nullptr); }
            };

            bool readImage(PngState& state, PngSource& source)
            {
                if (setjmp(png_jmpbuf(state.png)))
                {
                    return false;
                }
                png_set_read_fn(state.png, &source, readPng);
                png_read_info(state.png, state.info);
                png_uint_32 width = png_get_image_width(state.png, state.info);
                png_uint_32 height = png_get_image_height(state.png, state.info);
                int colorType = png_get_color_type(state.png, state.info);
                int bitDepth = png_get_bit_depth(state.png, state.info);
                bool transparency = (png_get_valid(state.png, state.info, PNG_INFO_tRNS) != 0);
                if (colorType == PNG_COLOR_TYPE_PALETTE)
                {
                    png_set_palette_to_rgb(state.png);
                }
                if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
                {
                    png_set_expand_gray_1_2_4_to_8(state.png);
                }
                if (colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
                {
                    // Grey with alpha has always been read as its grey channel alone; data relies on it.
                    png_set_strip_alpha(state.png);
                }
                if (transparency)
                {
                    png_set_tRNS_to_alpha(state.png);
                    if (colorType == PNG_COLOR_TYPE_GRAY)
                    {
                        // Grey plus alpha has no format of its own: widen it to RGBA.
                        png_set_gray_to_rgb(state.png);
                    }
                }
                if (bitDepth == 16)
                {
                    png_set_strip_16(state.png);
                }
                png_set_interlace_handling(state.png);
                png_read_update_info(state.png, state.info);
                int channels = png_get_channels(state.png, state.info);
                size_t rowBytes = png_get_rowbytes(state.png, state.info);
                if (png_get_bit_depth(state.png, state.info) != 8 ||
                    (channels != 1 && channels != 3 && channels != 4) || rowBytes != (size_t)width * channels)
                {
                    return fail("PNG: unsupported pixel layout");
                }
                if (!sizeAllowed(width, height, channels))
                {
                    return fail(formatString("PNG: %u x %u pixels is past the size limit", (unsigned)width,
                                             (unsigned)height));
                }
                state.image.reset(new Image());
                state.image->width = (int)width;
                state.image->height = (int)height;
                state.image->format =
                    (channels == 1 ? Image::FORMAT_ALPHA
                                   : (channels == 3 ? Image::FORMAT_RGB : Image::FORMAT_RGBA));
                state.image->data.reset(new unsigned char[rowBytes * height]);
                state.rows.reset(new png_bytep[height]);
                for (png_uint_32 y = 0; y < height; ++y)
                {
                    state.rows[y] = state.image->data.get() + rowBytes * y;
                }
                png_read_image(state.png, state.rows.get());
                png_read_end(state.png, nullptr);
                return true;
            }
        } // namespace

        Image* decodePng(const unsigned char* data, size_t size)
        {
            if (data == nullptr || size < 8 || png_sig_cmp(data, 0, 8) != 0)
            {
                fail("PNG: no PNG signature");
                return nullptr;
            }
            PngState state;
            state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, ignoreWarning);
            if (state.png != nullptr)
            {
                state.info = png_create_info_struct(state.png);
            }
            if (state.info == nullptr)
            {
                fail("PNG: out of memory");
                return nullptr;
            }
#if defined(PNG_SET_OPTION_SUPPORTED) && defined(PNG_IGNORE_ADLER32)
            // Every chunk's CRC is still checked, so a damaged file still fails; the checksum the compressed
            // stream carries over the same bytes again took a fifth of a picture's decoding.
            png_set_option(state.png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
            PngSource source = {data, size, 0};
            if (!readImage(state, source))
            {
                return nullptr;
            }
            return state.image.release();
        }
    } // namespace decoders
} // namespace tesra
