#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <png.h>

// Builds cursor files in memory, byte by byte, for the decoder tests.
namespace cursor_builder
{

    using Bytes = std::vector<unsigned char>;

    inline void put16(Bytes& b, uint32_t v)
    {
        b.push_back(v & 0xFF);
        b.push_back((v >> 8) & 0xFF);
    }
    inline void put32(Bytes& b, uint32_t v)
    {
        put16(b, v & 0xFFFF);
        put16(b, v >> 16);
    }
    inline void putTag(Bytes& b, const char* tag)
    {
        b.insert(b.end(), tag, tag + 4);
    }

    inline void bitmapHeader(Bytes& b, int width, int height, int bits)
    {
        put32(b, 40);
        put32(b, width);
        put32(b, height * 2); // the colour rows and the mask rows
        put16(b, 1);
        put16(b, bits);
        for (int i = 0; i < 6; ++i)
        {
            put32(b, 0);
        }
    }

    // One bit a pixel, bottom row first, rows padded to four bytes.
    template <class Bit> void putBitRows(Bytes& b, int width, int height, Bit bit)
    {
        const int stride = ((width + 31) / 32) * 4;
        for (int y = height - 1; y >= 0; --y)
        {
            Bytes row(stride, 0);
            for (int x = 0; x < width; ++x)
            {
                if (bit(x, y))
                {
                    row[x / 8] |= 0x80 >> (x % 8);
                }
            }
            b.insert(b.end(), row.begin(), row.end());
        }
    }

    // pixel(x, y) gives 0xAARRGGBB with y counted from the top; masked(x, y) sets the AND bit.
    template <class Pixel, class Mask> Bytes bitmap32(int width, int height, Pixel pixel, Mask masked)
    {
        Bytes b;
        bitmapHeader(b, width, height, 32);
        for (int y = height - 1; y >= 0; --y)
        {
            for (int x = 0; x < width; ++x)
            {
                put32(b, pixel(x, y));
            }
        }
        putBitRows(b, width, height, masked);
        return b;
    }

    // A two-colour bitmap: palette black and white; white(x, y) picks the colour.
    template <class White, class Mask> Bytes bitmap1(int width, int height, White white, Mask masked)
    {
        Bytes b;
        bitmapHeader(b, width, height, 1);
        put32(b, 0x00000000);
        put32(b, 0x00FFFFFF);
        putBitRows(b, width, height, white);
        putBitRows(b, width, height, masked);
        return b;
    }

    inline Bytes png(int width, int height, uint32_t rgba)
    {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = width;
        image.height = height;
        image.format = PNG_FORMAT_RGBA;
        std::vector<unsigned char> pixels((size_t)width * height * 4);
        for (size_t i = 0; i < pixels.size(); i += 4)
        {
            pixels[i] = rgba >> 24;
            pixels[i + 1] = (rgba >> 16) & 0xFF;
            pixels[i + 2] = (rgba >> 8) & 0xFF;
            pixels[i + 3] = rgba & 0xFF;
        }
        png_alloc_size_t size = 0;
        png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
        Bytes result(size);
        png_image_write_to_memory(&image, result.data(), &size, 0, pixels.data(), 0, nullptr);
        result.resize(size);
        return result;
    }

    struct Entry
    {
        int width;
        int height;
        int hotspotX;
        int hotspotY;
        Bytes data;
    };

    inline Bytes container(const std::vector<Entry>& entries, int type = 2)
    {
        Bytes b;
        put16(b, 0);
        put16(b, type);
        put16(b, (uint32_t)entries.size());
        uint32_t offset = 6 + 16 * (uint32_t)entries.size();
        for (const Entry& e : entries)
        {
            b.push_back(e.width & 0xFF);
            b.push_back(e.height & 0xFF);
            b.push_back(0);
            b.push_back(0);
            put16(b, e.hotspotX);
            put16(b, e.hotspotY);
            put32(b, (uint32_t)e.data.size());
            put32(b, offset);
            offset += (uint32_t)e.data.size();
        }
        for (const Entry& e : entries)
        {
            b.insert(b.end(), e.data.begin(), e.data.end());
        }
        return b;
    }

    inline void chunk(Bytes& b, const char* tag, const Bytes& body)
    {
        putTag(b, tag);
        put32(b, (uint32_t)body.size());
        b.insert(b.end(), body.begin(), body.end());
        if (body.size() % 2 != 0)
        {
            b.push_back(0);
        }
    }

    inline Bytes animation(const std::vector<Bytes>& frames, const std::vector<int>& sequence,
                           const std::vector<int>& rates, int displayRate = 6)
    {
        Bytes header;
        put32(header, 36);
        put32(header, (uint32_t)frames.size());
        put32(header, (uint32_t)(sequence.empty() ? frames.size() : sequence.size()));
        for (int i = 0; i < 4; ++i)
        {
            put32(header, 0);
        }
        put32(header, displayRate);
        put32(header, sequence.empty() ? 1 : 3);
        Bytes list;
        putTag(list, "fram");
        for (const Bytes& frame : frames)
        {
            chunk(list, "icon", frame);
        }
        Bytes body;
        putTag(body, "ACON");
        chunk(body, "anih", header);
        for (const auto& [tag, values] : {std::make_pair("rate", rates), std::make_pair("seq ", sequence)})
        {
            if (!values.empty())
            {
                Bytes words;
                for (int value : values)
                {
                    put32(words, value);
                }
                chunk(body, tag, words);
            }
        }
        chunk(body, "LIST", list);
        Bytes file;
        putTag(file, "RIFF");
        put32(file, (uint32_t)body.size());
        file.insert(file.end(), body.begin(), body.end());
        return file;
    }

} // namespace cursor_builder
