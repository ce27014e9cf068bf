#include "VumoVideoObject.h"

#include <tesravideo/TheoraVideoClip.h>

#include "PausableObject.h"
#include "Session.h"
#include "GameUiHost.h"

namespace vumo
{
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

    // The video object lists "speed" already; this one keeps a speed of its own under the debug factor.
    const PropertyTable<VumoVideoObject>& VumoVideoObject::_properties()
    {
        static const PropertyTable<VumoVideoObject> table = {
            {"speed", PropertyInfo::FLOAT, [](VumoVideoObject& video) { return hstring(video.ownSpeed); },
             [](VumoVideoObject& video, const hstring& value)
             {
                 video.ownSpeed = (float)PropertyInfo::heldWithin(value.toFloat(), -maxSpeed, maxSpeed);
                 video.setSpeed(video._effectiveSpeed());
             }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_GET_SET(VumoVideoObject, tesravideo::VideoObject, _properties)

    bool VumoVideoObject::isPausedByAlpha()
    {
        // Looked up once the object hangs in a tree; a video asked before it is attached looks again later.
        if (this->insidePausable == Pausable::Unknown && this->parent != nullptr)
        {
            this->insidePausable = Pausable::No;
            for (tesraui::Object* ancestor = this->parent; ancestor != nullptr;
                 ancestor = ancestor->getParent())
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
} // namespace vumo
