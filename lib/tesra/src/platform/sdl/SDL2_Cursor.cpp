#include <fstream>
#include <iterator>

#include <SDL.h>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesra/tesra.h>

#include "SDL2_Cursor.h"

namespace tesra
{

    namespace
    {
        uint64_t stepDuration(int rate)
        {
            return (uint64_t)rate * 1000 / 60;
        }
    } // namespace

    SDL2_Cursor::~SDL2_Cursor()
    {
        freeCursors();
    }

    void SDL2_Cursor::freeCursors()
    {
        for (SDL_Cursor* cursor : cursors)
        {
            if (cursor != nullptr)
            {
                SDL_FreeCursor(cursor);
            }
        }
        cursors.clear();
    }

    bool SDL2_Cursor::load(const hstring& filename)
    {
        if (filename == "")
        {
            return false;
        }
        hstring path = filename;
        const hstring prefix = quortypes::Resource::getPrefix();
        if (prefix != "")
        {
            path = prefix + "/" + filename;
        }
        std::ifstream file(path.c_str(), std::ios::binary);
        if (!file)
        {
            quortypes::Log::warn(logTag, "Unable to load cursor '" + path + "': the file cannot be opened.");
            return false;
        }
        const std::vector<unsigned char> data((std::istreambuf_iterator<char>(file)),
                                              std::istreambuf_iterator<char>());
        CursorFile decoded;
        std::string error;
        if (!decodeCursorFile(data.data(), data.size(), decoded, error))
        {
            quortypes::Log::warn(logTag, "Unable to load cursor '" + path + "': " + error + ".");
            return false;
        }
        Cursor::load(path);
        freeCursors();
        images = std::move(decoded);
        totalDuration = 0;
        for (int rate : images.rates)
        {
            totalDuration += stepDuration(rate);
        }
        for (CursorImage& image : images.frames)
        {
            SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
                image.pixels.data(), image.width, image.height, 32, image.width * 4, SDL_PIXELFORMAT_RGBA32);
            SDL_Cursor* cursor = nullptr;
            if (surface != nullptr)
            {
                cursor = SDL_CreateColorCursor(surface, image.hotspotX, image.hotspotY);
                SDL_FreeSurface(surface);
            }
            cursors.push_back(cursor);
        }
        return true;
    }

    SDL_Cursor* SDL2_Cursor::frameAt(uint64_t milliseconds) const
    {
        if (images.sequence.empty() || cursors.empty())
        {
            return nullptr;
        }
        size_t step = 0;
        if (isAnimated() && totalDuration > 0)
        {
            uint64_t time = milliseconds % totalDuration;
            while (step + 1 < images.sequence.size() && time >= stepDuration(images.rates[step]))
            {
                time -= stepDuration(images.rates[step]);
                ++step;
            }
        }
        return cursors[images.sequence[step]];
    }

} // namespace tesra
