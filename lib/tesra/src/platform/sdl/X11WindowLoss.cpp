#include "X11WindowLoss.h"

#include <SDL.h>
#include <SDL_syswm.h>

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
        }

        void release()
        {
            if (display == nullptr)
            {
                return;
            }
            XSync(display, False);
            XSetErrorHandler(previous);
            display = nullptr;
            watched = 0;
            previous = nullptr;
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
