#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds cursor files in memory, byte by byte, for the decoder tests.
namespace cursor_builder
{
    using Bytes = std::string;

    // A little-endian number of `size` bytes.
    inline Bytes le(uint64_t value, int size = 4)
    {
        Bytes result;
        for (int i = 0; i < size; ++i)
        {
            result += (char)(value >> (8 * i));
        }
        return result;
    }

    // A 32-bit bitmap (pixel(x, y) gives 0xAARRGGBB) or 1-bit one (true for white), with its AND mask.
    template <class Pixel, class Mask> Bytes bitmap(int bits, int width, int height, Pixel pixel, Mask masked)
    {
        // The height counts the colour rows and the mask rows together.
        Bytes b = le(40) + le(width) + le(height * 2) + le(1 | (bits << 16)) + Bytes(24, '\0');
        auto putBitRows = [&](auto bit)
        {
            for (int y = height - 1; y >= 0; --y)
            {
                Bytes row(((width + 31) / 32) * 4, '\0');
                for (int x = 0; x < width; ++x)
                {
                    row[x / 8] |= bit(x, y) ? 0x80 >> (x % 8) : 0;
                }
                b += row;
            }
        };
        if (bits == 1)
        {
            b += le(0x00000000) + le(0x00FFFFFF); // the palette: black, white
            putBitRows(pixel);
        }
        for (int y = height - 1; bits == 32 && y >= 0; --y)
        {
            for (int x = 0; x < width; ++x)
            {
                b += le(pixel(x, y));
            }
        }
        putBitRows(masked);
        return b;
    }

    struct Entry
    {
        int width;
        int height;
        int hotspotX;
        int hotspotY;
        Bytes data;
    };

    inline Bytes container(const std::vector<Entry>& entries)
    {
        Bytes directory = le(0, 2) + le(2, 2) + le(entries.size(), 2);
        Bytes images;
        for (const Entry& e : entries)
        {
            directory += le(e.width | (e.height << 8)) + le(e.hotspotX, 2) + le(e.hotspotY, 2) +
                         le(e.data.size()) + le(6 + 16 * entries.size() + images.size());
            images += e.data;
        }
        return directory + images;
    }

    inline Bytes chunk(const char* tag, const Bytes& body)
    {
        return Bytes(tag, 4) + le(body.size()) + body + Bytes(body.size() % 2, '\0');
    }

    // A RIFF "ACON" file; "seq " and "rate" are left out when empty.
    inline Bytes animation(const std::vector<Bytes>& frames, const std::vector<int>& sequence,
                           const std::vector<int>& rates, int displayRate = 6)
    {
        const size_t steps = sequence.empty() ? frames.size() : sequence.size();
        Bytes body = "ACON" + chunk("anih", le(36) + le(frames.size()) + le(steps) + Bytes(16, '\0') +
                                                le(displayRate) + le(sequence.empty() ? 1 : 3));
        for (const auto& [tag, values] : {std::make_pair("rate", rates), std::make_pair("seq ", sequence)})
        {
            Bytes words;
            for (int value : values)
            {
                words += le(value);
            }
            body += values.empty() ? "" : chunk(tag, words);
        }
        Bytes list = "fram";
        for (const Bytes& frame : frames)
        {
            list += chunk("icon", frame);
        }
        return chunk("RIFF", body + chunk("LIST", list));
    }
} // namespace cursor_builder
