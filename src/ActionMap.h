#pragma once

#include <cstdint>
#include <vector>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesraui/LifeToken.h>

namespace vumo
{
    // One clickable area of a scene picture: its colour, bounding rectangle (inclusive on all sides), a
    // centre for hints and markers, and where its one-bit mask lies in the map's mask buffer.
    struct ActionMapRegion
    {
        // 0xRRGGBB00 as the map holds it; colour 0 never hits.
        uint32_t color = 0;
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        int centerX = 0;
        int centerY = 0;
        int maskOffset = 0;
        int maskLength = 0;

        // The mask bit of a map pixel inside the rectangle; the rows follow each other without gap bits.
        bool hasPixel(const unsigned char* masks, int x, int y) const
        {
            const int64_t n = (int64_t)(this->right - this->left + 1) * (y - this->top) + (x - this->left);
            return ((masks[this->maskOffset + n / 8] >> (7 - n % 8)) & 1) != 0;
        }
    };

    // A colour-region map read from an ".amp" file. The file is read on first use and freed again after 60
    // seconds without use (at that frame's end, with what scripts destroyed); the chapter that registers the
    // map owns it, and what refers to it from outside the chapter watches it (watchLife), since the
    // chapter's unload deletes it.
    class ActionMap
    {
    public:
        // What one ".amp" file holds.
        struct Contents
        {
            int width = 0;
            int height = 0;
            int totalMaskSize = 0;
            harray<ActionMapRegion> regions;
            std::vector<unsigned char> masks;
        };

        static const char* const magic;
        static const float idleTime;

        // Reads nothing yet.
        explicit ActionMap(const hstring& path);
        ~ActionMap();
        ActionMap(const ActionMap&) = delete;
        ActionMap& operator=(const ActionMap&) = delete;

        const hstring& getName() const { return this->name; }
        const hstring& getPath() const { return this->path; }
        tesraui::LifeToken::Watch watchLife() { return this->life.watch(); }
        bool isLoaded() const { return this->loaded; }
        float getIdleTimer() const { return this->idleTimer; }

        // Restarts the idle clock and reads the file unless it is in memory (a "dummy" map never reads). A
        // file that cannot be read throws once; until the map is unloaded it then reads as empty.
        void ensureLoaded();
        int getWidth();
        int getHeight();
        // 0xRRGGBBFF of the first region in file order whose mask covers the point, or 0.
        uint32_t getColorAt(int x, int y);
        // The first region whose colour, with 0xFF as its lowest byte, equals colorRGBA.
        void setRegionCenter(uint32_t colorRGBA, int x, int y);
        const harray<ActionMapRegion>& getRegions();
        const unsigned char* getMasks();
        void update(float timeDelta);
        void unload();
        // "" writes to the map's own path. Replaces the file atomically; a map whose file could not be read
        // has nothing to write and throws.
        void save(const hstring& path = "");

        // Checks every size against the bytes that are left before taking memory for it, and throws naming
        // the path for a file that is not a whole, consistent map.
        static Contents parse(const hstring& bytes, const hstring& path);
        static hstring write(const Contents& contents);
        // The file name less its folder and its last four characters.
        static hstring nameFromPath(const hstring& path);

    protected:
        hstring name;
        hstring path;
        bool loaded = false;
        // Why the file could not be read, "" when it was not tried or read well. Hit tests read a map every
        // frame: the failure is not retried before the map is unloaded, so it is reported once.
        hstring failure;
        Contents contents;
        float idleTimer = 0.0f;
        tesraui::LifeToken life;

        void load();
    };
} // namespace vumo
