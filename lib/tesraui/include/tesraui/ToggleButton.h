#pragma once

#include <tesraui/ImageButton.h>

namespace tesraui
{
    // An image button that flips its toggled flag on every release it reports handled, and shows a second
    // set of images while toggled.
    class ToggleButton : public ImageButton
    {
    public:
        ToggleButton(const hstring& name, kavtypes::Rectangle rect);
        ~ToggleButton() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "ToggleButton"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool onMouseUp(unsigned int keyCode) override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        bool isToggled() const { return toggled; }
        void setToggled(bool value) { toggled = value; }
        Image* getToggledImage() const { return toggledImage; }
        Image* getToggledHoverImage() const { return toggledHoverImage; }
        Image* getToggledPushedImage() const { return toggledPushedImage; }
        Image* getToggledDisabledImage() const { return toggledDisabledImage; }

    protected:
        bool toggled = false;
        HeldImage toggledImage;
        HeldImage toggledHoverImage;
        HeldImage toggledPushedImage;
        HeldImage toggledDisabledImage;
        hstring toggledImageName;
        hstring toggledHoverImageName;
        hstring toggledPushedImageName;
        hstring toggledDisabledImageName;

        void _letGo() override
        {
            ImageButton::_letGo();
            this->toggledImage = nullptr;
            this->toggledHoverImage = nullptr;
            this->toggledPushedImage = nullptr;
            this->toggledDisabledImage = nullptr;
        }
        // Exchanges the plain and toggled image sets.
        void _swapImages();

    private:
        static const PropertyTable<ToggleButton>& _properties();
    };
} // namespace tesraui
