#pragma once

#include <quortypes/PropertyTable.h>
#include <tesraui/ImageBox.h>

namespace tesraui
{
    class EventArgs;
}

namespace vumo
{
    // A picture the player is to find. A click with nothing held sets its variable to its value, raises
    // "Found" and resets the scene; a click with an item held refuses the item. On touch devices it reacts
    // to a larger area than it covers.
    class HiddenObject : public tesraui::ImageBox
    {
    public:
        HiddenObject(const hstring& name, kavtypes::Rectangle rect);
        ~HiddenObject() override = default;
        // Also sets the hit factor for the idiom of the UI: 1.5 on tablets, 2.0 on phones.
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        // Engine-wide: how much larger than drawn every hidden object's hit area is.
        static float getHitFactor();
        static void setHitFactor(float value);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "HiddenObject"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool isPointInside(kavtypes::Vector2 point) override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        bool isPressed() const { return this->pressed; }

    protected:
        hstring item;
        hstring var;
        hstring value = "0";
        bool pressed = false;

        // The base test with the object scaled by the hit factor about its centre.
        bool isPointInsideScaled(kavtypes::Vector2 point);
        void found();

        static void onItemUseFail(tesraui::EventArgs* args);

    private:
        static const PropertyTable<HiddenObject>& _properties();
    };
} // namespace vumo
