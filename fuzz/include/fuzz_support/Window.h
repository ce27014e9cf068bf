#pragma once

// A hidden window with the OpenGL render system, for targets whose readers load textures or draw. The GL
// driver's libraries stay loaded to the end, so that the leak checker can tell their memory.
#include <cstdlib>

#include <tesra/tesra.h>
#include <tesra_testing/KeepLoadedLibraries.h>

namespace fuzz_support
{
    inline void openWindow(int width, int height)
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("TESRA_MESSAGEBOX_ANSWER", "ok", 0);
        tesra::init();
        tesra::createRenderSystem();
        tesra::createWindow(width, height, false, "fuzz");
        tesra_testing::keepLoadedLibraries();
    }
} // namespace fuzz_support
