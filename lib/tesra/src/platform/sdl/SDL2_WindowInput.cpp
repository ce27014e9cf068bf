#include <cmath>

#include <SDL.h>

#include <quortypes/Log.h>
#include <tesra/tesra.h>

#include "SDL2_Keys.h"
#include "SDL2_Window.h"
#include "X11WindowLoss.h"

using quortypes::Log;

// The window's input: SDL's events turned into the engine's key, pointer, touch and window events.
namespace tesra
{

    namespace
    {
        constexpr int keyAlt = 0x12;
        constexpr int keyF4 = 0x73;
        constexpr int keyF10 = 0x79;
        // A two-finger tap: both fingers lifted within this time (ms) and moved no further
        // than this part of the touch surface.
        constexpr uint32_t maxTapDuration = 500;
        constexpr float maxTapMovement = 0.02f;

        // Decodes UTF-8 text input into code points; a broken sequence is skipped byte by byte.
        harray<unsigned int> decodeUtf8(const char* text)
        {
            harray<unsigned int> result;
            const unsigned char* p = (const unsigned char*)text;
            while (*p != 0)
            {
                unsigned int c = *p;
                int extra = 0;
                if (c < 0x80)
                {
                    extra = 0;
                }
                else if ((c & 0xE0) == 0xC0)
                {
                    extra = 1;
                    c &= 0x1F;
                }
                else if ((c & 0xF0) == 0xE0)
                {
                    extra = 2;
                    c &= 0x0F;
                }
                else if ((c & 0xF8) == 0xF0)
                {
                    extra = 3;
                    c &= 0x07;
                }
                else
                {
                    ++p;
                    continue;
                }
                int i = 1;
                for (; i <= extra; ++i)
                {
                    if ((p[i] & 0xC0) != 0x80)
                    {
                        break;
                    }
                    c = (c << 6) | (p[i] & 0x3F);
                }
                if (i <= extra)
                {
                    ++p;
                    continue;
                }
                result.push_back(c);
                p += extra + 1;
            }
            return result;
        }

        int mouseButton(Uint8 sdlButton)
        {
            switch (sdlButton)
            {
            case SDL_BUTTON_LEFT:
                return 1;
            case SDL_BUTTON_RIGHT:
                return 2;
            }
            return 0;
        }
    } // namespace

    void SDL2_Window::readCursorPosition()
    {
        // Inside the window every motion arrives as an event; outside it (and not
        // captured by a held button) the position is asked of the desktop, so that it
        // may lie outside the client area.
        if (sdlWindow == nullptr || !mouseOutside || heldButtons != 0)
        {
            return;
        }
        int x = 0;
        int y = 0;
        int windowX = 0;
        int windowY = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(sdlWindow, &windowX, &windowY);
        cursorPosition = kavtypes::Vector2((float)(x - windowX), (float)(y - windowY));
        pointerPosition = cursorPosition;
    }

    void SDL2_Window::checkEvents()
    {
        // Nothing can be shown any more: the game ends as a termination signal ends it, with its save.
        if (X11WindowLoss::take())
        {
            Log::warn(logTag, "The window was destroyed by another program, ending.");
            handleQuitRequest(false);
            terminateMainLoop();
        }
        SDL_Event event;
        for (int i = 0; i < 100 && sdlWindow != nullptr && SDL_PollEvent(&event); ++i)
        {
            processEvent(event);
        }
        Window::checkEvents();
    }

    void SDL2_Window::requestClose()
    {
        if (handleQuitRequest(true))
        {
            terminateMainLoop();
        }
    }

