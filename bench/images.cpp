// Image decoding through tesra::Image beside libpng and libjpeg called directly on the same bytes
// (interleaved in one run), and pixel-format conversion beside memcpy of the same number of bytes.

#include <csetjmp>
#include <cstring>

#include <algorithm>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>

#include "Compare.h"
#include "image/ImageDecoders.h"

namespace
{
    typedef std::vector<unsigned char> Bytes;
    const int SIDE = 2048;

    // Something like a picture: smooth gradients with fine detail, so both codecs work for real.
    Bytes makePixels(int channels)
    {
        Bytes pixels((size_t)SIDE * SIDE * channels);
        unsigned seed = 12345;
        for (int y = 0; y < SIDE; ++y)
        {
            for (int x = 0; x < SIDE; ++x)
            {
                seed = seed * 1103515245u + 12345u;
                unsigned noise = (seed >> 16) & 7;
                for (int c = 0; c < channels; ++c)
                {
                    pixels[((size_t)y * SIDE + x) * channels + c] =
                        (unsigned char)((x / 8 + y / (c + 4) + c * 70 + noise) & 0xFF);
                }
            }
        }
        return pixels;
    }

    void append(png_structp png, png_bytep data, png_size_t size)
    {
        Bytes* out = (Bytes*)png_get_io_ptr(png);
        out->insert(out->end(), data, data + size);
    }

