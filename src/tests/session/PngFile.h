#pragma once

#include <zlib.h>

#include <fstream>
#include <string>

#include <tesra/Image.h>

namespace harness
{
    // An RGBA image encoded as PNG bytes (rows unfiltered).
    inline std::string pngBytes(int width, int height, const unsigned char* rgba)
    {
        std::string rows;
        for (int y = 0; y < height; ++y)
        {
            rows.push_back('\0');
            rows.append((const char*)rgba + y * width * 4, width * 4);
        }
        uLongf size = compressBound(rows.size());
        std::string packed(size, '\0');
        compress((Bytef*)packed.data(), &size, (const Bytef*)rows.data(), rows.size());
        packed.resize(size);
        auto u32 = [](unsigned v) {
            return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        };
        auto chunk = [&](const std::string& kind, const std::string& data)
        {
            const std::string body = kind + data;
            return u32(data.size()) + body + u32(crc32(0, (const Bytef*)body.data(), body.size()));
        };
        const std::string header = u32(width) + u32(height) + std::string("\x08\x06\x00\x00\x00", 5);
        return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", packed) +
               chunk("IEND", "");
    }

    // An RGBA image written as a PNG file, for pictures a person looks at.
    inline void writePng(const std::string& path, int width, int height, const unsigned char* rgba)
    {
        std::ofstream(path, std::ios::binary) << pngBytes(width, height, rgba);
    }

    inline void writePng(const std::string& path, const tesra::Image& image)
    {
        writePng(path, image.width, image.height, image.data.get());
    }

    // Half the size each way, each pixel the mean of four: small enough to keep beside the readme.
    inline void writeHalfSizePng(const std::string& path, const tesra::Image& image)
    {
        const int width = image.width / 2;
        const int height = image.height / 2;
        std::string half(width * height * 4, '\0');
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                for (int c = 0; c < 4; ++c)
                {
                    int sum = 0;
                    for (int dy = 0; dy < 2; ++dy)
                    {
                        for (int dx = 0; dx < 2; ++dx)
                        {
                            sum += image.data[((2 * y + dy) * image.width + 2 * x + dx) * 4 + c];
                        }
                    }
                    half[(y * width + x) * 4 + c] = (char)(sum / 4);
                }
            }
        }
        writePng(path, width, height, (const unsigned char*)half.data());
    }
} // namespace harness
