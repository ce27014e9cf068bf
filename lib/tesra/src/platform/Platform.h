#pragma once

#include <map>
#include <memory>

#include <quortypes/hstring.h>
#include <tesra/tesra.h>

namespace tesra
{
    class RenderSystem;
    class Window;
} // namespace tesra

// What the library needs of the operating system and the window toolkit; each
// platform folder implements these.
namespace tesra::platform
{

    std::unique_ptr<Window> createWindow();
    std::unique_ptr<RenderSystem> createRenderSystem();

    // The platform's name and processor architecture for the start-up log line.
    hstring name();
    hstring architecture();

    // Shows a box with the given button set and style bits; answers the button that was
    // pressed (a MessageBoxButton), or another value when the box failed. A button with a caption
    // shows it in place of its default label.
    int showMessageBox(const hstring& title, const hstring& text, int buttons, int style,
                       const std::map<MessageBoxButton, hstring>& captions);

    enum class InstanceLock
    {
        ACQUIRED,
        HELD_ELSEWHERE,
        FAILED
    };
    InstanceLock acquireInstanceLock(const hstring& name);
    void releaseInstanceLock();

} // namespace tesra::platform
