#include <cmath>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/Slider.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    Slider::Slider(const hstring& name, kavtypes::Rectangle rect) : ImageBox(name, rect) {}

    Slider::~Slider() {}

    Object* Slider::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new Slider(name, rect);
    }

    float Slider::_valueAtCursor() const
    {
        float width = this->rect.w - 4.0f;
        float scale = getDerivedScale().x;
        // A degenerate slider has no range to map the pointer into.
        if (width <= 0.0f || scale == 0.0f)
        {
            return 0.0f;
        }
        float x = (getCursorPosition().x - getDerivedPosition().x) / scale / width;
        return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
    }

    bool Slider::onMouseDown(unsigned int keyCode)
    {
        if (Object::onMouseDown(keyCode))
        {
            return true;
        }
        if (!isCursorInside())
        {
            return false;
        }
        pushed = true;
        value = _valueAtCursor();
        triggerEvent("Set", keyCode);
        return true;
    }

    bool Slider::onMouseMove()
    {
        if (Object::onMouseMove())
        {
            return true;
        }
        if (pushed)
        {
            value = _valueAtCursor();
            triggerEvent("Set", 0u);
        }
        return false;
    }

    bool Slider::onMouseUp(unsigned int keyCode)
    {
        if (Object::onMouseUp(keyCode))
        {
            return true;
        }
        bool result = pushed && isCursorInside();
        pushed = false;
        return result;
    }

    void Slider::_mouseCancel()
    {
        pushed = false;
    }

    void Slider::update(float timeDelta)
    {
        Object::update(timeDelta);
        // The same local mapping as the moves, so that a scaled slider does not jump between the two.
        if (pushed && isPointInside(getCursorPosition()))
        {
            value = _valueAtCursor();
        }
    }

    void Slider::_draw()
    {
        kavtypes::Rectangle r = getDrawRect();
        if (r.w < 5.0f || r.h < 5.0f)
        {
            return;
        }
        if (image == nullptr && dataset != nullptr)
        {
            image = dataset->getImage("null");
        }
        tesra::Color color = getDerivedColor();
        tesra::rendersys->drawFilledRect(r, tesra::Color(255, 255, 255, color.a));
        tesra::rendersys->drawFilledRect(kavtypes::Rectangle(r.x + 1.0f, r.y + 1.0f, r.w - 2.0f, r.h - 2.0f),
                                         tesra::Color(color.r / 4, color.g / 4, color.b / 4, color.a));
        if (image != nullptr)
        {
            image->draw(
                kavtypes::Rectangle(r.x + 1.0f, r.y + 1.0f, std::floor((r.w - 2.0f) * value), r.h - 2.0f),
                color);
        }
    }
} // namespace tesraui
