#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesra/Cursor.h>
#include <tesra/RenderSystem.h>
#include <tesra/SystemDelegate.h>
#include <tesra/SystemInfo.h>
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
        pressClicks = 1;
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

    hstring Window::findCursorFile(const hstring& filename) const
    {
        // A folder's entries ("arrow.cur") already carry their extension: such a name is taken as it is.
        for (const hstring& extension : cursorExtensions)
        {
            if (filename.endsWith(extension) && quortypes::Resource::exists(filename))
            {
                return filename;
            }
        }
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

    std::unique_ptr<Cursor> Window::createCursor(const hstring& name)
    {
        const hstring filename = findCursorFile(name);
        if (filename == "")
        {
            return nullptr;
        }
        std::unique_ptr<Cursor> result(createCursorObject());
        if (result != nullptr && !result->load(filename))
        {
            return nullptr;
        }
        return result;
    }

} // namespace tesra