    void SDL2_Window::processEvent(const SDL_Event& event)
    {
        const Uint32 id = SDL_GetWindowID(sdlWindow);
        switch (event.type)
        {
        case SDL_QUIT:
            requestClose();
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID == id)
            {
                processWindowEvent(event);
            }
            break;
        case SDL_KEYDOWN:
        {
            const int key = virtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
            if (key == keyAlt)
            {
                altHeld = true;
                queueKeyEvent(KEY_DOWN, keyAlt, 0);
            }
            else if (key == keyF4 && (altHeld || (event.key.keysym.mod & KMOD_ALT) != 0))
            {
                requestClose();
            }
            else if ((event.key.keysym.mod & KMOD_ALT) != 0)
            {
                // Keys pressed with Alt held are system key combinations, no input.
            }
            else if (key == keyF10)
            {
                // F10 is the menu key of the system and never reaches the application.
            }
            else if (key != 0)
            {
                queueKeyEvent(KEY_DOWN, key, 0);
            }
            break;
        }
        case SDL_KEYUP:
        {
            const int key = virtualKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
            if (key == keyAlt)
            {
                altHeld = false;
            }
            if (key != 0)
            {
                queueKeyEvent(KEY_UP, key, 0);
            }
            break;
        }
        case SDL_TEXTINPUT:
            for (unsigned int c : decodeUtf8(event.text.text))
            {
                queueKeyEvent(KEY_DOWN, 0, c);
            }
            break;
        case SDL_MOUSEMOTION:
            if (!buttonPressed && ++moveCount > 10)
            {
                setInputMode(InputMode::MOUSE);
            }
            pointerPosition = kavtypes::Vector2((float)event.motion.x, (float)event.motion.y);
            queueMouseEvent(MOUSE_MOVE, pointerPosition.x, pointerPosition.y, 0);
            break;
        case SDL_MOUSEBUTTONDOWN:
        {
            const int button = mouseButton(event.button.button);
            if (button == 0)
            {
                break;
            }
            moveCount = 0;
            buttonPressed = true;
            pointerPosition = kavtypes::Vector2((float)event.button.x, (float)event.button.y);
            queueMouseEvent(MOUSE_DOWN, pointerPosition.x, pointerPosition.y, button, event.button.clicks);
            if (!fullscreen && heldButtons == 0)
            {
                SDL_CaptureMouse(SDL_TRUE);
            }
            heldButtons |= button;
            break;
        }
        case SDL_MOUSEBUTTONUP:
        {
            const int button = mouseButton(event.button.button);
            if (button == 0)
            {
                break;
            }
            buttonPressed = false;
            pointerPosition = kavtypes::Vector2((float)event.button.x, (float)event.button.y);
            queueMouseEvent(MOUSE_UP, pointerPosition.x, pointerPosition.y, button);
            const int wasHeld = heldButtons;
            heldButtons &= ~button;
            if (!fullscreen && wasHeld != 0 && heldButtons == 0)
            {
                SDL_CaptureMouse(SDL_FALSE);
            }
            break;
        }
        case SDL_MOUSEWHEEL:
        {
            float x = event.wheel.preciseX != 0.0f ? event.wheel.preciseX : (float)event.wheel.x;
            float y = event.wheel.preciseY != 0.0f ? event.wheel.preciseY : (float)event.wheel.y;
            if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED)
            {
                x = -x;
                y = -y;
            }
            const bool shift = (SDL_GetModState() & KMOD_SHIFT) != 0;
            if (y != 0.0f)
            {
                queueMouseEvent(MOUSE_SCROLL, shift ? -y : 0.0f, shift ? 0.0f : -y, 0);
            }
            if (x != 0.0f)
            {
                queueMouseEvent(MOUSE_SCROLL, shift ? 0.0f : -x, shift ? -x : 0.0f, 0);
            }
            break;
        }
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP:
            processFingerEvent(event);
            break;
        case SDL_APP_LOWMEMORY:
            handleLowMemoryWarning();
            break;
        default:
            break;
        }
    }

    void SDL2_Window::processWindowEvent(const SDL_Event& event)
    {
        switch (event.window.event)
        {
        case SDL_WINDOWEVENT_CLOSE:
            requestClose();
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            handleFocusChangeEvent(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // The release of a key held while the focus goes (Alt of Alt+Tab) never arrives.
            altHeld = false;
            handleFocusChangeEvent(false);
            break;
        case SDL_WINDOWEVENT_ENTER:
            mouseOutside = false;
            break;
        case SDL_WINDOWEVENT_LEAVE:
            mouseOutside = true;
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // Sizes the window set itself were applied already.
            if (!fullscreen && (event.window.data1 != appliedWidth || event.window.data2 != appliedHeight))
            {
                appliedWidth = event.window.data1;
                appliedHeight = event.window.data2;
                applyResolution(appliedWidth, appliedHeight, fullscreen);
            }
            break;
        default:
            break;
        }
    }

    void SDL2_Window::processFingerEvent(const SDL_Event& event)
    {
        // A single finger already arrives as the left mouse button; two fingers that
        // touch and lift again without moving are the tap that stands for button 7.
        const int64_t id = (int64_t)event.tfinger.fingerId;
        const kavtypes::Vector2 position(event.tfinger.x, event.tfinger.y);
        if (event.type == SDL_FINGERDOWN)
        {
            buttonPressed = true;
            setInputMode(InputMode::TOUCH);
            fingers[id] = position;
            if (fingers.size() == 2)
            {
                tapCandidate = true;
                tapStart = event.tfinger.timestamp;
                tapOrigins = fingers;
            }
            else if (fingers.size() > 2)
            {
                tapCandidate = false;
            }
        }
        else if (event.type == SDL_FINGERMOTION)
        {
            fingers[id] = position;
            auto origin = tapOrigins.find(id);
            if (tapCandidate && origin != tapOrigins.end() &&
                (fabsf(position.x - origin->second.x) > maxTapMovement ||
                 fabsf(position.y - origin->second.y) > maxTapMovement))
            {
                tapCandidate = false;
            }
        }
        else
        {
            fingers.erase(id);
            if (fingers.empty())
            {
                if (tapCandidate && event.tfinger.timestamp - tapStart <= maxTapDuration)
                {
                    queueMouseEvent(MOUSE_DOWN, pointerPosition.x, pointerPosition.y, 7);
                    queueMouseEvent(MOUSE_UP, pointerPosition.x, pointerPosition.y, 7);
                }
                tapCandidate = false;
                tapOrigins.clear();
                buttonPressed = false;
            }
        }
    }

} // namespace tesra
