#include <thread>

#include <SDL.h>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

#include "SDL2_Cursor.h"
#include "SDL2_Window.h"
#include "X11WindowLoss.h"

using quortypes::Log;

namespace tesra
{

    SDL2_Window::SDL2_Window()
    {
        name = "SDL2";
        cursorExtensions.push_back(".ani");
        cursorExtensions.push_back(".cur");
    }

    SDL2_Window::~SDL2_Window()
    {
        if (created)
        {
            destroy();
        }
        if (defaultCursor != nullptr)
        {
            SDL_FreeCursor(defaultCursor);
        }
        if (videoInitialized)
        {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    }

    bool SDL2_Window::create(int width, int height, bool fullscreen, const hstring& title, Options options)
    {
        if (!Window::create(width, height, fullscreen, title, options))
        {
            return false;
        }
        if (!videoInitialized)
        {
            // Without this, the last window's close would also arrive as a quit, and a
            // refused close could not keep the program running.
            SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            {
                const hstring error = SDL_GetError();
                Window::destroy();
                throw quortypes::exception("Unable to initialize video: " + error,
                                           "src/platform/sdl/SDL2_Window", __LINE__);
            }
            videoInitialized = true;
        }
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        const bool depth = rendersys != nullptr && rendersys->getOptions().depthBuffer;
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth ? 16 : 0);
        Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
        if (options.resizable)
        {
            flags |= SDL_WINDOW_RESIZABLE;
        }
        if (fullscreen)
        {
            flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
        }
        sdlWindow = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                     height, flags);
        if (sdlWindow == nullptr)
        {
            const hstring error = SDL_GetError();
            Window::destroy();
            throw quortypes::exception("Unable to create window: " + error, "src/platform/sdl/SDL2_Window",
                                       __LINE__);
        }
        glContext = SDL_GL_CreateContext(sdlWindow);
        if (glContext == nullptr)
        {
            const hstring error = SDL_GetError();
            SDL_DestroyWindow(sdlWindow);
            sdlWindow = nullptr;
            Window::destroy();
            throw quortypes::exception("Unable to create OpenGL context: " + error,
                                       "src/platform/sdl/SDL2_Window", __LINE__);
        }
        SDL_GL_MakeCurrent(sdlWindow, glContext);
        X11WindowLoss::watch(sdlWindow);
        SDL_DisplayMode mode;
        refreshRate = 60;
        if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(sdlWindow), &mode) == 0 &&
            mode.refresh_rate > 0)
        {
            refreshRate = mode.refresh_rate;
        }
        framePeriod = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / refreshRate));
        lastPresent = std::chrono::steady_clock::now();
        ratePresents = 0;
        rateStart = lastPresent;
        pacedBySleeping = SDL_GL_SetSwapInterval(1) != 0;
        if (pacedBySleeping)
        {
            Log::warn(logTag, formatString("Vertical sync is not available (%s), frames are paced to %d Hz.",
                                           SDL_GetError(), refreshRate));
        }
        SDL_StartTextInput();
        if (defaultCursor == nullptr)
        {
            defaultCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        }
        shownTitle = title;
        buttonPressed = false;
        moveCount = 0;
        heldButtons = 0;
        altHeld = false;
        mouseOutside = false;
        appliedWidth = getWidth();
        appliedHeight = getHeight();
        setCursorVisible(true);
        fpsCounter = options.fpsCounter;
        return true;
    }

    bool SDL2_Window::destroy()
    {
        if (!Window::destroy())
        {
            return false;
        }
        if (heldButtons != 0)
        {
            SDL_CaptureMouse(SDL_FALSE);
            heldButtons = 0;
        }
        SDL_StopTextInput();
        if (glContext != nullptr)
        {
            SDL_GL_DeleteContext(glContext);
            glContext = nullptr;
        }
        if (sdlWindow != nullptr)
        {
            SDL_DestroyWindow(sdlWindow);
            sdlWindow = nullptr;
        }
        X11WindowLoss::release();
        return true;
    }

    void SDL2_Window::setTitle(const hstring& title)
    {
        hstring text = title;
        if (fpsCounter)
        {
            text += formatString(" [FPS: %d]", fps);
            if (text == shownTitle)
            {
                return;
            }
        }
        shownTitle = text;
        if (sdlWindow != nullptr)
        {
            SDL_SetWindowTitle(sdlWindow, text.c_str());
        }
        this->title = title;
    }

    bool SDL2_Window::isCursorVisible() const
    {
        return cursorVisible || !isCursorInside();
    }

    void SDL2_Window::setResolution(int width, int height, bool fullscreen)
    {
        if (sdlWindow == nullptr ||
            (fullscreen == this->fullscreen && width == getWidth() && height == getHeight()))
        {
            return;
        }
        const bool leavingFullscreen = this->fullscreen && !fullscreen;
        if (fullscreen)
        {
            SDL_SetWindowSize(sdlWindow, width, height);
            SDL_SetWindowFullscreen(sdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
        }
        else
        {
            if (leavingFullscreen)
            {
                SDL_SetWindowFullscreen(sdlWindow, 0);
            }
            // A window that stays windowed keeps its top-left corner.
            SDL_SetWindowSize(sdlWindow, width, height);
            if (leavingFullscreen)
            {
                SDL_SetWindowPosition(sdlWindow, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
            }
        }
        this->fullscreen = fullscreen;
        appliedWidth = getWidth();
        appliedHeight = getHeight();
        applyResolution(appliedWidth, appliedHeight, fullscreen);
    }

    int SDL2_Window::getWidth() const
    {
        int width = 0;
        if (sdlWindow != nullptr)
        {
            SDL_GetWindowSize(sdlWindow, &width, nullptr);
        }
        return width;
    }

    int SDL2_Window::getHeight() const
    {
        int height = 0;
        if (sdlWindow != nullptr)
        {
            SDL_GetWindowSize(sdlWindow, nullptr, &height);
        }
        return height;
    }

    void* SDL2_Window::getBackendId() const
    {
        return sdlWindow;
    }

    void SDL2_Window::presentFrame()
    {
        if (sdlWindow == nullptr || glContext == nullptr)
        {
            return;
        }
        SDL_GL_SwapWindow(sdlWindow);
        const auto now = std::chrono::steady_clock::now();
        if (!pacedBySleeping)
        {
            // Some drivers accept vertical sync and still return from every swap at once (an offscreen
            // EGL surface). The loop would then make thousands of frames a second, faster than a software
            // renderer draws them, and its queue of frames still to draw would grow until destroying the
            // context at exit waits for all of them.
            lastPresent = now;
            ++ratePresents;
            const std::chrono::duration<double> measured = now - rateStart;
            if (measured.count() < 0.25)
            {
                return;
            }
            if (ratePresents > 1.5 * refreshRate * measured.count())
            {
                pacedBySleeping = true;
                Log::warn(logTag, formatString("Vertical sync does not hold frames back, frames are paced to "
                                               "%d Hz.",
                                               refreshRate));
            }
            ratePresents = 0;
            rateStart = now;
            return;
        }
        // Without vertical sync the loop would spin as fast as the processor allows.
        const auto target = lastPresent + framePeriod;
        if (now < target)
        {
            std::this_thread::sleep_until(target);
            lastPresent = target;
        }
        else
        {
            lastPresent = now;
        }
    }

    bool SDL2_Window::updateOneFrame()
    {
        readCursorPosition();
        checkEvents();
        SDL2_Cursor* animated = dynamic_cast<SDL2_Cursor*>(cursor);
        if (animated != nullptr && animated->isAnimated())
        {
            updateCursor();
        }
        return Window::updateOneFrame();
    }

    Cursor* SDL2_Window::createCursorObject()
    {
        return new SDL2_Cursor();
    }

    void SDL2_Window::updateCursor()
    {
        if (sdlWindow == nullptr)
        {
            return;
        }
        if (!cursorVisible)
        {
            SDL_ShowCursor(SDL_DISABLE);
            return;
        }
        SDL_ShowCursor(SDL_ENABLE);
        SDL_Cursor* wanted = nullptr;
        SDL2_Cursor* sdlCursor = dynamic_cast<SDL2_Cursor*>(cursor);
        if (sdlCursor != nullptr)
        {
            wanted = sdlCursor->frameAt(SDL_GetTicks64());
        }
        if (wanted == nullptr)
        {
            wanted = defaultCursor;
        }
        if (wanted != nullptr && wanted != SDL_GetCursor())
        {
            SDL_SetCursor(wanted);
        }
    }

} // namespace tesra
