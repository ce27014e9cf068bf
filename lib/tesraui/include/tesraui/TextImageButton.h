#pragma once

#include <tesraui/ImageButton.h>
#include <tesraui/LabelBase.h>

namespace tesraui
{
    // An image button with a text over its images; the hover, pushed and disabled text colours take
    // effect only once set.
    class TextImageButton : public ImageButton, public LabelBase
    {
    public:
        TextImageButton(const hstring& name, kavtypes::Rectangle rect);
        ~TextImageButton() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "TextImageButton"; }
        Dataset* getDataset() const override { return Object::getDataset(); }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void notifyEvent(const hstring& type, void* args) override;
        bool triggerEvent(const hstring& name, float x, float y, unsigned int keyCode,
                          const hstring& extra = "") override;
        bool triggerEvent(const hstring& name, int buttonCode, const hstring& extra = "") override;
        bool triggerEvent(const hstring& name, unsigned int keyCode, const hstring& extra = "") override;
        bool triggerEventInTurn(const hstring& name, unsigned int keyCode,
                                const hstring& extra = "") override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        const tesra::Color& getHoverTextColor() const { return hoverTextColor; }
        void setHoverTextColor(const tesra::Color& value);
        const tesra::Color& getPushedTextColor() const { return pushedTextColor; }
        void setPushedTextColor(const tesra::Color& value);
        const tesra::Color& getDisabledTextColor() const { return disabledTextColor; }
        void setDisabledTextColor(const tesra::Color& value);

    protected:
        tesra::Color hoverTextColor = tesra::Color(127, 127, 127, 255);
        tesra::Color pushedTextColor = tesra::Color(51, 51, 51, 51);
        tesra::Color disabledTextColor = tesra::Color(127, 127, 127, 255);
        bool useHoverTextColor = false;
        bool usePushedTextColor = false;
        bool useDisabledTextColor = false;

    private:
        static const PropertyTable<TextImageButton>& _properties();
    };
} // namespace tesraui
