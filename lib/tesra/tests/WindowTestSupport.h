#pragma once

#include <dlfcn.h>
#include <link.h>

#include <functional>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include <quortypes/Log.h>
#include <tesra/KeyboardDelegate.h>
#include <tesra/MouseDelegate.h>
#include <tesra/SystemDelegate.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/tesra.h>

namespace testing_support
{

    // SDL unloads the GL driver before the leak check runs, which then reports the
    // driver's memory from an unknown module; keeping every library loaded avoids that.
    inline void keepLoadedLibraries()
    {
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void*)
            {
                if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                {
                    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                }
                return 0;
            },
            nullptr);
    }

    inline std::vector<std::string>& logLines()
    {
        static std::vector<std::string> lines;
        return lines;
    }

    inline void recordLog(const hstring& tag, const hstring& text)
    {
        logLines().push_back(tag + ": " + text);
    }

    inline bool logContains(const std::string& text)
    {
        for (const std::string& line : logLines())
        {
            if (line.find(text) != std::string::npos)
            {
                return true;
            }
        }
        return false;
    }

    // Writes down every delegate call in order.
    class Recorder : public tesra::MouseDelegate,
                     public tesra::KeyboardDelegate,
                     public tesra::SystemDelegate,
                     public tesra::UpdateDelegate
    {
    public:
        std::vector<std::string> calls;
        std::vector<float> deltas;
        bool acceptQuit = true;
        int framesLeft = -1; // -1 runs until something else ends the loop
        std::function<void(int)> onFrame;

        std::string at() const
        {
            const kavtypes::Vector2 p = tesra::window->getCursorPosition();
            return " at " + std::to_string((int)p.x) + "," + std::to_string((int)p.y);
        }
        void onMouseDown(int button) override
        {
            calls.push_back("mouse down " + std::to_string(button) + at());
        }
        void onMouseUp(int button) override { calls.push_back("mouse up " + std::to_string(button) + at()); }
        void onMouseCancel(int button) override { calls.push_back("mouse cancel " + std::to_string(button)); }
        void onMouseMove() override { calls.push_back("mouse move" + at()); }
        void onMouseScroll(float x, float y) override
        {
            calls.push_back("scroll " + std::to_string((int)x) + "," + std::to_string((int)y));
        }
        void onKeyDown(int key) override { calls.push_back("key down " + std::to_string(key)); }
        void onKeyUp(int key) override { calls.push_back("key up " + std::to_string(key)); }
        void onChar(unsigned int c) override { calls.push_back("char " + std::to_string(c)); }
        bool onQuit(bool canCancel) override
        {
            calls.push_back(std::string("quit ") + (canCancel ? "cancellable" : "final"));
            return acceptQuit;
        }
        void onWindowSizeChanged(int width, int height, bool fullscreen) override
        {
            calls.push_back("size " + std::to_string(width) + "x" + std::to_string(height) +
                            (fullscreen ? " fullscreen" : " windowed"));
        }
        void onWindowFocusChanged(bool focused) override { calls.push_back(focused ? "focus" : "no focus"); }
        void onInputModeChanged(tesra::InputMode mode) override
        {
            calls.push_back("input mode " + tesra::inputModeName(mode) + at());
        }
        bool onUpdate(float timeDelta) override
        {
            deltas.push_back(timeDelta);
            if (onFrame)
            {
                onFrame((int)deltas.size());
            }
            if (framesLeft > 0)
            {
                --framesLeft;
            }
            return framesLeft != 0;
        }
    };

    // A real window on the headless display with an OpenGL context.
    class WindowTest : public ::testing::Test
    {
    protected:
        void SetUp() override { SetUpWindow(tesra::Window::Options()); }
        void SetUpWindow(tesra::Window::Options options)
        {
            logLines().clear();
            quortypes::Log::setCallback(recordLog);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(320, 240, false, "Test title", options);
            keepLoadedLibraries();
            window = tesra::window;
            window->setMouseDelegate(&recorder);
            window->setKeyboardDelegate(&recorder);
            window->setSystemDelegate(&recorder);
            window->setUpdateDelegate(&recorder);
            // Events of the window's own creation are no part of any test.
            SDL_PumpEvents();
            SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        }
        void TearDown() override
        {
            tesra::destroy();
            quortypes::Log::setCallback(nullptr);
        }
        SDL_Window* sdlWindow() const { return (SDL_Window*)window->getBackendId(); }
        Uint32 windowId() const { return SDL_GetWindowID(sdlWindow()); }

        void pushKey(Uint32 type, SDL_Keycode key, SDL_Scancode scancode, Uint16 mod = 0)
        {
            SDL_Event event{};
            event.type = type;
            event.key.windowID = windowId();
            event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.key.keysym.sym = key;
            event.key.keysym.scancode = scancode;
            event.key.keysym.mod = mod;
            SDL_PushEvent(&event);
        }
        void pushText(const char* text)
        {
            SDL_Event event{};
            event.type = SDL_TEXTINPUT;
            event.text.windowID = windowId();
            SDL_strlcpy(event.text.text, text, sizeof(event.text.text));
            SDL_PushEvent(&event);
        }
        void pushMotion(int x, int y)
        {
            SDL_Event event{};
            event.type = SDL_MOUSEMOTION;
            event.motion.windowID = windowId();
            event.motion.x = x;
            event.motion.y = y;
            SDL_PushEvent(&event);
        }
        void pushButton(Uint32 type, Uint8 button, int x, int y)
        {
            SDL_Event event{};
            event.type = type;
            event.button.windowID = windowId();
            event.button.button = button;
            event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
            event.button.x = x;
            event.button.y = y;
            SDL_PushEvent(&event);
        }
        void pushWheel(float x, float y, Uint32 direction = SDL_MOUSEWHEEL_NORMAL)
        {
            SDL_Event event{};
            event.type = SDL_MOUSEWHEEL;
            event.wheel.windowID = windowId();
            event.wheel.x = (Sint32)x;
            event.wheel.y = (Sint32)y;
            event.wheel.preciseX = x;
            event.wheel.preciseY = y;
            event.wheel.direction = direction;
            SDL_PushEvent(&event);
        }
        void pushFinger(Uint32 type, SDL_FingerID finger, float x, float y)
        {
            SDL_Event event{};
            event.type = type;
            event.tfinger.touchId = 1;
            event.tfinger.fingerId = finger;
            event.tfinger.x = x;
            event.tfinger.y = y;
            event.tfinger.windowID = windowId();
            SDL_PushEvent(&event);
        }
        void pushWindowEvent(Uint8 kind)
        {
            SDL_Event event{};
            event.type = SDL_WINDOWEVENT;
            event.window.windowID = windowId();
            event.window.event = kind;
            SDL_PushEvent(&event);
        }

        tesra::Window* window = nullptr;
        Recorder recorder;
    };

} // namespace testing_support
