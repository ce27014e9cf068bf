#include <utility>

#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ToggleButton.h>

namespace tesraui
{
    ToggleButton::ToggleButton(const hstring& name, kavtypes::Rectangle rect) : ImageButton(name, rect) {}

    ToggleButton::~ToggleButton() {}

    Object* ToggleButton::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ToggleButton(name, rect);
    }

    const PropertyTable<ToggleButton>& ToggleButton::_properties()
    {
        using Row = PropertyTable<ToggleButton>::Row;
        // A name it holds already changes nothing; without a dataset a warning, and nothing changes.
        const auto imageRow =
            [](const char* name, HeldImage ToggleButton::*image, hstring ToggleButton::*imageName)
        {
            return Row(
                name, PropertyInfo::STRING, [imageName](ToggleButton& button) { return button.*imageName; },
                [image, imageName](ToggleButton& button, const hstring& value)
                {
                    Image* found = nullptr;
                    if (value != button.*imageName && button._imageByName(value, found))
                    {
                        button.*image = found;
                        button.*imageName = (found != nullptr ? found->getFullName() : hstring("null"));
                    }
                });
        };
        static const PropertyTable<ToggleButton> table = {
            imageRow("toggled_image", &ToggleButton::toggledImage, &ToggleButton::toggledImageName),
            imageRow("toggled_hover_image", &ToggleButton::toggledHoverImage,
                     &ToggleButton::toggledHoverImageName),
            imageRow("toggled_pushed_image", &ToggleButton::toggledPushedImage,
                     &ToggleButton::toggledPushedImageName),
            imageRow("toggled_disabled_image", &ToggleButton::toggledDisabledImage,
                     &ToggleButton::toggledDisabledImageName),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ToggleButton, ImageButton, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(ToggleButton, ImageButton, _properties)

    bool ToggleButton::onMouseUp(unsigned int keyCode)
    {
        bool result = ImageButton::onMouseUp(keyCode);
        if (result)
        {
            toggled = !toggled;
        }
        return result;
    }

    void ToggleButton::_swapImages()
    {
        std::swap(normalImage, toggledImage);
        std::swap(hoverImage, toggledHoverImage);
        std::swap(pushedImage, toggledPushedImage);
        std::swap(disabledImage, toggledDisabledImage);
    }

    void ToggleButton::update(float timeDelta)
    {
        ButtonBase::update(timeDelta);
        // The images go back before the children update, which may delete this button.
        bool swapped = toggled;
        if (swapped)
        {
            _swapImages();
        }
        _chooseImage();
        if (swapped)
        {
            _swapImages();
        }
        Object::update(timeDelta);
    }

    void ToggleButton::_draw()
    {
        if (!toggled)
        {
            ImageButton::_draw();
            return;
        }
        _swapImages();
        ImageButton::_draw();
        _swapImages();
    }

} // namespace tesraui
