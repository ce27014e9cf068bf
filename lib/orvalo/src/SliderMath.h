#pragma once

#include <cmath>

#include <quortypes/util.h>

namespace orvalo
{
    // The remainder that is never negative.
    inline float positiveModulo(float value, float divisor)
    {
        float result = std::fmod(value, divisor);
        return result < 0.0f ? result + divisor : result;
    }

    // A slider's steps and places come from its size and times, which a data file or a script may make
    // as large as a float holds, or infinite: past either end of int they stop there.
    using quortypes::truncateToInt;

    inline int positiveModulo(int value, int divisor)
    {
        int result = value % divisor;
        return result < 0 ? result + divisor : result;
    }
} // namespace orvalo
