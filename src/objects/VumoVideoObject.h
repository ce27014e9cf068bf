#pragma once

#include <quortypes/PropertyTable.h>
#include <tesravideo/VideoObject.h>

namespace vumo
{
    // The game's video object: a playback speed of its own, scaled by the debug speed key for videos with
    // sound, and a clock that stands while the session is paused when the video lies under a pausable object.
    class VumoVideoObject : public tesravideo::VideoObject
    {
    public:
        VumoVideoObject(const hstring& name, kavtypes::Rectangle rect);
        ~VumoVideoObject() override;

        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        bool isPausedByAlpha() override;

        // The debug UI's game speed; 1 until that UI exists.
        static float getGameSpeedFactor();

    protected:
        enum class Pausable
        {
            Unknown,
            Yes,
            No
        };

        float ownSpeed = 1.0f;
        Pausable insidePausable = Pausable::Unknown;

        float _effectiveSpeed() const;

    private:
        static const PropertyTable<VumoVideoObject>& _properties();
    };
} // namespace vumo
