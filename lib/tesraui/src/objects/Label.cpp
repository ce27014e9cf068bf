#include <tesraui/Label.h>

namespace tesraui
{
    Label::Label(const hstring& name, kavtypes::Rectangle rect) : Object(name, rect), LabelBase()
    {
        text = "Label: " + name;
    }

    Label::~Label() {}

    Object* Label::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new Label(name, rect);
    }

    harray<PropertyInfo> Label::getPropertyDescriptions() const
    {
        static harray<PropertyInfo> descriptions;
        if (descriptions.size() == 0)
        {
            descriptions = Object::getPropertyDescriptions() + LabelBase::getPropertyDescriptions();
        }
        return descriptions;
    }

    void Label::notifyEvent(const hstring& type, void* args)
    {
        Object::notifyEvent(type, args);
        LabelBase::notifyEvent(type, args);
    }

    bool Label::triggerEvent(const hstring& name, float x, float y, unsigned int keyCode,
                             const hstring& extra)
    {
        return Object::triggerEvent(name, x, y, keyCode, extra);
    }

    bool Label::triggerEvent(const hstring& name, int buttonCode, const hstring& extra)
    {
        return Object::triggerEvent(name, buttonCode, extra);
    }

    bool Label::triggerEvent(const hstring& name, unsigned int keyCode, const hstring& extra)
    {
        return Object::triggerEvent(name, keyCode, extra);
    }

    bool Label::triggerEventInTurn(const hstring& name, unsigned int keyCode, const hstring& extra)
    {
        return Object::triggerEventInTurn(name, keyCode, extra);
    }

    bool Label::onMouseDown(unsigned int keyCode)
    {
        return Object::onMouseDown(keyCode) || _triggerClickEvent("MouseDown", keyCode);
    }

    bool Label::onMouseUp(unsigned int keyCode)
    {
        return Object::onMouseUp(keyCode) || _triggerClickEvent("Click", keyCode);
    }

    hstring Label::getProperty(const hstring& name)
    {
        hstring result = Object::getProperty(name);
        return result != "" ? result : LabelBase::getProperty(name);
    }

    bool Label::setProperty(const hstring& name, const hstring& value)
    {
        return Object::setProperty(name, value) || LabelBase::setProperty(name, value);
    }

    void Label::_draw()
    {
        float factor = getDisabledAlphaFactor();
        tesra::Color color = getDerivedColor();
        color.a = (unsigned char)(color.a * factor);
        tesra::Color background = backgroundColor;
        background.a = (unsigned char)(background.a * factor);
        _drawLabel(getDrawRect(), color, background);
    }
} // namespace tesraui
