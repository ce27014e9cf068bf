#pragma once

#include <cstdint>
#include <vector>

#include <tesra/Cursor.h>

#include "window/CursorFile.h"

struct SDL_Cursor;

namespace tesra
{

    // A cursor from a ".cur" or ".ani" file; an animated one changes its frame by the
    // file's rates.
    class SDL2_Cursor : public Cursor
    {
    public:
        SDL2_Cursor() = default;
        ~SDL2_Cursor() override;

        // False, with a warning, for an empty name or a file that cannot be read or
        // decoded. A decoded cursor that the display cannot show keeps the default arrow.
        bool load(const hstring& filename) override;

        const CursorFile& getImages() const { return images; }
        bool isAnimated() const { return images.sequence.size() > 1; }
        // The platform cursor to show at the given time; null for the default arrow.
        SDL_Cursor* frameAt(uint64_t milliseconds) const;

    protected:
        void freeCursors();

        CursorFile images;
        std::vector<SDL_Cursor*> cursors;
        uint64_t totalDuration = 0;
    };

} // namespace tesra
