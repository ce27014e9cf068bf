#include <chrono>
#include <thread>

#include <quortypes/Log.h>
#include <tesra/RenderSystem.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

namespace tesra
{

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

    void Window::terminateMainLoop()
    {
        running = false;
        endRequested = true;
    }

    // One frame, in this order (docs/maintainers.md follows it into the engine):
    //  1. Window::checkEvents: the platform window polls its events into the input queues and hands them to
    //     the delegates; in the player that is VumoTesraEventDelegate, which passes them to the game's UI.
    //  2. Window::performUpdate: the frame time (0 while the window has no focus, a stall over half a second
    //     counted as 0.05) goes to the update delegate, the player's VumoTesraEventDelegate::onUpdate, which
    //     caps it at 0.1 seconds and runs the game's UI:
    //  3. UI::update: the debug tools, the zoom, the message boxes, the UI library's queued events, object
    //     updates and textures; then, unless the error overlay stands,
    //  4. Session::update: queued scripts, the active scene, dialogs, the transition, audio, looping sounds,
    //     colour images and the autosave clock, followed by the hook "ui.update";
    //  5. UI::draw: the UI's tree, with the viewport and the active scene in it, and the debug tools; then
    //     the delegate frees what scripts destroyed during the frame;
    //  6. RenderSystem::presentFrame: the picture is shown; at most two frames wait for the renderer;
    //  7. Log::flush: the frame's log lines are written out.
    // A throw out of a delegate ends the player in its fatal error box; nothing is caught here.
    void Window::enterMainLoop()
    {
        fps = 0;
        fpsCount = 0;
        fpsTimer = 0.0f;
        running = !endRequested;
        while (running)
        {
            if (!updateOneFrame())
            {
                running = false;
            }
            if (rendersys != nullptr)
            {
                rendersys->presentFrame();
            }
            // The frame's log lines wait until here, so that logging costs no write of its own.
            quortypes::Log::flush();
        }
        endRequested = false;
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

} // namespace tesra
