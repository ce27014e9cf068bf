#pragma once

// ".amp" files written from region lists, for the tests, the fuzz corpus and the benchmark. Written here
// byte by byte, apart from the engine's own writer, so that each checks the other.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ampfiles
{
    struct Region
    {
        uint32_t rgb = 0; // 0xRRGGBB
        int left = 0;
        int top = 0;
        int right = 0;  // inclusive
        int bottom = 0; // inclusive
        int centerX = 0;
        int centerY = 0;
        // Which pixels of the rectangle belong to the region; all of them when empty.
        std::function<bool(int x, int y)> covers;
    };

    inline void put32(std::string& out, uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
        {
            out.push_back((char)((value >> (8 * i)) & 0xFF));
        }
    }

    inline void put16(std::string& out, int value)
    {
        out.push_back((char)(value & 0xFF));
        out.push_back((char)((value >> 8) & 0xFF));
    }

    // The rows of the rectangle one after the other, most significant bit first, with no padding bits.
    inline std::string mask(const Region& region)
    {
        const int w = region.right - region.left + 1;
        const int h = region.bottom - region.top + 1;
        std::string bytes((size_t)((int64_t)w * h + 7) / 8, '\0');
        for (int y = 0; y < h; ++y)
        {
            for (int x = 0; x < w; ++x)
            {
                if (!region.covers || region.covers(region.left + x, region.top + y))
                {
                    const int64_t n = (int64_t)w * y + x;
                    bytes[(size_t)(n / 8)] = (char)(bytes[(size_t)(n / 8)] | (0x80 >> (n % 8)));
                }
            }
        }
        return bytes;
    }

    inline std::string file(int width, int height, const std::vector<Region>& regions)
    {
        std::vector<std::string> masks;
        uint32_t total = 0;
        for (const Region& region : regions)
        {
            masks.push_back(mask(region));
            total += (uint32_t)masks.back().size();
        }
        std::string out = "TorvinAMPv3";
        put32(out, (uint32_t)regions.size());
        put32(out, (uint32_t)width);
        put32(out, (uint32_t)height);
        put32(out, total);
        for (size_t i = 0; i < regions.size(); ++i)
        {
            const Region& r = regions[i];
            put32(out, r.rgb);
            for (int value : {r.left, r.top, r.right, r.bottom, r.centerX, r.centerY})
            {
                put16(out, value);
            }
            put32(out, (uint32_t)masks[i].size());
            out += masks[i];
        }
        return out;
    }

    // Offsets into a file written by file(): the header fields and the fields of region i, given the
    // mask lengths of the regions before it.
    enum Field
    {
        COUNT = 11,
        WIDTH = 15,
        HEIGHT = 19,
        TOTAL = 23,
        FIRST_REGION = 27
    };

    inline void poke32(std::string& bytes, size_t at, uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
        {
            bytes[at + i] = (char)((value >> (8 * i)) & 0xFF);
        }
    }

    inline void poke16(std::string& bytes, size_t at, int value)
    {
        bytes[at] = (char)(value & 0xFF);
        bytes[at + 1] = (char)((value >> 8) & 0xFF);
    }
} // namespace ampfiles
