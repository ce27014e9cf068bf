#include <quortypes/Log.h>
#include <tesra/ControllerDelegate.h>
#include <tesra/KeyboardDelegate.h>
#include <tesra/MouseDelegate.h>
#include <tesra/SystemDelegate.h>
#include <tesra/TouchDelegate.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

using quortypes::Log;

namespace tesra
{

    void Window::handleMouseEvent(MouseEventType type, float x, float y, int button)
    {
        if (mouseDelegate == nullptr)
        {
            return;
        }
        switch (type)
        {
        case MOUSE_DOWN:
            mouseDelegate->onMouseDown(button);
            break;
        case MOUSE_UP:
            mouseDelegate->onMouseUp(button);
            break;
        case MOUSE_CANCEL:
            mouseDelegate->onMouseCancel(button);
            break;
        case MOUSE_MOVE:
            mouseDelegate->onMouseMove();
            break;
        case MOUSE_SCROLL:
            mouseDelegate->onMouseScroll(x, y);
            break;
        }
    }

    void Window::handleKeyEvent(KeyEventType type, int keyCode, unsigned int charCode)
    {
        if (keyCode == (int)0xFFFFFFFF)
        {
            keyCode = 0;
        }
        if (keyboardDelegate == nullptr)
        {
            return;
        }
        if (keyCode != 0)
        {
            if (type == KEY_DOWN)
            {
                keyboardDelegate->onKeyDown(keyCode);
            }
            else if (type == KEY_UP)
            {
                keyboardDelegate->onKeyUp(keyCode);
            }
            auto it = controllerEmulationKeys.find(keyCode);
            if (it != controllerEmulationKeys.end())
            {
                handleControllerButtonEvent(type != KEY_DOWN ? CONTROLLER_UP : CONTROLLER_DOWN, it->second);
            }
        }
        // Private-use characters come from special keys on some systems and are no text.
        if (type == KEY_DOWN && charCode >= 32 && charCode != 127 &&
            !(charCode >= 0xE000 && charCode <= 0xF8FF))
        {
            keyboardDelegate->onChar(charCode);
        }
    }

    void Window::handleTouchEvent(const harray<kavtypes::Vector2>& touches)
    {
        if (touchDelegate != nullptr)
        {
            touchDelegate->onTouch(touches);
        }
    }

    void Window::handleControllerButtonEvent(ControllerEventType type, int button)
    {
        if (controllerDelegate == nullptr || button == 0)
        {
            return;
        }
        if (type == CONTROLLER_DOWN)
        {
            controllerDelegate->onButtonDown(button);
        }
        else if (type == CONTROLLER_UP)
        {
            controllerDelegate->onButtonUp(button);
        }
    }

    void Window::handleControllerAxisEvent(ControllerEventType, int axis, float value)
    {
        if (controllerDelegate != nullptr)
        {
            controllerDelegate->onControllerAxisChange(axis, value);
        }
    }

    bool Window::handleQuitRequest(bool canCancel)
    {
        return systemDelegate == nullptr || systemDelegate->onQuit(canCancel);
    }

    void Window::handleFocusChangeEvent(bool focused)
    {
        this->focused = focused;
        Log::write(logTag, hstring("Window ") + (focused ? "gained focus." : "lost focus."));
        if (systemDelegate != nullptr)
        {
            systemDelegate->onWindowFocusChanged(focused);
        }
    }

    void Window::handleActivityChangeEvent(bool)
    {
        Log::warn(logTag, name + " does not implement activity change events!");
    }

    void Window::handleVirtualKeyboardChangeEvent(bool visible, float heightRatio)
    {
        virtualKeyboardVisible = visible;
        virtualKeyboardHeightRatio = heightRatio;
        if (systemDelegate != nullptr)
        {
            systemDelegate->onVirtualKeyboardChanged(visible, heightRatio);
        }
    }

    void Window::handleLowMemoryWarning()
    {
        if (systemDelegate != nullptr)
        {
            systemDelegate->onLowMemoryWarning();
        }
    }

} // namespace tesra
