#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tesra
{

    // One cursor image as 8-bit RGBA rows, top row first.
    struct CursorImage
    {
        int width = 0;
        int height = 0;
        int hotspotX = 0;
        int hotspotY = 0;
        std::vector<unsigned char> pixels;
    };

    // A decoded ".cur" (one frame) or ".ani" (several): the frames, the order in which
    // they are shown and how long each step lasts, in 1/60 s.
    struct CursorFile
    {
        std::vector<CursorImage> frames;
        std::vector<int> sequence;
        std::vector<int> rates;
    };

    // Decodes cursor data by its content: a RIFF "ACON" animation, or an icon container
    // with BMP or PNG images. On failure answers false and says why in error.
    bool decodeCursorFile(const unsigned char* data, size_t size, CursorFile& result, std::string& error);

} // namespace tesra
