#pragma once

#include <tesra/Image.h>

namespace tesra
{
    /// Where each channel of a format sits inside one pixel. `a` is the alpha or unused byte
    /// of four-byte formats and -1 otherwise; `hasAlpha` tells alpha apart from unused.
    struct PixelLayout
    {
        int bpp;
        int r;
        int g;
        int b;
        int a;
        bool hasAlpha;
    };

    const PixelLayout& getPixelLayout(Image::Format format);
} // namespace tesra
