#pragma once

#include <cmath>

#include <kavtypes/Vector2.h>
#include <kavtypes/Vector3.h>

namespace tesraparticle
{
    // An affector's step whose result the floats cannot hold (a pull raised to a negative power just inside
    // its rim, settings at the floats' ends, or not numbers at all) leaves the particle as it was: a
    // particle that once takes infinity or NaN never comes back, and whatever draws it or reads its place
    // goes wrong with it.
    inline bool isFiniteStep(float value)
    {
        return std::isfinite(value);
    }

    inline bool isFiniteStep(const kavtypes::Vector2& value)
    {
        return std::isfinite(value.x) && std::isfinite(value.y);
    }

    inline bool isFiniteStep(const kavtypes::Vector3& value)
    {
        return std::isfinite(value.x) && std::isfinite(value.y) && std::isfinite(value.z);
    }

    // target = value, when value is finite.
    template <class T> inline void takeFiniteStep(T& target, const T& value)
    {
        if (isFiniteStep(value))
        {
            target = value;
        }
    }
} // namespace tesraparticle
