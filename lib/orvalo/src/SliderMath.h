#pragma once

#include <cmath>

namespace orvalo
{
    // The remainder that is never negative.
    inline float positiveModulo(float value, float divisor)
    {
        float result = std::fmod(value, divisor);
        return result < 0.0f ? result + divisor : result;
    }

    inline int positiveModulo(int value, int divisor)
    {
        int result = value % divisor;
        return result < 0 ? result + divisor : result;
    }
} // namespace orvalo
