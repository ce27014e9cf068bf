#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <png.h>

#include "CursorFile.h"

namespace tesra
{

    namespace
    {
        // Larger images are no cursors; the limit also bounds the memory a file can ask for.
        constexpr int maxSide = 1024;
        constexpr uint32_t maxFrames = 4096;
        constexpr uint32_t maxSteps = 65536;
        // All frames of one file together; small files can describe huge blank frames, so
        // the decoded size is checked before anything is allocated.
        constexpr size_t maxPixelBytes = (size_t)64 << 20;

        // Takes bytes from what is left of the file's pixel budget; false when they do not fit.
        bool takeBudget(size_t bytes, size_t& budget, std::string& error)
        {
            if (bytes > budget)
            {
                error = "decoded frames exceed " + std::to_string(maxPixelBytes >> 20) + " MiB";
                return false;
            }
            budget -= bytes;
            return true;
        }

        uint16_t u16(const unsigned char* p)
        {
            return (uint16_t)(p[0] | (p[1] << 8));
        }
        uint32_t u32(const unsigned char* p)
        {
            return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
        }
        int32_t i32(const unsigned char* p)
        {
            return (int32_t)u32(p);
        }

        bool decodePng(const unsigned char* data, size_t size, CursorImage& image, size_t& budget,
                       std::string& error)
        {
            png_image png;
            memset(&png, 0, sizeof(png));
            png.version = PNG_IMAGE_VERSION;
            if (!png_image_begin_read_from_memory(&png, data, size))
            {
                error = std::string("broken PNG image: ") + png.message;
                return false;
            }
            if (png.width == 0 || png.height == 0 || png.width > (png_uint_32)maxSide ||
                png.height > (png_uint_32)maxSide)
            {
                png_image_free(&png);
                error = "PNG image size out of range";
                return false;
            }
            png.format = PNG_FORMAT_RGBA;
            if (!takeBudget(PNG_IMAGE_SIZE(png), budget, error))
            {
                png_image_free(&png);
                return false;
            }
            image.width = (int)png.width;
            image.height = (int)png.height;
            image.pixels.assign(PNG_IMAGE_SIZE(png), 0);
            if (!png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr))
            {
                error = std::string("broken PNG image: ") + png.message;
                png_image_free(&png);
                return false;
            }
            return true;
        }

        bool decodeBitmap(const unsigned char* data, size_t size, CursorImage& image, size_t& budget,
                          std::string& error)
        {
            if (size < 40)
            {
                error = "truncated bitmap header";
                return false;
            }
            const uint32_t headerSize = u32(data);
            const int32_t width = i32(data + 4);
            const int32_t doubleHeight = i32(data + 8);
            const uint16_t bitCount = u16(data + 14);
            const uint32_t compression = u32(data + 16);
            uint32_t colorsUsed = u32(data + 32);
            if (headerSize < 40 || headerSize > size)
            {
                error = "bad bitmap header size";
                return false;
            }
            // The height counts the colour rows and the mask rows together.
            const int32_t height = doubleHeight / 2;
            if (width <= 0 || width > maxSide || height <= 0 || height > maxSide)
            {
                error = "bitmap size out of range";
                return false;
            }
            if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
            {
                error = "unsupported bit depth " + std::to_string(bitCount);
                return false;
            }
            size_t offset = headerSize;
            if (compression == 3 && bitCount == 32 && headerSize == 40)
            {
                offset += 12; // colour masks; the standard order is assumed
            }
            else if (compression != 0 && !(compression == 3 && bitCount == 32))
            {
                error = "unsupported bitmap compression";
                return false;
            }
            std::vector<uint32_t> palette;
            if (bitCount <= 8)
            {
                const uint32_t maxColors = 1u << bitCount;
                if (colorsUsed == 0 || colorsUsed > maxColors)
                {
                    colorsUsed = maxColors;
                }
                if (offset + (size_t)colorsUsed * 4 > size)
                {
                    error = "truncated palette";
                    return false;
                }
                for (uint32_t i = 0; i < colorsUsed; ++i)
                {
                    palette.push_back(u32(data + offset + i * 4));
                }
                offset += (size_t)colorsUsed * 4;
                palette.resize(maxColors, 0);
            }
            const size_t colorStride = (((size_t)width * bitCount + 31) / 32) * 4;
            const size_t maskStride = (((size_t)width + 31) / 32) * 4;
            const size_t colorBytes = colorStride * (size_t)height;
            if (offset + colorBytes > size)
            {
                error = "truncated bitmap data";
                return false;
            }
            const bool hasMask = offset + colorBytes + maskStride * (size_t)height <= size;
            if (!hasMask && bitCount != 32)
            {
                error = "truncated bitmap mask";
                return false;
            }
            if (!takeBudget((size_t)width * (size_t)height * 4, budget, error))
            {
                return false;
            }
            const unsigned char* colors = data + offset;
            const unsigned char* mask = data + offset + colorBytes;
            image.width = width;
            image.height = height;
            image.pixels.assign((size_t)width * (size_t)height * 4, 0);
            bool anyAlpha = false;
            for (int y = 0; y < height; ++y)
            {
                // Rows are stored bottom-up.
                const unsigned char* row = colors + (size_t)(height - 1 - y) * colorStride;
                const unsigned char* maskRow = mask + (size_t)(height - 1 - y) * maskStride;
                for (int x = 0; x < width; ++x)
                {
                    uint8_t r = 0, g = 0, b = 0, a = 255;
                    if (bitCount == 32)
                    {
                        b = row[x * 4];
                        g = row[x * 4 + 1];
                        r = row[x * 4 + 2];
                        a = row[x * 4 + 3];
                        anyAlpha = anyAlpha || a != 0;
                    }
                    else if (bitCount == 24)
                    {
                        b = row[x * 3];
                        g = row[x * 3 + 1];
                        r = row[x * 3 + 2];
                    }
                    else
                    {
                        const int perByte = 8 / bitCount;
                        const int shift = (perByte - 1 - x % perByte) * bitCount;
                        const int index = (row[x / perByte] >> shift) & ((1 << bitCount) - 1);
                        const uint32_t color = palette[index];
                        b = color & 0xFF;
                        g = (color >> 8) & 0xFF;
                        r = (color >> 16) & 0xFF;
                    }
                    unsigned char* out = &image.pixels[((size_t)y * width + x) * 4];
                    out[0] = r;
                    out[1] = g;
                    out[2] = b;
                    out[3] = a;
                    if (bitCount != 32 && hasMask && ((maskRow[x / 8] >> (7 - x % 8)) & 1) != 0)
                    {
                        // A masked pixel with colour inverts the screen below it; with no
                        // way to invert, it is drawn black so that it stays visible.
                        const bool inverts = r != 0 || g != 0 || b != 0;
                        out[0] = out[1] = out[2] = 0;
                        out[3] = inverts ? 255 : 0;
                    }
                }
            }
            if (bitCount == 32 && !anyAlpha && hasMask)
            {
                // Old 32-bit cursors leave the alpha channel empty and use the mask.
                for (int y = 0; y < height; ++y)
                {
                    const unsigned char* maskRow = mask + (size_t)(height - 1 - y) * maskStride;
                    for (int x = 0; x < width; ++x)
                    {
                        const bool transparent = ((maskRow[x / 8] >> (7 - x % 8)) & 1) != 0;
                        image.pixels[((size_t)y * width + x) * 4 + 3] = transparent ? 0 : 255;
                    }
                }
            }
            return true;
        }

