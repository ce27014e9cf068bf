#pragma once

#include <cstdlib>
#include <map>
#include <memory>

#include <kavtypes/Rectangle.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>

namespace harness
{
    // A frame read back once, asked about the pixels of an object's place on screen.
    class Shot
    {
    public:
        Shot() : image(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA)) {}
        bool holds(const kavtypes::Rectangle& rect) const
        {
            return rect.x >= 0 && rect.y >= 0 && rect.x + rect.w <= image->width &&
                   rect.y + rect.h <= image->height;
        }
        // Pixels inside the rectangle brighter or darker than its most common colour by a clear margin:
        // the strokes of a text drawn over a flat fill.
        int strokes(const kavtypes::Rectangle& rect) const
        {
            std::map<unsigned, int> counts;
            for (int y = (int)rect.y; y < (int)(rect.y + rect.h); ++y)
            {
                for (int x = (int)rect.x; x < (int)(rect.x + rect.w); ++x)
                {
                    ++counts[rgb(x, y)];
                }
            }
            unsigned fill = 0;
            int most = 0;
            for (const auto& pair : counts)
            {
                if (pair.second > most)
                {
                    fill = pair.first;
                    most = pair.second;
                }
            }
            int result = 0;
            for (int y = (int)rect.y; y < (int)(rect.y + rect.h); ++y)
            {
                for (int x = (int)rect.x; x < (int)(rect.x + rect.w); ++x)
                {
                    result += (distance(rgb(x, y), fill) > 96 ? 1 : 0);
                }
            }
            return result;
        }

    private:
        std::unique_ptr<tesra::Image> image;
        unsigned rgb(int x, int y) const
        {
            const unsigned char* p = image->data.get() + (y * image->width + x) * 4;
            return (unsigned)p[0] << 16 | (unsigned)p[1] << 8 | p[2];
        }
        static int distance(unsigned a, unsigned b)
        {
            int sum = 0;
            for (int shift : {0, 8, 16})
            {
                sum += std::abs((int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF));
            }
            return sum;
        }
    };
} // namespace harness
