#include <tesraui/TextImageButton.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    TextImageButton::TextImageButton(const hstring& name, kavtypes::Rectangle rect)
        : ImageButton(name, rect), LabelBase()
    {
        this->text = "TextImageButton: " + name;
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
        this->hoverTextColor = value;
        this->useHoverTextColor = true;
    }

    void TextImageButton::setPushedTextColor(const tesra::Color& value)
    {
        this->pushedTextColor = value;
        this->usePushedTextColor = true;
    }

    void TextImageButton::setDisabledTextColor(const tesra::Color& value)
    {
        this->disabledTextColor = value;
        this->useDisabledTextColor = true;
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
            return this->hoverTextColor.hex();
        }
        if (name == "pushed_text_color")
        {
            return this->pushedTextColor.hex();
        }
        if (name == "disabled_text_color")
        {
            return this->disabledTextColor.hex();
        }
        hstring result = ImageButton::getProperty(name);
        return result != "" ? result : LabelBase::getProperty(name);
    }

    bool TextImageButton::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "hover_text_color")
        {
            this->setHoverTextColor(tesra::Color(value));
            return true;
        }
        if (name == "pushed_text_color")
        {
            this->setPushedTextColor(tesra::Color(value));
            return true;
        }
        if (name == "disabled_text_color")
        {
            this->setDisabledTextColor(tesra::Color(value));
            return true;
        }
        return ImageButton::setProperty(name, value) || LabelBase::setProperty(name, value);
    }

    void TextImageButton::_draw()
    {
        ImageButton::_draw();
        tesra::Color savedTextColor = this->textColor;
        unsigned char savedBackgroundAlpha = this->backgroundColor.a;
        tesra::Color color = this->getDerivedColor();
        bool enabled = this->isDerivedEnabled();
        if (!enabled)
        {
            if (this->useDisabledTextColor)
            {
                this->textColor = this->disabledTextColor;
            }
            else
            {
                color.a = (unsigned char)(color.a * this->getDisabledAlphaFactor());
            }
        }
        else if (this->hovered)
        {
            this->backgroundColor.a = (unsigned char)(this->backgroundColor.a * 0.75f);
            if (this->pushed)
            {
                if (this->usePushedTextColor)
                {
                    this->textColor = this->pushedTextColor;
                }
            }
            else if (isHoverEffectEnabled() && this->useHoverTextColor)
            {
                this->textColor = this->hoverTextColor;
            }
        }
        this->backgroundColor.a = (unsigned char)(this->backgroundColor.a * this->getDisabledAlphaFactor());
        this->_drawLabel(this->getDrawRect(), color, this->backgroundColor);
        this->textColor = savedTextColor;
        this->backgroundColor.a = savedBackgroundAlpha;
    }
} // namespace tesraui
