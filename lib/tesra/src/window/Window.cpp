#include <chrono>
#include <thread>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesra/ControllerDelegate.h>
#include <tesra/Cursor.h>
#include <tesra/KeyboardDelegate.h>
#include <tesra/MouseDelegate.h>
#include <tesra/RenderSystem.h>
#include <tesra/SystemDelegate.h>
#include <tesra/SystemInfo.h>
#include <tesra/TouchDelegate.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

using quortypes::Log;

namespace tesra
{

    hstring Window::Options::toString() const
    {
        harray<hstring> words;
        if (resizable)
        {
            words.push_back("resizable");
        }
        if (words.empty())
        {
            return "none";
        }
        hstring result = words[0];
        for (int i = 1; i < words.size(); ++i)
        {
            result += "," + words[i];
        }
        return result;
    }

    Window::Window() = default;

    Window::~Window() = default;

    void Window::resetState()
    {
        fps = 0;
        fpsCount = 0;
        fpsTimer = 0.0f;
        fpsResolution = 0.5f;
        multiTouchActive = false;
        cursor = nullptr;
        cursorVisible = false;
        virtualKeyboardVisible = false;
        virtualKeyboardHeightRatio = 0.0f;
        inputMode = InputMode::MOUSE;
    }

    bool Window::create(int width, int height, bool fullscreen, const hstring& title, Options options)
    {
        if (created)
        {
            return false;
        }
        Log::write(logTag, formatString("Creating window: '%s' (%d, %d) %s, '%s', (options: %s)",
                                        name.c_str(), width, height, fullscreen ? "fullscreen" : "windowed",
                                        title.c_str(), options.toString().c_str()));
        this->fullscreen = fullscreen;
        this->title = title;
        this->options = options;
        created = true;
        resetState();
        return true;
    }

    bool Window::destroy()
    {
        if (!created)
        {
            return false;
        }
        Log::write(logTag, formatString("Destroying window '%s'.", name.c_str()));
        created = false;
        resetState();
        updateDelegate = nullptr;
        keyboardDelegate = nullptr;
        mouseDelegate = nullptr;
        touchDelegate = nullptr;
        controllerDelegate = nullptr;
        systemDelegate = nullptr;
        keyEvents.clear();
        mouseEvents.clear();
        touchEvents.clear();
        controllerButtonEvents.clear();
        controllerAxisEvents.clear();
        touches.clear();
        controllerEmulationKeys.clear();
        return true;
    }

    void Window::setTitle(const hstring& title)
    {
        this->title = title;
    }

    bool Window::isCursorVisible() const
    {
        return cursorVisible;
    }

    void Window::setCursorVisible(bool value)
    {
        cursorVisible = value;
        updateCursor();
    }

    void Window::setCursor(Cursor* value)
    {
        cursor = value;
        updateCursor();
    }

    bool Window::isCursorInside() const
    {
        return cursorPosition.x >= 0.0f && cursorPosition.y >= 0.0f && cursorPosition.x < (float)getWidth() &&
               cursorPosition.y < (float)getHeight();
    }

    void Window::setResolution(int, int, bool)
    {
        Log::warn(logTag, formatString("setResolution() is not available in '%s'.", name.c_str()));
    }

    void Window::setResolution(int width, int height)
    {
        setResolution(width, height, fullscreen);
    }

    bool Window::updateOneFrame()
    {
        const float timeDelta = calculateTimeDelta();
        if (!focused)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
        checkEvents();
        const bool result = performUpdate(timeDelta) && running;
        if (options.fpsCounter)
        {
            setTitle(title);
        }
        return result;
    }

