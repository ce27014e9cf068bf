// vumo_region_map: turns a picture painted in flat colours into an action map (".amp"). Each colour named
// on the command line becomes one region, in the order named, with its bounding rectangle, a centre and
// the mask of its pixels. Transparent and black pixels belong to no region. Nothing is written unless the
// whole picture could be turned into a map.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include <png.h>

#include <quortypes/AtomicFile.h>
#include <quortypes/exception.h>
#include <tesra/Color.h>

#include "ActionMap.h"

using namespace vumo;

namespace
{
    const char* const usage =
        "usage: vumo_region_map PICTURE.png MAP.amp _RRGGBB[=X,Y] ...\n"
        "  Each _RRGGBB is a region's colour as the scene's region tables name it;\n"
        "  =X,Y sets the region's centre, else the pixel nearest its middle is taken.\n";

    struct Region
    {
        uint32_t rgb = 0;
        bool hasCentre = false;
        int centerX = 0;
        int centerY = 0;
        // Filled from the picture.
        int left = 0;
        int top = 0;
        int right = -1;
        int bottom = -1;
        int64_t count = 0;
        int64_t sumX = 0;
        int64_t sumY = 0;
    };

    std::string colourName(uint32_t rgb)
    {
        char text[8];
        snprintf(text, sizeof(text), "_%06X", (unsigned)rgb);
        return text;
    }

    bool parseInt(const std::string& text, int& out)
    {
        if (text.empty() || text.size() > 6)
        {
            return false;
        }
        size_t used = 0;
        try
        {
            out = std::stoi(text, &used);
        }
        catch (const std::exception&)
        {
            return false;
        }
        // The map stores coordinates in 16 bits.
        return used == text.size() && out >= -32768 && out <= 32767;
    }

    Region parseRegion(const std::string& argument)
    {
        const std::string colour = argument.substr(0, argument.find('='));
        Region region;
        tesra::Color parsed;
        if (colour.size() != 7 || colour[0] != '_' || !parsed.trySet(colour.substr(1), false))
        {
            throw std::runtime_error("'" + argument +
                                     "' is not a region colour: write it as _RRGGBB, e.g. _3C2314");
        }
        region.rgb = parsed.toUInt() >> 8;
        if (region.rgb == 0)
        {
            throw std::runtime_error("_000000 cannot be a region: black is where no region is");
        }
        if (colour.size() < argument.size())
        {
            const std::string centre = argument.substr(colour.size() + 1);
            const size_t comma = centre.find(',');
            if (comma == std::string::npos || !parseInt(centre.substr(0, comma), region.centerX) ||
                !parseInt(centre.substr(comma + 1), region.centerY))
            {
                throw std::runtime_error("'" + argument +
                                         "': the centre is written as =X,Y, e.g. _3C2314=32,38");
            }
            region.hasCentre = true;
        }
        return region;
    }

