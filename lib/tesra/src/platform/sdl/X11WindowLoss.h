#pragma once

struct SDL_Window;

namespace tesra
{

    // On X11, a window that another program destroyed makes the next request about it fail, and Xlib's
    // default handler ends the process on the spot. While a window is watched, errors about it (and every
    // error after the first, all of them its consequences) are only noted, so that the main loop can end
    // through its normal end. A connection lost as a whole cannot be outlived: the handler tells
    // tesra::setAbruptEndListener's listener, lets a handler installed before it have its say, and ends the
    // process with Xlib's status 1 without the exit-time teardown of the libraries. Other video drivers watch
    // nothing.
    namespace X11WindowLoss
    {
        void watch(SDL_Window* window);
        // Takes in the errors still on their way while they are noted, then gives the handler back.
        void release();
        // Whether the window was found gone since the last call.
        bool take();
    } // namespace X11WindowLoss

} // namespace tesra
