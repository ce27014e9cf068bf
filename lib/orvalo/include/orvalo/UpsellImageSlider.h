#pragma once

#include <orvalo/UpsellImageSliderBase.h>

namespace orvalo
{
    // A carousel of six rocking boxes that turns by one image each period.
    class UpsellImageSlider : public UpsellImageSliderBase
    {
    public:
        UpsellImageSlider(const hstring& name, kavtypes::Rectangle rect);
        ~UpsellImageSlider() override;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "UpsellImageSlider"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _updateImages(float timeDelta) override;

    protected:
        float amplitude = 3.0f;
        float speed = 1.0f;

        // The rotator of the box at index takes this share of the speed and starts at this point.
        static float _speedFactor(int index);
        static float _timerStart(int index);
        void _setRotatorSpeeds(float newSpeed);

    private:
        static const PropertyTable<UpsellImageSlider>& _properties();
    };
} // namespace orvalo