    // RGBA rows of the picture; anything libpng cannot read as a PNG is refused.
    std::vector<unsigned char> readPicture(const std::string& path, int& width, int& height)
    {
        png_image image;
        memset(&image, 0, sizeof(image));
        image.version = PNG_IMAGE_VERSION;
        if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
        {
            const std::string reason = image.message;
            png_image_free(&image);
            throw std::runtime_error(path + ": not a readable PNG picture (" + reason + ")");
        }
        image.format = PNG_FORMAT_RGBA;
        // The map stores coordinates in 16 bits.
        if (image.width > 32767 || image.height > 32767)
        {
            png_image_free(&image);
            throw std::runtime_error(path + ": the picture is larger than 32767 pixels on a side");
        }
        std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
        if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0)
        {
            const std::string reason = image.message;
            png_image_free(&image);
            throw std::runtime_error(path + ": the PNG picture is damaged (" + reason + ")");
        }
        width = (int)image.width;
        height = (int)image.height;
        return pixels;
    }

    ActionMap::Contents makeMap(const std::string& path, std::vector<Region>& regions)
    {
        std::map<uint32_t, size_t> index;
        for (size_t i = 0; i < regions.size(); ++i)
        {
            if (!index.emplace(regions[i].rgb, i).second)
            {
                throw std::runtime_error(colourName(regions[i].rgb) + " is named twice");
            }
        }
        int width = 0;
        int height = 0;
        const std::vector<unsigned char> pixels = readPicture(path, width, height);
        std::vector<int> owner((size_t)width * height, -1);
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                const unsigned char* p = pixels.data() + ((size_t)y * width + x) * 4;
                const uint32_t rgb = ((uint32_t)p[0] << 16) | ((uint32_t)p[1] << 8) | p[2];
                if (p[3] == 0 || (p[3] == 255 && rgb == 0))
                {
                    continue;
                }
                // Smoothed edges would make colours of their own; a map needs every pixel in one region.
                const std::string at = " at " + std::to_string(x) + "," + std::to_string(y);
                if (p[3] != 255)
                {
                    throw std::runtime_error(path + ": pixel" + at + " is partly transparent (alpha " +
                                             std::to_string(p[3]) +
                                             "): paint regions in flat, opaque colours without smoothing");
                }
                auto found = index.find(rgb);
                if (found == index.end())
                {
                    throw std::runtime_error(path + ": unknown colour " + colourName(rgb) + at +
                                             ": name it as a region or paint it black or transparent");
                }
                Region& region = regions[found->second];
                if (region.count == 0)
                {
                    region.left = region.right = x;
                    region.top = region.bottom = y;
                }
                region.left = std::min(region.left, x);
                region.right = std::max(region.right, x);
                region.bottom = y;
                ++region.count;
                region.sumX += x;
                region.sumY += y;
                owner[(size_t)y * width + x] = (int)found->second;
            }
        }
        ActionMap::Contents contents;
        contents.width = width;
        contents.height = height;
        for (size_t i = 0; i < regions.size(); ++i)
        {
            Region& region = regions[i];
            if (region.count == 0)
            {
                throw std::runtime_error(path + ": colour " + colourName(region.rgb) +
                                         " is not in the picture");
            }
            ActionMapRegion out;
            out.color = region.rgb << 8;
            out.left = region.left;
            out.top = region.top;
            out.right = region.right;
            out.bottom = region.bottom;
            const int w = region.right - region.left + 1;
            const int64_t bits = (int64_t)w * (region.bottom - region.top + 1);
            out.maskOffset = (int)contents.masks.size();
            out.maskLength = (int)((bits + 7) / 8);
            contents.masks.resize(contents.masks.size() + (size_t)out.maskLength, 0);
            unsigned char* mask = contents.masks.data() + out.maskOffset;
            // The pixel of the region nearest its middle, so that a hint never points beside it.
            const double middleX = (double)region.sumX / (double)region.count;
            const double middleY = (double)region.sumY / (double)region.count;
            double nearest = -1.0;
            for (int y = region.top; y <= region.bottom; ++y)
            {
                for (int x = region.left; x <= region.right; ++x)
                {
                    if (owner[(size_t)y * width + x] != (int)i)
                    {
                        continue;
                    }
                    const int64_t n = (int64_t)w * (y - region.top) + (x - region.left);
                    mask[n / 8] |= (unsigned char)(0x80 >> (n % 8));
                    const double distance = (x - middleX) * (x - middleX) + (y - middleY) * (y - middleY);
                    if (!region.hasCentre && (nearest < 0.0 || distance < nearest))
                    {
                        nearest = distance;
                        region.centerX = x;
                        region.centerY = y;
                    }
                }
            }
            out.centerX = region.centerX;
            out.centerY = region.centerY;
            contents.regions.push_back(out);
        }
        contents.totalMaskSize = (int)contents.masks.size();
        return contents;
    }
} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
    {
        fputs(usage, stderr);
        return 2;
    }
    const std::string picture = argv[1];
    const std::string output = argv[2];
    try
    {
        if (output.size() < 5 || output.compare(output.size() - 4, 4, ".amp") != 0)
        {
            throw std::runtime_error(output + ": an action map's file name ends in \".amp\"");
        }
        std::vector<Region> regions;
        for (int i = 3; i < argc; ++i)
        {
            regions.push_back(parseRegion(argv[i]));
        }
        const ActionMap::Contents contents = makeMap(picture, regions);
        const hstring bytes = ActionMap::write(contents);
        // Read back as the engine reads it before anything is written.
        ActionMap::parse(bytes, output);
        quortypes::saveFileAtomically(output, bytes);
        for (size_t i = 0; i < regions.size(); ++i)
        {
            const ActionMapRegion& region = contents.regions[i];
            printf("%s: %d,%d to %d,%d, centre %d,%d, %lld pixels\n", colourName(regions[i].rgb).c_str(),
                   region.left, region.top, region.right, region.bottom, region.centerX, region.centerY,
                   (long long)regions[i].count);
        }
        printf("%s: %d x %d, %d regions\n", output.c_str(), contents.width, contents.height,
               (int)contents.regions.size());
    }
    catch (const std::exception& e)
    {
        fprintf(stderr, "vumo_region_map: %s\n", e.what());
        return 1;
    }
    catch (const quortypes::exception& e)
    {
        fprintf(stderr, "vumo_region_map: %s\n", e.getMessage().c_str());
        return 1;
    }
    return 0;
}
