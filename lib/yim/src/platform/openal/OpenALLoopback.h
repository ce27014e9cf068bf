#pragma once

// For tests and benchmarks: a manager on OpenAL Soft's loopback device, mixing into memory.
namespace yim
{
    namespace openal
    {
        const int LOOPBACK_RATE = 44100;

        // Sets yim::manager like yim::init; yim::destroy ends it.
        void initLoopback(bool threaded = false, float updateTime = 0.01f);
        // Renders frames of float stereo (two floats a frame).
        void renderLoopback(float* output, int frames);
    } // namespace openal
} // namespace yim
