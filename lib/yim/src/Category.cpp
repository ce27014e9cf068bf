#include <cmath>

#include <yim/AudioManager.h>
#include <yim/Category.h>
#include <yim/yim.h>

#include "FiniteGain.h"

namespace yim
{
    Category::Category(const hstring& name, BufferMode bufferMode, SourceMode sourceMode)
        : name(name), gain(1.0f), bufferMode(bufferMode), sourceMode(sourceMode)
    {
    }

    void Category::setGain(float value)
    {
        if (!std::isfinite(value))
        {
            warnNonFiniteGain(value, "category '" + this->name + "'");
            return;
        }
        manager->_lock();
        this->gain.store(value);
        manager->_updateGains();
        manager->_unlock();
    }
} // namespace yim
