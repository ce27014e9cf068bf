#pragma once

#include <functional>
#include <string>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

#include <tesra/KeyboardDelegate.h>
#include <tesra/MouseDelegate.h>
#include <tesra/SystemDelegate.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/tesra.h>

#include "GLTestSupport.h"
#include "LogCapture.h"

namespace testsupport
{
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
        std::function<bool(int)> onFrame; // given the frame's number, answers whether the loop goes on

        static std::string n(float value) { return std::to_string((int)value); }
        std::string at() const
        {
            const kavtypes::Vector2 p = tesra::window->getCursorPosition();
            return " at " + n(p.x) + "," + n(p.y);
        }
        void onMouseDown(int button) override { calls.push_back("mouse down " + n(button) + at()); }
        void onMouseUp(int button) override { calls.push_back("mouse up " + n(button) + at()); }
        void onMouseCancel(int button) override { calls.push_back("mouse cancel " + n(button)); }
        void onMouseMove() override { calls.push_back("mouse move" + at()); }
        void onMouseScroll(float x, float y) override { calls.push_back("scroll " + n(x) + "," + n(y)); }
        void onKeyDown(int key) override { calls.push_back("key down " + n(key)); }
        void onKeyUp(int key) override { calls.push_back("key up " + n(key)); }
        void onChar(unsigned int c) override { calls.push_back("char " + std::to_string(c)); }
        bool onQuit(bool canCancel) override
        {
            calls.push_back(std::string("quit ") + (canCancel ? "cancellable" : "final"));
            return acceptQuit;
        }
        void onWindowSizeChanged(int width, int height, bool fullscreen) override
        {
            calls.push_back("size " + n(width) + "x" + n(height) +
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
            return !onFrame || onFrame((int)deltas.size());
        }
    };

    // The library with a 320 x 240 window whose delegates write down their calls.
    class WindowTest : public ::testing::Test
    {
    protected:
        void SetUp() override { SetUpWindow(tesra::Window::Options()); }
        void SetUpWindow(tesra::Window::Options options)
        {
            context = std::make_unique<GLContext>(320, 240, "Test title", options);
            window = tesra::window;
            window->setMouseDelegate(&recorder);
            window->setKeyboardDelegate(&recorder);
            window->setSystemDelegate(&recorder);
            window->setUpdateDelegate(&recorder);
            // Events of the window's own creation are no part of any test.
            SDL_PumpEvents();
            SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        }
        void TearDown() override { context.reset(); }
        SDL_Window* sdlWindow() const { return (SDL_Window*)window->getBackendId(); }
        Uint32 id() const { return SDL_GetWindowID(sdlWindow()); }

        template <class E> static void push(E SDL_Event::*member, const E& value)
        {
            SDL_Event event{};
            event.*member = value;
            SDL_PushEvent(&event);
        }
        void pushKey(Uint32 type, SDL_Keycode key, SDL_Scancode code, Uint16 mod = 0)
        {
            push(&SDL_Event::key, {type, 0, id(), 0, 0, 0, 0, {code, key, mod, 0}});
        }
        void pushText(const char* text)
        {
            SDL_TextInputEvent event{SDL_TEXTINPUT, 0, id(), {}};
            SDL_strlcpy(event.text, text, sizeof(event.text));
            push(&SDL_Event::text, event);
        }
        void pushMotion(int x, int y)
        {
            push(&SDL_Event::motion, {SDL_MOUSEMOTION, 0, id(), 0, 0, x, y, 0, 0});
        }
        void pushButton(Uint32 type, Uint8 button, int x, int y)
        {
            push(&SDL_Event::button, {type, 0, id(), 0, button, 0, 1, 0, x, y});
        }
        void pushWheel(float x, float y, Uint32 direction = SDL_MOUSEWHEEL_NORMAL)
        {
            push(&SDL_Event::wheel,
                 {SDL_MOUSEWHEEL, 0, id(), 0, (Sint32)x, (Sint32)y, direction, x, y, 0, 0});
        }
        void pushFinger(Uint32 type, SDL_FingerID finger, float x, float y)
        {
            push(&SDL_Event::tfinger, {type, 0, 1, finger, x, y, 0, 0, 0, id()});
        }
        void pushWindowEvent(Uint8 kind)
        {
            push(&SDL_Event::window, {SDL_WINDOWEVENT, 0, id(), kind, 0, 0, 0, 0, 0});
        }

        LogCapture log;
        std::unique_ptr<GLContext> context;
        tesra::Window* window = nullptr;
        Recorder recorder;
    };

} // namespace testsupport
