#include "X11Windows.h"

#include <chrono>
#include <thread>

// Its macros (None, Status, Bool) stay in this file.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace harness
{
    namespace
    {
        XID findTitled(Display* display, XID window, const std::string& title)
        {
            char* name = nullptr;
            if (XFetchName(display, window, &name) != 0 && name != nullptr)
            {
                const bool same = (title == name);
                XFree(name);
                if (same)
                {
                    return window;
                }
            }
            XID root = 0;
            XID parent = 0;
            XID* children = nullptr;
            unsigned int count = 0;
            XID found = 0;
            if (XQueryTree(display, window, &root, &parent, &children, &count) != 0)
            {
                for (unsigned int i = 0; i < count && found == 0; ++i)
                {
                    found = findTitled(display, children[i], title);
                }
                if (children != nullptr)
                {
                    XFree(children);
                }
            }
            return found;
        }

        // Waits up to the given seconds for the window to show, then acts on it.
        bool actOnWindowTitled(const std::string& title, double seconds, void (*act)(Display*, XID))
        {
            Display* display = XOpenDisplay(nullptr);
            if (display == nullptr)
            {
                return false;
            }
            const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
            XID window = 0;
            while (window == 0 && std::chrono::steady_clock::now() < end)
            {
                window = findTitled(display, DefaultRootWindow(display), title);
                if (window == 0)
                {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            }
            if (window != 0)
            {
                act(display, window);
                XSync(display, False);
            }
            XCloseDisplay(display);
            return window != 0;
        }
    } // namespace

    bool destroyWindowTitled(const std::string& title, double seconds)
    {
        return actOnWindowTitled(title, seconds,
                                 [](Display* display, XID window) { XDestroyWindow(display, window); });
    }

    bool killClientOfWindowTitled(const std::string& title, double seconds)
    {
        return actOnWindowTitled(title, seconds,
                                 [](Display* display, XID window) { XKillClient(display, window); });
    }
} // namespace harness
