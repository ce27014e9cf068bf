#pragma once

struct SDL_Window;

namespace tesra
{

    // On X11, a window that another program destroyed makes the next request about it fail, and Xlib's
    // default handler ends the process on the spot. While a window is watched, errors about it (and every
    // error after the first, all of them its consequences) are only noted, so that the main loop can end
    // through its normal end. A connection lost as a whole cannot be outlived (Xlib ends the process after
    // its handler): the handler tells tesra::setAbruptEndListener's listener first. Other video drivers watch
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
