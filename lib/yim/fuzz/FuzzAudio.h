#pragma once

// What the audio fuzz targets share: a manager on OpenAL Soft's loopback device with a category for each
// source mode and buffer mode that reads a file differently, and a sound played a few steps in each.
#include <cstdlib>

#include <fuzz_support/Leaks.h>
#include <fuzz_support/Scratch.h>
#include <quortypes/Resource.h>
#include <yim/AudioManager.h>
#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/yim.h>

#include "OpenALLoopback.h"

namespace fuzz_audio
{
    // Decoded whole or streamed, from the disk at each open or from a copy of the file in memory.
    const struct
    {
        const char* name;
        yim::BufferMode buffer;
        yim::SourceMode source;
    } categories[] = {{"disk", yim::BufferMode::ON_PLAY, yim::SourceMode::DISK},
                      {"ram", yim::BufferMode::ON_CREATION, yim::SourceMode::RAM},
                      {"stream_disk", yim::BufferMode::STREAMED, yim::SourceMode::DISK},
                      {"stream_ram", yim::BufferMode::STREAMED, yim::SourceMode::RAM}};

    inline void start()
    {
        setenv("ALSOFT_DRIVERS", "null", 0);
        quortypes::Resource::setCwd(fuzz_support::scratchFolder());
        fuzz_support::checkLeaksBeforeStatics();
        yim::openal::initLoopback();
        for (const auto& category : categories)
        {
            yim::manager->createCategory(category.name, category.buffer, category.source);
        }
        std::atexit([] { yim::destroy(); });
    }

    // The file played looping in every category, mixed for a few steps, paused, rewound and stopped.
    inline void playInEveryCategory(const hstring& filename)
    {
        static float output[441 * 2];
        for (const auto& category : categories)
        {
            yim::Sound* sound =
                yim::manager->createSound(filename, category.name, hstring(category.name) + "_");
            if (sound == nullptr)
            {
                continue;
            }
            yim::Player* player = yim::manager->createPlayer(sound->getName());
            player->play(0.0f, true);
            for (int step = 0; step < 4; ++step)
            {
                yim::manager->update(0.01f);
                yim::openal::renderLoopback(output, 441);
                if (step == 1)
                {
                    player->pause();
                    player->play(0.0f, false);
                }
            }
            player->getTimePosition();
            player->stop();
            yim::manager->update(0.01f);
            yim::manager->destroyPlayer(player);
            yim::manager->destroySound(sound);
        }
    }
} // namespace fuzz_audio
