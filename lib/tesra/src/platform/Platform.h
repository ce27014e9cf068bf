#pragma once

#include <quortypes/hstring.h>

namespace tesra
{
    class RenderSystem;
    class Window;
} // namespace tesra

// What the library needs of the operating system and the window toolkit; each
// platform folder implements these.
namespace tesra::platform
{

    Window* createWindow();
    RenderSystem* createRenderSystem();

    // The platform's name and processor architecture for the start-up log line.
    hstring name();
    hstring architecture();

    // Shows a box with the given button set and style bits; answers the button that was
    // pressed (a MessageBoxButton), or another value when the box failed.
    int showMessageBox(const hstring& title, const hstring& text, int buttons, int style);

    enum class InstanceLock
    {
        ACQUIRED,
        HELD_ELSEWHERE,
        FAILED
    };
    InstanceLock acquireInstanceLock(const hstring& name);
    void releaseInstanceLock();

} // namespace tesra::platform
