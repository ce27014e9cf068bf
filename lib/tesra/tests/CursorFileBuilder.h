#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds cursor files in memory, byte by byte, for the decoder tests.
namespace cursor_builder
{
    using Bytes = std::string;

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

    // A bitmap of `bits` bits a pixel (32 or 1) with its AND mask. For 32 bits pixel(x, y) gives 0xAARRGGBB,
    // for 1 bit true for white over black; y counts from the top, rows are stored bottom first.
    template <class Pixel, class Mask> Bytes bitmap(int bits, int width, int height, Pixel pixel, Mask masked)
    {
        Bytes b;
        // The height counts the colour rows and the mask rows together.
        for (uint32_t field : {40, width, height * 2, 1 | (bits << 16), 0, 0, 0, 0, 0, 0})
        {
            put32(b, field);
        }
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
            put32(b, 0x00000000); // the palette: black, white
            put32(b, 0x00FFFFFF);
            putBitRows(pixel);
        }
        for (int y = height - 1; bits == 32 && y >= 0; --y)
        {
            for (int x = 0; x < width; ++x)
            {
                put32(b, pixel(x, y));
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
        Bytes b;
        put16(b, 0);
        put16(b, 2);
        put16(b, (uint32_t)entries.size());
        uint32_t offset = 6 + 16 * (uint32_t)entries.size();
        for (const Entry& e : entries)
        {
            put32(b, (e.width & 0xFF) | ((e.height & 0xFF) << 8));
            put16(b, e.hotspotX);
            put16(b, e.hotspotY);
            put32(b, (uint32_t)e.data.size());
            put32(b, offset);
            offset += (uint32_t)e.data.size();
        }
        for (const Entry& e : entries)
        {
            b += e.data;
        }
        return b;
    }

    inline void chunk(Bytes& b, const char* tag, const Bytes& body)
    {
        b.append(tag, 4);
        put32(b, (uint32_t)body.size());
        b += body;
        b.append(body.size() % 2, '\0');
    }

    // A RIFF "ACON" file; "seq " and "rate" are left out when empty.
    inline Bytes animation(const std::vector<Bytes>& frames, const std::vector<int>& sequence,
                           const std::vector<int>& rates, int displayRate = 6)
    {
        Bytes header;
        const uint32_t steps = (uint32_t)(sequence.empty() ? frames.size() : sequence.size());
        for (uint32_t field : {36u, (uint32_t)frames.size(), steps, 0u, 0u, 0u, 0u, (uint32_t)displayRate,
                               sequence.empty() ? 1u : 3u})
        {
            put32(header, field);
        }
        Bytes list = "fram";
        for (const Bytes& frame : frames)
        {
            chunk(list, "icon", frame);
        }
        Bytes body = "ACON";
        chunk(body, "anih", header);
        for (const auto& [tag, values] : {std::make_pair("rate", rates), std::make_pair("seq ", sequence)})
        {
            Bytes words;
            for (int value : values)
            {
                put32(words, value);
            }
            if (!values.empty())
            {
                chunk(body, tag, words);
            }
        }
        chunk(body, "LIST", list);
        Bytes file;
        chunk(file, "RIFF", body);
        return file;
    }

} // namespace cursor_builder
