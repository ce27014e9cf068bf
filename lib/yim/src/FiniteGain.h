#pragma once

#include <quortypes/Log.h>
#include <yim/yim.h>

namespace yim
{
    // A gain that is not a finite number would stay in the gain of every player it reaches: the setters
    // keep the old gain and tell whose gain was refused.
    inline void warnNonFiniteGain(float value, const hstring& owner)
    {
        quortypes::Log::warnf(logTag, "The gain of %s stays as it was: %f is not a finite number.",
                              owner.c_str(), value);
    }
} // namespace yim
