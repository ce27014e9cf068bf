#pragma once

// Writers and reference readers that call libpng and libjpeg directly, so that the tests compare
// the decoders with the libraries rather than with numbers made by hand. Library errors while
// writing or reading valid test files end the test program, which is what a test needs.

#include <cstdio>

#include <algorithm>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include <quortypes/Dir.h>
#include <tesra/Image.h>

namespace imagetest
{
    typedef std::vector<unsigned char> Bytes;
    typedef tesra::Image* (*Decoder)(const unsigned char*, size_t);

    struct PngParams
    {
        int width = 5, height = 4, colorType = PNG_COLOR_TYPE_RGB, bitDepth = 8;
        bool interlaced = false;
        bool transparency = false; // tRNS: alpha for all palette entries but the last, or a colour key
    };

    struct Pixels
    {
        int channels;
        Bytes data;
    };

    // The bytes as a file in the folder (made if missing), its path returned for the loaders.
    inline hstring saveFile(const hstring& folder, const hstring& name, const Bytes& bytes)
    {
        quortypes::Dir::create(folder);
        FILE* file = fopen((folder + "/" + name).c_str(), "wb");
        fwrite(bytes.empty() ? "" : (const char*)bytes.data(), 1, bytes.size(), file);
        fclose(file);
        return folder + "/" + name;
    }

    // A sample that varies with position and channel and fits the bit depth (or the palette).
    inline unsigned sampleAt(const PngParams& p, int x, int y, int c)
    {
        unsigned limit = std::min(1u << p.bitDepth, p.colorType == PNG_COLOR_TYPE_PALETTE ? 11u : 65536u);
        return (x * 37u + y * 101u + c * 53u + (unsigned)(x * y) * 7u) % limit;
    }

    inline Bytes writePng(const PngParams& p)
    {
        char* buffer = nullptr;
        size_t size = 0;
        FILE* file = open_memstream(&buffer, &size);
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, file);
        png_set_IHDR(png, info, p.width, p.height, p.bitDepth, p.colorType,
                     p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        int entries = (p.colorType == PNG_COLOR_TYPE_PALETTE ? std::min(1 << p.bitDepth, 11) : 0);
        std::vector<png_color> palette(entries);
        Bytes alpha(entries);
        for (int i = 0; i < entries; ++i)
        {
            palette[i] = {(png_byte)(i * 40 + 3), (png_byte)(255 - i * 30), (png_byte)(i * 91)};
            alpha[i] = (png_byte)(i * 60);
        }
        // The colour key is the colour of pixel (1, 0), so that some pixels are transparent.
        png_color_16 key = {0, (png_uint_16)sampleAt(p, 1, 0, 0), (png_uint_16)sampleAt(p, 1, 0, 1),
                            (png_uint_16)sampleAt(p, 1, 0, 2), (png_uint_16)sampleAt(p, 1, 0, 0)};
        if (entries > 0)
        {
            png_set_PLTE(png, info, palette.data(), entries);
        }
        if (p.transparency)
        {
            png_set_tRNS(png, info, alpha.data(), std::max(entries - 1, 0), entries > 0 ? nullptr : &key);
        }
        int channels = png_get_channels(png, info);
        size_t rowBytes = ((size_t)p.width * channels * p.bitDepth + 7) / 8;
        Bytes pixels(rowBytes * p.height, 0);
        std::vector<png_bytep> rows;
        for (int y = 0; y < p.height; ++y)
        {
            rows.push_back(pixels.data() + rowBytes * y);
            for (size_t bit = 0; bit < (size_t)p.width * channels * p.bitDepth; ++bit)
            {
                int i = (int)(bit / p.bitDepth), shift = p.bitDepth - 1 - (int)(bit % p.bitDepth);
                rows[y][bit / 8] |= ((sampleAt(p, i / channels, y, i % channels) >> shift) & 1)
                                    << (7 - bit % 8);
            }
        }
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
        png_destroy_write_struct(&png, &info);
        fclose(file);
        Bytes out(buffer, buffer + size);
        free(buffer);
        return out;
    }

