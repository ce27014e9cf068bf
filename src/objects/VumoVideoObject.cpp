#include "VumoVideoObject.h"

#include <tesravideo/TheoraVideoClip.h>

#include "PausableObject.h"
#include "Session.h"
#include "GameUiHost.h"

VumoVideoObject::VumoVideoObject(const hstring& name, kavtypes::Rectangle rect)
    : tesravideo::VideoObject(name, rect)
{
}

VumoVideoObject::~VumoVideoObject() {}

tesraui::Object* VumoVideoObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
{
    return new VumoVideoObject(name, rect);
}

float VumoVideoObject::getGameSpeedFactor()
{
    return getGameUiHost().getDebugSpeedMultiplier();
}

float VumoVideoObject::_effectiveSpeed() const
{
    // Only videos with sound follow the game speed: the picture follows the sound's pitch there.
    return this->audioPlayer != nullptr ? this->ownSpeed * getGameSpeedFactor() : this->ownSpeed;
}

void VumoVideoObject::update(float timeDelta)
{
    tesravideo::VideoObject::update(timeDelta);
    if (this->audioPlayer != nullptr && this->clip != nullptr)
    {
        float effective = this->_effectiveSpeed();
        if (this->clip->getPlaybackSpeed() != effective)
        {
            this->setSpeed(effective);
        }
    }
}

hstring VumoVideoObject::getProperty(const hstring& name)
{
    if (name == "speed")
    {
        return hstring(this->ownSpeed);
    }
    return tesravideo::VideoObject::getProperty(name);
}

bool VumoVideoObject::setProperty(const hstring& name, const hstring& value)
{
    if (name == "speed")
    {
        this->ownSpeed = value.toFloat();
        this->setSpeed(this->_effectiveSpeed());
        return true;
    }
    return tesravideo::VideoObject::setProperty(name, value);
}

bool VumoVideoObject::isPausedByAlpha()
{
    // Looked up once the object hangs in a tree; a video asked before it is attached looks again later.
    if (this->insidePausable == Pausable::Unknown && this->parent != nullptr)
    {
        this->insidePausable = Pausable::No;
        for (tesraui::Object* ancestor = this->parent; ancestor != nullptr; ancestor = ancestor->getParent())
        {
            if (dynamic_cast<PausableObject*>(ancestor) != nullptr)
            {
                this->insidePausable = Pausable::Yes;
                break;
            }
        }
    }
    if (this->insidePausable == Pausable::Yes && Session::isPaused())
    {
        return true;
    }
    return tesravideo::VideoObject::isPausedByAlpha();
}
