#include "X11WindowLoss.h"

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

            // The connection itself is gone (the server ended, or another program killed this client): Xlib
            // ends the process when this returns, wherever the main loop stands. What must be kept is kept
            // here; then whoever handled it before has its say.
            int onIOError(Display* from)
            {
                quortypes::Log::error("tesra", "The connection to the X display was lost, ending at once.");
                AbruptEnd::announce();
                return previousIO != nullptr ? previousIO(from) : 0;
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
            previousIO = XSetIOErrorHandler(onIOError);
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
