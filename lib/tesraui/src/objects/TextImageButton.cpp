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

    const PropertyTable<TextImageButton>& TextImageButton::_properties()
    {
        using Row = PropertyTable<TextImageButton>::Row;
        const auto colorRow = [](const char* name, tesra::Color TextImageButton::*field,
                                 void (TextImageButton::*set)(const tesra::Color&))
        {
            return Row(
                name, PropertyInfo::COLOR, [field](TextImageButton& button) { return (button.*field).hex(); },
                [set](TextImageButton& button, const hstring& value) { (button.*set)(tesra::Color(value)); });
        };
        static const PropertyTable<TextImageButton> table = {
            colorRow("hover_text_color", &TextImageButton::hoverTextColor,
                     &TextImageButton::setHoverTextColor),
            colorRow("pushed_text_color", &TextImageButton::pushedTextColor,
                     &TextImageButton::setPushedTextColor),
            colorRow("disabled_text_color", &TextImageButton::disabledTextColor,
                     &TextImageButton::setDisabledTextColor),
        };
        return table;
    }

    // The image button's, then the text block's, then its own.
    harray<PropertyInfo> TextImageButton::getPropertyDescriptions() const
    {
        return _properties().describeAfter(ImageButton::getPropertyDescriptions() +
                                           LabelBase::getPropertyDescriptions());
    }

    // The image button answers first, then the text block.
    QUORTYPES_PROPERTY_TABLE_GET_SET_TWO_BASES(TextImageButton, ImageButton, LabelBase, _properties)

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

    bool TextImageButton::triggerEventInTurn(const hstring& name, unsigned int keyCode, const hstring& extra)
    {
        return Object::triggerEventInTurn(name, keyCode, extra);
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
