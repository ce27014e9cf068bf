#pragma once

#include <functional>
#include <string>
#include <vector>

#include <png.h>

#include <tesra/Color.h>

namespace tesra_testing
{
    // An RGBA PNG of the pixels the function gives.
    inline std::string makePng(int width, int height, const std::function<tesra::Color(int, int)>& pixel)
    {
        std::vector<unsigned char> rgba;
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                tesra::Color c = pixel(x, y);
                rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
            }
        }
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = width;
        image.height = height;
        image.format = PNG_FORMAT_RGBA;
        png_alloc_size_t size = 0;
        png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
        std::string png(size, '\0');
        png_image_write_to_memory(&image, &png[0], &size, 0, rgba.data(), 0, nullptr);
        return png;
    }
} // namespace tesra_testing
