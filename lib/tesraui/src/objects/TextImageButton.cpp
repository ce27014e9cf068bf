#include <tesraui/TextImageButton.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    TextImageButton::TextImageButton(const hstring& name, kavtypes::Rectangle rect)
        : ImageButton(name, rect), LabelBase()
    {
        text = "TextImageButton: " + name;
    }

    TextImageButton::~TextImageButton() {}

    Object* TextImageButton::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new TextImageButton(name, rect);
    }

    harray<PropertyInfo> TextImageButton::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions = ImageButton::getPropertyDescriptions() + LabelBase::getPropertyDescriptions();
            descriptions.push_back(PropertyInfo("hover_text_color", PropertyInfo::COLOR));
            descriptions.push_back(PropertyInfo("pushed_text_color", PropertyInfo::COLOR));
            descriptions.push_back(PropertyInfo("disabled_text_color", PropertyInfo::COLOR));
        }
        return descriptions;
    }

    void TextImageButton::setHoverTextColor(const tesra::Color& value)
    {
        hoverTextColor = value;
        useHoverTextColor = true;
    }

    void TextImageButton::setPushedTextColor(const tesra::Color& value)
    {
        pushedTextColor = value;
        usePushedTextColor = true;
    }

    void TextImageButton::setDisabledTextColor(const tesra::Color& value)
    {
        disabledTextColor = value;
        useDisabledTextColor = true;
    }

    void TextImageButton::notifyEvent(const hstring& type, void* args)
    {
        LabelBase::notifyEvent(type, args);
        ImageButton::notifyEvent(type, args);
    }

    bool TextImageButton::triggerEvent(const hstring& name, float x, float y, unsigned int keyCode,
                                       const hstring& extra)
    {
        return Object::triggerEvent(name, x, y, keyCode, extra);
    }

    bool TextImageButton::triggerEvent(const hstring& name, int buttonCode, const hstring& extra)
    {
        return Object::triggerEvent(name, buttonCode, extra);
    }

    bool TextImageButton::triggerEvent(const hstring& name, unsigned int keyCode, const hstring& extra)
    {
        return Object::triggerEvent(name, keyCode, extra);
    }

    hstring TextImageButton::getProperty(const hstring& name)
    {
        if (name == "hover_text_color")
        {
            return hoverTextColor.hex();
        }
        if (name == "pushed_text_color")
        {
            return pushedTextColor.hex();
        }
        if (name == "disabled_text_color")
        {
            return disabledTextColor.hex();
        }
        hstring result = ImageButton::getProperty(name);
        return result != "" ? result : LabelBase::getProperty(name);
    }

    bool TextImageButton::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "hover_text_color")
        {
            setHoverTextColor(tesra::Color(value));
            return true;
        }
        if (name == "pushed_text_color")
        {
            setPushedTextColor(tesra::Color(value));
            return true;
        }
        if (name == "disabled_text_color")
        {
            setDisabledTextColor(tesra::Color(value));
            return true;
        }
        return ImageButton::setProperty(name, value) || LabelBase::setProperty(name, value);
    }

    void TextImageButton::_draw()
    {
        ImageButton::_draw();
        tesra::Color savedTextColor = textColor;
        unsigned char savedBackgroundAlpha = backgroundColor.a;
        tesra::Color color = getDerivedColor();
        bool enabled = isDerivedEnabled();
        if (!enabled)
        {
            if (useDisabledTextColor)
            {
                textColor = disabledTextColor;
            }
            else
            {
                color.a = (unsigned char)(color.a * getDisabledAlphaFactor());
            }
        }
        else if (hovered)
        {
            backgroundColor.a = (unsigned char)(backgroundColor.a * 0.75f);
            if (pushed)
            {
                if (usePushedTextColor)
                {
                    textColor = pushedTextColor;
                }
            }
            else if (isHoverEffectEnabled() && useHoverTextColor)
            {
                textColor = hoverTextColor;
            }
        }
        backgroundColor.a = (unsigned char)(backgroundColor.a * getDisabledAlphaFactor());
        _drawLabel(getDrawRect(), color, backgroundColor);
        textColor = savedTextColor;
        backgroundColor.a = savedBackgroundAlpha;
    }
} // namespace tesraui
