#include "PixelLayout.h"

namespace tesra
{
    namespace
    {
        const PixelLayout LAYOUTS[] = {
            {0, -1, -1, -1, -1, false}, // unknown
            {4, 0, 1, 2, 3, true},      // RGBA
            {4, 1, 2, 3, 0, true},      // ARGB
            {4, 2, 1, 0, 3, true},      // BGRA
            {4, 3, 2, 1, 0, true},      // ABGR
            {4, 0, 1, 2, 3, false},     // RGBX
            {4, 1, 2, 3, 0, false},     // XRGB
            {4, 2, 1, 0, 3, false},     // BGRX
            {4, 3, 2, 1, 0, false},     // XBGR
            {3, 0, 1, 2, -1, false},    // RGB
            {3, 2, 1, 0, -1, false},    // BGR
            {1, 0, 0, 0, -1, true},     // ALPHA
            {1, 0, 0, 0, -1, false},    // GRAYSCALE
            {0, -1, -1, -1, -1, false}, // PALETTE
        };
    }

    const PixelLayout& getPixelLayout(Image::Format format)
    {
        int index = (int)format;
        if (index < 0 || index >= (int)(sizeof(LAYOUTS) / sizeof(LAYOUTS[0])))
        {
            index = 0;
        }
        return LAYOUTS[index];
    }

    int Image::getFormatBpp(Format format)
    {
        return getPixelLayout(format).bpp;
    }
} // namespace tesra
