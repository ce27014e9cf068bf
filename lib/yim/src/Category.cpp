#include <yim/AudioManager.h>
#include <yim/Category.h>
#include <yim/yim.h>

namespace yim
{
    Category::Category(const hstring& name, BufferMode bufferMode, SourceMode sourceMode)
        : name(name), gain(1.0f), bufferMode(bufferMode), sourceMode(sourceMode)
    {
    }

    void Category::setGain(float value)
    {
        manager->_lock();
        this->gain.store(value);
        manager->_updateGains();
        manager->_unlock();
    }
} // namespace yim
