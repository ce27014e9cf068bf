#pragma once

namespace tesra
{
    struct DisplayMode
    {
        int width = 0;
        int height = 0;
        int refreshRate = 0;

        DisplayMode() = default;
        DisplayMode(int width, int height, int refreshRate)
            : width(width), height(height), refreshRate(refreshRate)
        {
        }
        bool operator==(const DisplayMode& other) const
        {
            return width == other.width && height == other.height && refreshRate == other.refreshRate;
        }
        bool operator!=(const DisplayMode& other) const { return !(*this == other); }
    };
} // namespace tesra
