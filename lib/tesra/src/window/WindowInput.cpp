#include <algorithm>

#include <quortypes/Log.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

#include "system/TerminationSignals.h"

namespace tesra
{

    void Window::checkEvents()
    {
        // A termination signal is no close the program may refuse: the quit is told that it cannot be
        // cancelled, and the loop ends after this frame either way.
        const int signal = TerminationSignals::take();
        if (signal != 0)
        {
            quortypes::Log::write(logTag, formatString("Ending on signal %d.", signal));
            handleQuitRequest(false);
            terminateMainLoop();
        }
        while (!keyEvents.empty())
        {
            const KeyInputEvent event = keyEvents.front();
            keyEvents.pop_front();
            handleKeyEvent(event.type, event.keyCode, event.charCode);
        }
        kavtypes::Vector2 scroll;
        while (!mouseEvents.empty())
        {
            const MouseInputEvent event = mouseEvents.front();
            mouseEvents.pop_front();
            if (event.type != MOUSE_CANCEL && event.type != MOUSE_SCROLL)
            {
                cursorPosition = event.position;
            }
            if (event.type == MOUSE_DOWN)
            {
                pressClicks = std::max(event.clicks, 1);
            }
            const bool nextSameType = !mouseEvents.empty() && mouseEvents.front().type == event.type;
            if (event.type == MOUSE_SCROLL)
            {
                scroll.x += event.position.x;
                scroll.y += event.position.y;
                if (!nextSameType)
                {
                    handleMouseEvent(MOUSE_SCROLL, scroll.x, scroll.y, event.button);
                    scroll = kavtypes::Vector2();
                }
            }
            else if (event.type != MOUSE_MOVE || !nextSameType)
            {
                handleMouseEvent(event.type, event.position.x, event.position.y, event.button);
            }
        }
        while (!touchEvents.empty())
        {
            const harray<kavtypes::Vector2> event = touchEvents.front();
            touchEvents.pop_front();
            handleTouchEvent(event);
        }
        while (!controllerButtonEvents.empty())
        {
            const ControllerButtonInputEvent event = controllerButtonEvents.front();
            controllerButtonEvents.pop_front();
            handleControllerButtonEvent(event.type, event.button);
        }
        while (!controllerAxisEvents.empty())
        {
            const ControllerAxisInputEvent event = controllerAxisEvents.front();
            controllerAxisEvents.pop_front();
            handleControllerAxisEvent(event.type, event.axis, event.value);
        }
    }

    void Window::queueKeyEvent(KeyEventType type, int keyCode, unsigned int charCode)
    {
        keyEvents.push_back({type, keyCode, charCode});
    }

    void Window::queueMouseEvent(MouseEventType type, float x, float y, int button, int clicks)
    {
        mouseEvents.push_back({type, kavtypes::Vector2(x, y), button, clicks});
    }

    void Window::queueTouchEvent(TouchEventType type, float x, float y, int index)
    {
        const int previousCount = (int)touches.size();
        if (type == TOUCH_DOWN)
        {
            if (index < previousCount)
            {
                return;
            }
            touches.push_back(kavtypes::Vector2(x, y));
        }
        else
        {
            if (index < 0 || index >= previousCount)
            {
                return;
            }
            if (type == TOUCH_MOVE)
            {
                touches[index] = kavtypes::Vector2(x, y);
            }
            else
            {
                touches.erase(touches.begin() + index);
                if (type == TOUCH_CANCEL && touches.empty())
                {
                    multiTouchActive = false;
                    return;
                }
            }
        }
        bool singleFingerMouse = false;
        if (!multiTouchActive)
        {
            if (touches.size() <= 1)
            {
                queueMouseEvent((MouseEventType)type, x, y, 1);
                singleFingerMouse = true;
            }
            else if (previousCount == 1)
            {
                queueMouseEvent(MOUSE_CANCEL, x, y, 1);
            }
        }
        if (!singleFingerMouse)
        {
            multiTouchActive = !touches.empty();
        }
        touchEvents.clear();
        touchEvents.push_back(touches);
    }

    void Window::queueControllerButtonEvent(ControllerEventType type, int button)
    {
        controllerButtonEvents.push_back({type, button});
    }

    void Window::queueControllerAxisEvent(ControllerEventType type, int axis, float value)
    {
        controllerAxisEvents.push_back({type, axis, value});
    }

} // namespace tesra