    // libpng's expansion to 8-bit samples (palette to RGB, tRNS to alpha), plus `transforms`.
    inline Pixels referencePng(const Bytes& bytes, int transforms = 0)
    {
        FILE* file = fmemopen((void*)bytes.data(), bytes.size(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, file);
        png_read_png(png, info, PNG_TRANSFORM_EXPAND | PNG_TRANSFORM_STRIP_16 | transforms, nullptr);
        Pixels out = {png_get_channels(png, info), Bytes()};
        png_bytepp rows = png_get_rows(png, info);
        for (png_uint_32 y = 0; y < png_get_image_height(png, info); ++y)
        {
            out.data.insert(out.data.end(), rows[y], rows[y] + png_get_rowbytes(png, info));
        }
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(file);
        return out;
    }

    // `space` is the file's own colour space: YCbCr (from RGB), GRAYSCALE, CMYK or YCCK.
    inline Bytes writeJpeg(int width, int height, J_COLOR_SPACE space = JCS_YCbCr, bool progressive = false)
    {
        jpeg_compress_struct info;
        jpeg_error_mgr error;
        info.err = jpeg_std_error(&error);
        jpeg_create_compress(&info);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = width;
        info.image_height = height;
        info.input_components = (space == JCS_GRAYSCALE ? 1 : (space == JCS_YCbCr ? 3 : 4));
        info.in_color_space =
            (space == JCS_GRAYSCALE ? JCS_GRAYSCALE : (space == JCS_YCbCr ? JCS_RGB : JCS_CMYK));
        jpeg_set_defaults(&info);
        jpeg_set_colorspace(&info, space);
        if (progressive)
        {
            jpeg_simple_progression(&info);
        }
        jpeg_start_compress(&info, TRUE);
        Bytes row((size_t)width * info.input_components);
        for (int y = 0; y < height; ++y)
        {
            // Smooth gradients with some detail, like a picture.
            for (size_t i = 0; i < row.size(); ++i)
            {
                int x = (int)i / info.input_components, c = (int)i % info.input_components;
                row[i] = (unsigned char)(x * 255 / width + y * (c + 1) * 3 + c * 60 + (x ^ y) % 16);
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

    inline Pixels referenceJpeg(const Bytes& bytes)
    {
        jpeg_decompress_struct info;
        jpeg_error_mgr error;
        info.err = jpeg_std_error(&error);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, bytes.data(), bytes.size());
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        size_t rowBytes = (size_t)info.output_width * info.output_components;
        Pixels out = {info.output_components, Bytes(rowBytes * info.output_height)};
        while (info.output_scanline < info.output_height)
        {
            JSAMPROW row = out.data.data() + rowBytes * info.output_scanline;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        return out;
    }

    inline Bytes makeJpt(const Bytes& jpeg, const Bytes& png)
    {
        Bytes out = {'J', 'P', 'T', '1'};
        for (const Bytes* block : {&jpeg, &png})
        {
            for (int i = 0; i < 4; ++i)
            {
                out.push_back((unsigned char)(block->size() >> (8 * i)));
            }
            out.insert(out.end(), block->begin(), block->end());
        }
        return out;
    }

    // Decodes from the vector's own buffer; copies of a vector hold exactly their bytes, so the
    // sanitizer sees any read past the end.
    inline std::unique_ptr<tesra::Image> decode(Decoder decoder, const Bytes& bytes)
    {
        return std::unique_ptr<tesra::Image>(decoder(bytes.data(), bytes.size()));
    }

    inline Bytes imageBytes(const tesra::Image* image)
    {
        size_t size = (size_t)image->width * image->height * tesra::Image::getFormatBpp(image->format);
        return Bytes(image->data.get(), image->data.get() + size);
    }
} // namespace imagetest