    Bytes encodePng()
    {
        Bytes pixels = makePixels(4);
        Bytes out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png)))
        {
            abort();
        }
        png_set_write_fn(png, &out, append, nullptr);
        png_set_IHDR(png, info, SIDE, SIDE, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < SIDE; ++y)
        {
            png_write_row(png, pixels.data() + (size_t)y * SIDE * 4);
        }
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        return out;
    }

    Bytes encodeJpeg()
    {
        Bytes pixels = makePixels(3);
        jpeg_compress_struct info;
        jpeg_error_mgr error;
        info.err = jpeg_std_error(&error);
        jpeg_create_compress(&info);
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&info, &buffer, &size);
        info.image_width = SIDE;
        info.image_height = SIDE;
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height)
        {
            JSAMPROW row = pixels.data() + (size_t)info.next_scanline * SIDE * 3;
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        jpeg_destroy_compress(&info);
        Bytes out(buffer, buffer + size);
        free(buffer);
        return out;
    }

    const Bytes& pngFile()
    {
        static Bytes file = encodePng();
        return file;
    }

    const Bytes& jpegFile()
    {
        static Bytes file = encodeJpeg();
        return file;
    }

    struct Source
    {
        const Bytes* bytes;
        size_t position;
    };

    void readFromMemory(png_structp png, png_bytep data, png_size_t size)
    {
        Source* source = (Source*)png_get_io_ptr(png);
        memcpy(data, source->bytes->data() + source->position, size);
        source->position += size;
    }

    // The plain libpng decode of an 8-bit RGBA file into one buffer.
    void directPng(const Bytes& file, unsigned char* pixels)
    {
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        if (setjmp(png_jmpbuf(png)))
        {
            abort();
        }
        Source source = {&file, 0};
        png_set_read_fn(png, &source, readFromMemory);
        png_read_info(png, info);
        png_read_update_info(png, info);
        size_t rowBytes = png_get_rowbytes(png, info);
        std::vector<png_bytep> rows(SIDE);
        for (int y = 0; y < SIDE; ++y)
        {
            rows[y] = pixels + rowBytes * y;
        }
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
    }

    // Sixteen rows per call, as the decoder reads them.
    void directJpeg(const Bytes& file, unsigned char* pixels)
    {
        jpeg_decompress_struct info;
        jpeg_error_mgr error;
        info.err = jpeg_std_error(&error);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, file.data(), file.size());
        jpeg_read_header(&info, TRUE);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        JSAMPROW rows[16];
        while (info.output_scanline < info.output_height)
        {
            JDIMENSION count = std::min<JDIMENSION>(16, info.output_height - info.output_scanline);
            for (JDIMENSION i = 0; i < count; ++i)
            {
                rows[i] = pixels + (size_t)(info.output_scanline + i) * SIDE * 3;
            }
            jpeg_read_scanlines(&info, rows, count);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
    }

    // Both sides allocate the picture per decode without clearing it, as the decoder does.
    void BM_PngBesideLibpng(benchmark::State& state)
    {
        const Bytes& file = pngFile();
        benchcompare::compare(
            state,
            {[&]
             {
                 std::unique_ptr<tesra::Image> image(tesra::decoders::decodePng(file.data(), file.size()));
                 benchmark::DoNotOptimize(image->data);
             }},
            {[&]
             {
                 std::unique_ptr<unsigned char[]> pixels(new unsigned char[(size_t)SIDE * SIDE * 4]);
                 directPng(file, pixels.get());
                 benchmark::DoNotOptimize(pixels.get());
             }});
    }

    void BM_JpegBesideLibjpeg(benchmark::State& state)
    {
        const Bytes& file = jpegFile();
        benchcompare::compare(
            state,
            {[&]
             {
                 std::unique_ptr<tesra::Image> image(tesra::decoders::decodeJpeg(file.data(), file.size()));
                 benchmark::DoNotOptimize(image->data);
             }},
            {[&]
             {
                 std::unique_ptr<unsigned char[]> pixels(new unsigned char[(size_t)SIDE * SIDE * 3]);
                 directJpeg(file, pixels.get());
                 benchmark::DoNotOptimize(pixels.get());
             }});
    }

    // Destination buffers are written in place, as a texture upload does.
    void convertBenchmark(benchmark::State& state, tesra::Image::Format from, tesra::Image::Format to)
    {
        Bytes src = makePixels(tesra::Image::getFormatBpp(from));
        Bytes dst((size_t)SIDE * SIDE * tesra::Image::getFormatBpp(to));
        for (auto _ : state)
        {
            unsigned char* out = dst.data();
            tesra::Image::convert(SIDE, SIDE, src.data(), from, &out, to);
            benchmark::DoNotOptimize(out);
            benchmark::ClobberMemory();
        }
        state.SetBytesProcessed(state.iterations() * (int64_t)dst.size());
    }

    void BM_Memcpy(benchmark::State& state)
    {
        Bytes src = makePixels(4);
        Bytes dst(src.size());
        for (auto _ : state)
        {
            memcpy(dst.data(), src.data(), src.size());
            benchmark::DoNotOptimize(dst.data());
            benchmark::ClobberMemory();
        }
        state.SetBytesProcessed(state.iterations() * (int64_t)dst.size());
    }

    void BM_ConvertRgbaToBgra(benchmark::State& state)
    {
        convertBenchmark(state, tesra::Image::FORMAT_RGBA, tesra::Image::FORMAT_BGRA);
    }

    void BM_ConvertRgbaToRgba(benchmark::State& state)
    {
        convertBenchmark(state, tesra::Image::FORMAT_RGBA, tesra::Image::FORMAT_RGBA);
    }

    void BM_ConvertRgbxToArgb(benchmark::State& state)
    {
        convertBenchmark(state, tesra::Image::FORMAT_RGBX, tesra::Image::FORMAT_ARGB);
    }

    void BM_ConvertRgbToBgrx(benchmark::State& state)
    {
        convertBenchmark(state, tesra::Image::FORMAT_RGB, tesra::Image::FORMAT_BGRX);
    }

    void BM_ConvertAlphaToBgra(benchmark::State& state)
    {
        convertBenchmark(state, tesra::Image::FORMAT_ALPHA, tesra::Image::FORMAT_BGRA);
    }
} // namespace

BENCHMARK(BM_PngBesideLibpng)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegBesideLibjpeg)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertRgbaToRgba)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertRgbaToBgra)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertRgbxToArgb)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertRgbToBgrx)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConvertAlphaToBgra)->Unit(benchmark::kMicrosecond);
