#pragma once

#include <filesystem>
#include <string>

#include "EngineHarness.h"

using namespace vumo;

namespace harness
{
    // The texture "data/ui/items.png" (any picture will do) and its 8 by 8 images named a to g, for a
    // dataset's <Texture filename='items'>.
    inline std::string putItemPictures(const GameFolder& folder)
    {
        std::filesystem::create_directories(folder.path + "/data/ui");
        std::filesystem::copy_file(harness::anyPicture(), folder.path + "/data/ui/items.png");
        std::string images;
        for (const char* item : {"a", "b", "c", "d", "e", "f", "g"})
        {
            images += std::string("<Image name='") + item + "' rect='0,0,8,8'/>";
        }
        return images;
    }
} // namespace harness
