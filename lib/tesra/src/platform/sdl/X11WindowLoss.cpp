#include "X11WindowLoss.h"

#include <cstdio>
#include <cstdlib>

#include <SDL.h>
#include <SDL_syswm.h>
#include <quortypes/Log.h>

#include "system/AbruptEnd.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace tesra
{

    namespace X11WindowLoss
    {
#if defined(SDL_VIDEO_DRIVER_X11)
        namespace
        {
            Display* display = nullptr;
            XID watched = 0;
            XErrorHandler previous = nullptr;
            XIOErrorHandler previousIO = nullptr;
            // Xlib's own, which reports the loss on the standard error and calls exit().
            XIOErrorHandler xlibDefaultIO = nullptr;
            bool lost = false;
            bool noted = false;

            int onError(Display* from, XErrorEvent* error)
            {
                if (lost || error->resourceid == watched)
                {
                    noted = noted || !lost;
                    lost = true;
                    return 0;
                }
                return previous != nullptr ? previous(from, error) : 0;
            }

            // The connection itself is gone (the server ended, or another program killed this client): the
            // process cannot go on, wherever the main loop stands. What must be kept is kept here; then a
            // handler someone installed before has its say. Xlib's own would call exit(), as Xlib does when a
            // handler returns, while Xlib still holds the display's lock: every library's exit-time teardown
            // would run under that lock (the GL dispatch library's takes its own lock there, against the
            // order in which making the window took the two). The process ends here instead, with Xlib's
            // status, once the output is out.
            int onIOError(Display* from)
            {
                quortypes::Log::error("tesra", "The connection to the X display was lost, ending at once.");
                AbruptEnd::announce();
                if (previousIO != nullptr && previousIO != xlibDefaultIO)
                {
                    previousIO(from);
                }
                std::fflush(nullptr);
                std::_Exit(1);
            }
        } // namespace

        void watch(SDL_Window* window)
        {
            SDL_SysWMinfo info;
            SDL_VERSION(&info.version);
            if (display != nullptr || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
            {
                return;
            }
            display = info.info.x11.display;
            watched = info.info.x11.window;
            lost = false;
            noted = false;
            previous = XSetErrorHandler(onError);
            // Setting none puts Xlib's own back and answers what was there; setting ours then answers Xlib's.
            previousIO = XSetIOErrorHandler(nullptr);
            xlibDefaultIO = XSetIOErrorHandler(onIOError);
        }

        void release()
        {
            if (display == nullptr)
            {
                return;
            }
            XSync(display, False);
            XSetErrorHandler(previous);
            XSetIOErrorHandler(previousIO);
            display = nullptr;
            watched = 0;
            previous = nullptr;
            previousIO = nullptr;
        }

        bool take()
        {
            const bool result = noted;
            noted = false;
            return result;
        }
#else
        void watch(SDL_Window*) {}
        void release() {}
        bool take()
        {
            return false;
        }
#endif
    } // namespace X11WindowLoss

} // namespace tesra
