#include <tesraui/CallbackObject.h>

namespace tesraui
{
    CallbackObject::CallbackObject(const hstring& name, kavtypes::Rectangle rect) : Object(name, rect) {}

    CallbackObject::~CallbackObject() {}

    Object* CallbackObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new CallbackObject(name, rect);
    }

    bool CallbackObject::onMouseDown(unsigned int keyCode)
    {
        return Object::onMouseDown(keyCode) || _triggerClickEvent("MouseDown", keyCode);
    }

    bool CallbackObject::onMouseUp(unsigned int keyCode)
    {
        return Object::onMouseUp(keyCode) || _triggerClickEvent("Click", keyCode);
    }

    bool CallbackObject::onMouseMove()
    {
        if (Object::onMouseMove())
        {
            return true;
        }
        if (_acceptsInput() && isCursorInside())
        {
            triggerEvent("MouseMove", 0u);
        }
        return false;
    }

    bool CallbackObject::onMouseScroll(float x, float y)
    {
        if (Object::onMouseScroll(x, y))
        {
            return true;
        }
        if (_acceptsInput() && isCursorInside())
        {
            triggerEvent("MouseScroll", x, y, 0u);
        }
        return false;
    }

    void CallbackObject::_mouseCancel()
    {
        triggerEvent("MouseCancel", 0u);
    }

    void CallbackObject::update(float timeDelta)
    {
        if (updateCallback != nullptr)
        {
            // The host's function may destroy this very object.
            LifeToken::Watch alive = watchLife();
            updateCallback(timeDelta);
            if (!alive.isAlive())
            {
                return;
            }
        }
        Object::update(timeDelta);
    }

    void CallbackObject::_draw()
    {
        if (drawCallback != nullptr)
        {
            drawCallback(this);
        }
    }
} // namespace tesraui
