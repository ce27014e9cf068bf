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
