#include <quortypes/Log.h>
#include <tesra/ControllerDelegate.h>
#include <tesra/KeyboardDelegate.h>
#include <tesra/MouseDelegate.h>
#include <tesra/SystemDelegate.h>
#include <tesra/TouchDelegate.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/tesra.h>

using quortypes::Log;

namespace tesra
{

    void MouseDelegate::onMouseDown(int)
    {
        Log::debug(logTag, "Event onMouseDown() was not implemented.");
    }
    void MouseDelegate::onMouseUp(int)
    {
        Log::debug(logTag, "Event onMouseUp() was not implemented.");
    }
    void MouseDelegate::onMouseCancel(int)
    {
        Log::debug(logTag, "Event onMouseCancel() was not implemented.");
    }
    void MouseDelegate::onMouseMove()
    {
        Log::debug(logTag, "Event onMouseMove() was not implemented.");
    }
    void MouseDelegate::onMouseScroll(float, float)
    {
        Log::debug(logTag, "Event onMouseScroll() was not implemented.");
    }

    void KeyboardDelegate::onKeyDown(int)
    {
        Log::debug(logTag, "Event onKeyDown() was not implemented.");
    }
    void KeyboardDelegate::onKeyUp(int)
    {
        Log::debug(logTag, "Event onKeyUp() was not implemented.");
    }
    void KeyboardDelegate::onChar(unsigned int)
    {
        Log::debug(logTag, "Event onChar() was not implemented.");
    }

    void TouchDelegate::onTouch(const harray<kavtypes::Vector2>&)
    {
        Log::debug(logTag, "Event onTouch() was not implemented.");
    }

    bool UpdateDelegate::onUpdate(float)
    {
        Log::debug(logTag, "Event onUpdate() was not implemented.");
        return false;
    }

    bool SystemDelegate::onQuit(bool)
    {
        Log::debug(logTag, "Event onQuit() was not implemented.");
        return true;
    }
    void SystemDelegate::onWindowSizeChanged(int, int, bool)
    {
        Log::debug(logTag, "Event onWindowSizeChanged() was not implemented.");
    }
    void SystemDelegate::onWindowFocusChanged(bool)
    {
        Log::debug(logTag, "Event onWindowFocusChanged() was not implemented.");
    }
    void SystemDelegate::onInputModeChanged(InputMode)
    {
        Log::debug(logTag, "Event onInputModeChanged() was not implemented.");
    }
    void SystemDelegate::onVirtualKeyboardChanged(bool, float)
    {
        Log::debug(logTag, "Event onVirtualKeyboardChanged() was not implemented.");
    }
    void SystemDelegate::onLowMemoryWarning()
    {
        Log::debug(logTag, "Event onLowMemoryWarning() was not implemented.");
    }

    hstring inputModeName(InputMode mode)
    {
        switch (mode)
        {
        case InputMode::MOUSE:
            return "MOUSE";
        case InputMode::TOUCH:
            return "TOUCH";
        case InputMode::CONTROLLER:
            return "CONTROLLER";
        }
        return "UNDEFINED";
    }

} // namespace tesra