        bool decodeIcon(const unsigned char* data, size_t size, CursorImage& image, size_t& budget,
                        std::string& error)
        {
            if (size < 6)
            {
                error = "file too short";
                return false;
            }
            const uint16_t type = u16(data + 2);
            const uint16_t count = u16(data + 4);
            if (u16(data) != 0 || (type != 1 && type != 2))
            {
                error = "not a cursor or icon file";
                return false;
            }
            if (count == 0)
            {
                error = "no images in the file";
                return false;
            }
            if (6 + (size_t)count * 16 > size)
            {
                error = "truncated image directory";
                return false;
            }
            // The image nearest to the usual cursor size of 32 pixels is taken, the larger
            // of two equally near.
            int best = -1;
            int bestScore = 0;
            int bestWidth = 0;
            for (int i = 0; i < count; ++i)
            {
                const unsigned char* entry = data + 6 + i * 16;
                const int width = entry[0] == 0 ? 256 : entry[0];
                const uint32_t bytes = u32(entry + 8);
                const uint32_t offset = u32(entry + 12);
                if (bytes == 0 || offset > size || bytes > size - offset)
                {
                    continue;
                }
                const int score = abs(width - 32);
                if (best < 0 || score < bestScore || (score == bestScore && width > bestWidth))
                {
                    best = i;
                    bestScore = score;
                    bestWidth = width;
                }
            }
            if (best < 0)
            {
                error = "image data lies outside the file";
                return false;
            }
            const unsigned char* entry = data + 6 + best * 16;
            const unsigned char* imageData = data + u32(entry + 12);
            const size_t imageSize = u32(entry + 8);
            static const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
            const bool png = imageSize >= 8 && memcmp(imageData, pngSignature, 8) == 0;
            if (!(png ? decodePng(imageData, imageSize, image, budget, error)
                      : decodeBitmap(imageData, imageSize, image, budget, error)))
            {
                return false;
            }
            if (type == 2)
            {
                image.hotspotX = u16(entry + 4);
                image.hotspotY = u16(entry + 6);
                // A hotspot outside the image would be refused by the platform.
                if (image.hotspotX >= image.width)
                {
                    image.hotspotX = image.width - 1;
                }
                if (image.hotspotY >= image.height)
                {
                    image.hotspotY = image.height - 1;
                }
            }
            return true;
        }

