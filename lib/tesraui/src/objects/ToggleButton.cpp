#include <utility>

#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ToggleButton.h>

namespace tesraui
{
    namespace
    {
        const char* const imageProperties[4] = {"toggled_image", "toggled_hover_image",
                                                "toggled_pushed_image", "toggled_disabled_image"};

        int imageProperty(const hstring& name)
        {
            for (int i = 0; i < 4; ++i)
            {
                if (name == imageProperties[i])
                {
                    return i;
                }
            }
            return -1;
        }
    } // namespace

    ToggleButton::ToggleButton(const hstring& name, kavtypes::Rectangle rect) : ImageButton(name, rect) {}

    ToggleButton::~ToggleButton() {}

    Object* ToggleButton::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ToggleButton(name, rect);
    }

    harray<PropertyInfo> ToggleButton::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions = ImageButton::getPropertyDescriptions();
            for (const char* name : imageProperties)
            {
                descriptions.push_back(PropertyInfo(name, PropertyInfo::STRING));
            }
        }
        return descriptions;
    }

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

    hstring ToggleButton::getProperty(const hstring& name)
    {
        const hstring* names[4] = {&toggledImageName, &toggledHoverImageName, &toggledPushedImageName,
                                   &toggledDisabledImageName};
        int index = imageProperty(name);
        return index >= 0 ? *names[index] : ImageButton::getProperty(name);
    }

    bool ToggleButton::setProperty(const hstring& name, const hstring& value)
    {
        int index = imageProperty(name);
        if (index < 0)
        {
            return ImageButton::setProperty(name, value);
        }
        HeldImage* images[4] = {&toggledImage, &toggledHoverImage, &toggledPushedImage,
                                &toggledDisabledImage};
        hstring* names[4] = {&toggledImageName, &toggledHoverImageName, &toggledPushedImageName,
                             &toggledDisabledImageName};
        Image* image = nullptr;
        if (value != *names[index] && _imageByName(value, image))
        {
            *images[index] = image;
            *names[index] = (image != nullptr ? image->getFullName() : hstring("null"));
        }
        return true;
    }
} // namespace tesraui