    void Window::checkEvents()
    {
        while (!keyEvents.empty())
        {
            const KeyInputEvent event = keyEvents.front();
            keyEvents.erase(keyEvents.begin());
            handleKeyEvent(event.type, event.keyCode, event.charCode);
        }
        kavtypes::Vector2 scroll;
        while (!mouseEvents.empty())
        {
            const MouseInputEvent event = mouseEvents.front();
            mouseEvents.erase(mouseEvents.begin());
            if (event.type != MOUSE_CANCEL && event.type != MOUSE_SCROLL)
            {
                cursorPosition = event.position;
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
            touchEvents.erase(touchEvents.begin());
            handleTouchEvent(event);
        }
        while (!controllerButtonEvents.empty())
        {
            const ControllerButtonInputEvent event = controllerButtonEvents.front();
            controllerButtonEvents.erase(controllerButtonEvents.begin());
            handleControllerButtonEvent(event.type, event.button);
        }
        while (!controllerAxisEvents.empty())
        {
            const ControllerAxisInputEvent event = controllerAxisEvents.front();
            controllerAxisEvents.erase(controllerAxisEvents.begin());
            handleControllerAxisEvent(event.type, event.axis, event.value);
        }
    }

    void Window::terminateMainLoop()
    {
        running = false;
    }

    hstring Window::findCursorFile(const hstring& filename) const
    {
        for (const hstring& extension : cursorExtensions)
        {
            const hstring candidate = filename + extension;
            if (quortypes::Resource::exists(candidate))
            {
                return candidate;
            }
        }
        return "";
    }

    hstring Window::getParam(const hstring&) const
    {
        return "";
    }

    void Window::setParam(const hstring&, const hstring&) {}

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

    void Window::queueKeyEvent(KeyEventType type, int keyCode, unsigned int charCode)
    {
        keyEvents.push_back({type, keyCode, charCode});
    }

    void Window::queueMouseEvent(MouseEventType type, float x, float y, int button)
    {
        mouseEvents.push_back({type, kavtypes::Vector2(x, y), button});
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

    void Window::enterMainLoop()
    {
        fps = 0;
        fpsCount = 0;
        fpsTimer = 0.0f;
        running = true;
        do
        {
            if (!updateOneFrame())
            {
                running = false;
            }
            if (rendersys != nullptr)
            {
                rendersys->presentFrame();
            }
        } while (running);
    }

    bool Window::performUpdate(float timeDelta)
    {
        if (timeDeltaMaxLimit > 0.0f && timeDeltaMaxLimit <= timeDelta)
        {
            timeDelta = timeDeltaMaxLimit;
        }
        fpsTimer += timeDelta;
        if (fpsTimer > 0.0f)
        {
            ++fpsCount;
            if (fpsTimer >= fpsResolution)
            {
                fps = (int)(fpsCount / fpsTimer);
                fpsCount = 0;
                fpsTimer = 0.0f;
            }
        }
        else
        {
            fps = 0;
            fpsCount = 0;
        }
        if (updateDelegate != nullptr)
        {
            return updateDelegate->onUpdate(timeDelta);
        }
        if (rendersys != nullptr)
        {
            rendersys->clear(true, false);
        }
        return true;
    }

    float Window::calculateTimeDelta()
    {
        float result = timer.diff(true);
        if (result > 0.5f)
        {
            result = 0.05f;
        }
        return focused ? result : 0.0f;
    }

    void Window::applyResolution(int width, int height, bool fullscreen)
    {
        Log::write(logTag, formatString("Setting window resolution: (%d,%d); fullscreen: %s", width, height,
                                        fullscreen ? "yes" : "no"));
        if (rendersys != nullptr)
        {
            rendersys->setResolution(width, height, fullscreen);
        }
        if (systemDelegate != nullptr)
        {
            systemDelegate->onWindowSizeChanged(width, height, fullscreen);
        }
    }

    kavtypes::Vector2 Window::getSize() const
    {
        return kavtypes::Vector2((float)getWidth(), (float)getHeight());
    }

    void Window::setFullscreen(bool value)
    {
        const kavtypes::Vector2 resolution = getSystemInfo().displayResolution;
        int width = (int)(resolution.x + (resolution.x >= 0.0f ? 0.5f : -0.5f));
        int height = (int)(resolution.y + (resolution.y >= 0.0f ? 0.5f : -0.5f));
        if (!value)
        {
            width = (int)(width * 0.6666667f);
            height = (int)(height * 0.6666667f);
        }
        setResolution(width, height, value);
        fullscreen = value;
    }

    void Window::setInputMode(InputMode value)
    {
        auto it = inputModeTranslations.find(value);
        if (it != inputModeTranslations.end())
        {
            value = it->second;
        }
        if (value == inputMode)
        {
            return;
        }
        inputMode = value;
        Log::write(logTag, "Changing Input Mode to: " + inputModeName(value));
        if (inputMode == InputMode::CONTROLLER)
        {
            cursorPosition = kavtypes::Vector2(-10000.0f, -10000.0f);
        }
        if (systemDelegate != nullptr)
        {
            systemDelegate->onInputModeChanged(inputMode);
        }
    }

    Cursor* Window::createCursor(const hstring& name)
    {
        const hstring filename = findCursorFile(name);
        if (filename == "")
        {
            return nullptr;
        }
        Cursor* result = createCursorObject();
        if (result != nullptr && !result->load(filename))
        {
            delete result;
            result = nullptr;
        }
        return result;
    }

} // namespace tesra