        bool decodeAnimation(const unsigned char* data, size_t size, CursorFile& result, size_t& budget,
                             std::string& error)
        {
            if (size < 12 || memcmp(data + 8, "ACON", 4) != 0)
            {
                error = "not an animated cursor";
                return false;
            }
            size_t end = (size_t)u32(data + 4) + 8;
            if (end > size)
            {
                end = size;
            }
            bool hasHeader = false;
            uint32_t frameCount = 0;
            uint32_t stepCount = 0;
            uint32_t displayRate = 0;
            uint32_t flags = 0;
            std::vector<int> rates;
            std::vector<int> sequence;
            size_t pos = 12;
            while (pos + 8 <= end)
            {
                const unsigned char* chunk = data + pos;
                const size_t length = u32(chunk + 4);
                if (length > end - pos - 8)
                {
                    error = "truncated chunk";
                    return false;
                }
                const unsigned char* body = chunk + 8;
                if (memcmp(chunk, "anih", 4) == 0)
                {
                    if (length < 36)
                    {
                        error = "short animation header";
                        return false;
                    }
                    hasHeader = true;
                    frameCount = u32(body + 4);
                    stepCount = u32(body + 8);
                    displayRate = u32(body + 28);
                    flags = u32(body + 32);
                    if (frameCount == 0 || frameCount > maxFrames || stepCount > maxSteps)
                    {
                        error = "frame or step count out of range";
                        return false;
                    }
                }
                else if (memcmp(chunk, "rate", 4) == 0)
                {
                    for (size_t i = 0; i + 4 <= length && rates.size() < maxSteps; i += 4)
                    {
                        rates.push_back((int)u32(body + i));
                    }
                }
                else if (memcmp(chunk, "seq ", 4) == 0)
                {
                    for (size_t i = 0; i + 4 <= length && sequence.size() < maxSteps; i += 4)
                    {
                        sequence.push_back((int)u32(body + i));
                    }
                }
                else if (memcmp(chunk, "LIST", 4) == 0 && length >= 4 && memcmp(body, "fram", 4) == 0)
                {
                    size_t sub = 4;
                    while (sub + 8 <= length)
                    {
                        const size_t subLength = u32(body + sub + 4);
                        if (subLength > length - sub - 8)
                        {
                            error = "truncated frame";
                            return false;
                        }
                        if (memcmp(body + sub, "icon", 4) == 0)
                        {
                            if (result.frames.size() >= maxFrames)
                            {
                                error = "too many frames";
                                return false;
                            }
                            CursorImage image;
                            if (!decodeIcon(body + sub + 8, subLength, image, budget, error))
                            {
                                error = "frame " + std::to_string(result.frames.size()) + ": " + error;
                                return false;
                            }
                            result.frames.push_back(std::move(image));
                        }
                        sub += 8 + subLength + (subLength & 1);
                    }
                }
                pos += 8 + length + (length & 1);
            }
            if (!hasHeader)
            {
                error = "missing animation header";
                return false;
            }
            if ((flags & 1) == 0)
            {
                error = "frames without icon headers are not supported";
                return false;
            }
            if (result.frames.size() < frameCount)
            {
                error = "expected " + std::to_string(frameCount) + " frames, found " +
                        std::to_string(result.frames.size());
                return false;
            }
            result.frames.resize(frameCount);
            if (stepCount == 0)
            {
                stepCount = frameCount;
            }
            if (sequence.empty())
            {
                for (uint32_t i = 0; i < stepCount; ++i)
                {
                    sequence.push_back((int)(i % frameCount));
                }
            }
            if (sequence.size() < stepCount)
            {
                error = "sequence shorter than the step count";
                return false;
            }
            sequence.resize(stepCount);
            for (int index : sequence)
            {
                if (index < 0 || (uint32_t)index >= frameCount)
                {
                    error = "sequence names a missing frame";
                    return false;
                }
            }
            if (rates.size() < stepCount)
            {
                rates.assign(stepCount, (int)displayRate);
            }
            rates.resize(stepCount);
            for (int& rate : rates)
            {
                if (rate <= 0 || rate > 60 * 3600)
                {
                    rate = displayRate > 0 && displayRate <= 60 * 3600 ? (int)displayRate : 1;
                }
            }
            result.sequence = sequence;
            result.rates = rates;
            return true;
        }
    } // namespace

    bool decodeCursorFile(const unsigned char* data, size_t size, CursorFile& result, std::string& error)
    {
        result = CursorFile();
        size_t budget = maxPixelBytes;
        bool ok = false;
        if (size >= 4 && memcmp(data, "RIFF", 4) == 0)
        {
            ok = decodeAnimation(data, size, result, budget, error);
        }
        else
        {
            CursorImage image;
            ok = decodeIcon(data, size, image, budget, error);
            if (ok)
            {
                result.frames.push_back(std::move(image));
                result.sequence.push_back(0);
                result.rates.push_back(0);
            }
        }
        if (!ok)
        {
            result = CursorFile();
        }
        return ok;
    }

} // namespace tesra
