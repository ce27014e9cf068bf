#pragma once

// Writers and reference readers that call libpng and libjpeg directly, so that the tests compare
// the decoders against the libraries rather than against numbers made by hand.

#include <setjmp.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <tesra/Image.h>

namespace imagetest
{
    typedef std::vector<unsigned char> Bytes;

    struct PngParams
    {
        int width = 5;
        int height = 4;
        int colorType = PNG_COLOR_TYPE_RGB;
        int bitDepth = 8;
        bool interlaced = false;
        int paletteSize = 0;      // palette images: entries used
        int transparentCount = 0; // palette images: tRNS entries
        bool colorKey = false;    // grey and RGB images: a tRNS colour
    };

    inline int channelsOf(int colorType)
    {
        switch (colorType)
        {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE:
            return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        default:
            return 4;
        }
    }

    // A sample value that varies with the position and channel and fits the bit depth.
    inline unsigned sampleAt(const PngParams& params, int x, int y, int c)
    {
        unsigned limit =
            (params.colorType == PNG_COLOR_TYPE_PALETTE ? params.paletteSize : (1u << params.bitDepth));
        return (x * 37u + y * 101u + c * 53u + (unsigned)(x * y) * 7u) % limit;
    }

    inline void appendBytes(png_structp png, png_bytep data, png_size_t size)
    {
        Bytes* out = (Bytes*)png_get_io_ptr(png);
        out->insert(out->end(), data, data + size);
    }

    inline void flushNothing(png_structp) {}

    inline Bytes writePng(const PngParams& params)
    {
        Bytes out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png)))
        {
            png_destroy_write_struct(&png, &info);
            return Bytes();
        }
        png_set_write_fn(png, &out, appendBytes, flushNothing);
        png_set_IHDR(png, info, params.width, params.height, params.bitDepth, params.colorType,
                     params.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        if (params.colorType == PNG_COLOR_TYPE_PALETTE)
        {
            std::vector<png_color> palette(params.paletteSize);
            for (int i = 0; i < params.paletteSize; ++i)
            {
                palette[i].red = (png_byte)(i * 40 + 3);
                palette[i].green = (png_byte)(255 - i * 30);
                palette[i].blue = (png_byte)(i * 91);
            }
            png_set_PLTE(png, info, palette.data(), params.paletteSize);
            if (params.transparentCount > 0)
            {
                std::vector<png_byte> alpha(params.transparentCount);
                for (int i = 0; i < params.transparentCount; ++i)
                {
                    alpha[i] = (png_byte)(i * 60);
                }
                png_set_tRNS(png, info, alpha.data(), params.transparentCount, NULL);
            }
        }
        else if (params.colorKey)
        {
            // The colour of pixel (1, 0), so that some pixels are transparent.
            png_color_16 key = {};
            key.gray = (png_uint_16)sampleAt(params, 1, 0, 0);
            key.red = (png_uint_16)sampleAt(params, 1, 0, 0);
            key.green = (png_uint_16)sampleAt(params, 1, 0, 1);
            key.blue = (png_uint_16)sampleAt(params, 1, 0, 2);
            png_set_tRNS(png, info, NULL, 0, &key);
        }
        png_write_info(png, info);
        int channels = channelsOf(params.colorType);
        size_t rowBytes = ((size_t)params.width * channels * params.bitDepth + 7) / 8;
        std::vector<Bytes> rows(params.height, Bytes(rowBytes, 0));
        std::vector<png_bytep> pointers(params.height);
        for (int y = 0; y < params.height; ++y)
        {
            for (int x = 0; x < params.width; ++x)
            {
                for (int c = 0; c < channels; ++c)
                {
                    unsigned value = sampleAt(params, x, y, c);
                    size_t bit = ((size_t)x * channels + c) * params.bitDepth;
                    if (params.bitDepth == 16)
                    {
                        rows[y][bit / 8] = (unsigned char)(value >> 8);
                        rows[y][bit / 8 + 1] = (unsigned char)value;
                    }
                    else
                    {
                        rows[y][bit / 8] |= (unsigned char)(value << (8 - params.bitDepth - bit % 8));
                    }
                }
            }
            pointers[y] = rows[y].data();
        }
        png_write_image(png, pointers.data());
        png_write_end(png, NULL);
        png_destroy_write_struct(&png, &info);
        return out;
    }

    // The same file with other dimensions in its header (and a matching checksum).
    inline Bytes withPngSize(Bytes file, unsigned width, unsigned height)
    {
        // Signature (8), chunk length (4), "IHDR" (4), width, height, 5 more bytes, CRC.
        unsigned char* ihdr = file.data() + 12;
        for (int i = 0; i < 4; ++i)
        {
            ihdr[4 + i] = (unsigned char)(width >> (24 - 8 * i));
            ihdr[8 + i] = (unsigned char)(height >> (24 - 8 * i));
        }
        unsigned long crc = crc32(0, ihdr, 17);
        for (int i = 0; i < 4; ++i)
        {
            ihdr[17 + i] = (unsigned char)(crc >> (24 - 8 * i));
        }
        return file;
    }

    struct Pixels
    {
        int width = 0;
        int height = 0;
        int channels = 0;
        Bytes data;
    };

    struct ReadSource
    {
        const Bytes* bytes;
        size_t position;
    };

    inline void readBytes(png_structp png, png_bytep data, png_size_t size)
    {
        ReadSource* source = (ReadSource*)png_get_io_ptr(png);
        if (source->position + size > source->bytes->size())
        {
            png_error(png, "short");
        }
        memcpy(data, source->bytes->data() + source->position, size);
        source->position += size;
    }

    // libpng's own expansion of every colour type to 8-bit samples: palette to RGB, low-bit grey to
    // 8 bits, tRNS to an alpha channel, 16-bit samples to their high byte.
    inline Pixels referencePng(const Bytes& bytes)
    {
        Pixels result;
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
        png_infop info = png_create_info_struct(png);
        ReadSource source = {&bytes, 0};
        if (setjmp(png_jmpbuf(png)))
        {
            png_destroy_read_struct(&png, &info, NULL);
            return Pixels();
        }
        png_set_read_fn(png, &source, readBytes);
        png_read_info(png, info);
        png_set_expand(png);
        png_set_strip_16(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        result.width = png_get_image_width(png, info);
        result.height = png_get_image_height(png, info);
        result.channels = png_get_channels(png, info);
        size_t rowBytes = png_get_rowbytes(png, info);
        result.data.resize(rowBytes * result.height);
        std::vector<png_bytep> rows(result.height);
        for (int y = 0; y < result.height; ++y)
        {
            rows[y] = result.data.data() + rowBytes * y;
        }
        png_read_image(png, rows.data());
        png_read_end(png, NULL);
        png_destroy_read_struct(&png, &info, NULL);
        return result;
    }

    struct JpegFailure
    {
        jpeg_error_mgr manager;
        jmp_buf jump;
    };

    inline void jumpOut(j_common_ptr info)
    {
        longjmp(((JpegFailure*)info->err)->jump, 1);
    }

    enum class JpegKind
    {
        Baseline,
        Progressive,
        Grey,
        Cmyk,
        Ycck
    };

    inline Bytes writeJpeg(int width, int height, JpegKind kind, int quality = 90)
    {
        jpeg_compress_struct info;
        JpegFailure failure;
        info.err = jpeg_std_error(&failure.manager);
        failure.manager.error_exit = jumpOut;
        unsigned char* buffer = NULL;
        unsigned long size = 0;
        if (setjmp(failure.jump))
        {
            jpeg_destroy_compress(&info);
            free(buffer);
            return Bytes();
        }
        jpeg_create_compress(&info);
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = width;
        info.image_height = height;
        switch (kind)
        {
        case JpegKind::Grey:
            info.input_components = 1;
            info.in_color_space = JCS_GRAYSCALE;
            break;
        case JpegKind::Cmyk:
        case JpegKind::Ycck:
            info.input_components = 4;
            info.in_color_space = JCS_CMYK;
            break;
        default:
            info.input_components = 3;
            info.in_color_space = JCS_RGB;
            break;
        }
        jpeg_set_defaults(&info);
        if (kind == JpegKind::Ycck)
        {
            jpeg_set_colorspace(&info, JCS_YCCK);
        }
        jpeg_set_quality(&info, quality, TRUE);
        if (kind == JpegKind::Progressive)
        {
            jpeg_simple_progression(&info);
        }
        jpeg_start_compress(&info, TRUE);
        Bytes row((size_t)width * info.input_components);
        while (info.next_scanline < info.image_height)
        {
            int y = info.next_scanline;
            for (int x = 0; x < width; ++x)
            {
                for (int c = 0; c < info.input_components; ++c)
                {
                    // Smooth gradients with some detail, like a picture.
                    row[x * info.input_components + c] =
                        (unsigned char)((x * 255 / width + y * (c + 1) * 3 + c * 60 + (x ^ y) % 16) & 0xFF);
                }
            }
            JSAMPROW pointer = row.data();
            jpeg_write_scanlines(&info, &pointer, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        Bytes out(buffer, buffer + size);
        free(buffer);
        return out;
    }

    // libjpeg's decode in the requested output colour space (JCS_UNKNOWN keeps its default).
    inline Pixels referenceJpeg(const Bytes& bytes, J_COLOR_SPACE space)
    {
        Pixels result;
        jpeg_decompress_struct info;
        JpegFailure failure;
        info.err = jpeg_std_error(&failure.manager);
        failure.manager.error_exit = jumpOut;
        if (setjmp(failure.jump))
        {
            jpeg_destroy_decompress(&info);
            return Pixels();
        }
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), bytes.size());
        jpeg_read_header(&info, TRUE);
        if (space != JCS_UNKNOWN)
        {
            info.out_color_space = space;
        }
        jpeg_start_decompress(&info);
        result.width = info.output_width;
        result.height = info.output_height;
        result.channels = info.output_components;
        size_t rowBytes = (size_t)result.width * result.channels;
        result.data.resize(rowBytes * result.height);
        while (info.output_scanline < info.output_height)
        {
            JSAMPROW row = result.data.data() + rowBytes * info.output_scanline;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        return result;
    }

    inline void appendLength(Bytes& out, size_t length)
    {
        for (int i = 0; i < 4; ++i)
        {
            out.push_back((unsigned char)(length >> (8 * i)));
        }
    }

    inline Bytes makeJpt(const Bytes& jpeg, const Bytes& png)
    {
        Bytes out = {'J', 'P', 'T', '1'};
        appendLength(out, jpeg.size());
        out.insert(out.end(), jpeg.begin(), jpeg.end());
        appendLength(out, png.size());
        out.insert(out.end(), png.begin(), png.end());
        return out;
    }

    inline Bytes imageBytes(const tesra::Image* image)
    {
        size_t size = (size_t)image->width * image->height * tesra::Image::getFormatBpp(image->format);
        return Bytes(image->data, image->data + size);
    }
} // namespace imagetest
