#pragma once

namespace tesra
{

    // Receives keys as Win32 virtual-key codes and characters as Unicode code points.
    class KeyboardDelegate
    {
    public:
        virtual ~KeyboardDelegate() = default;
        virtual void onKeyDown(int keyCode);
        virtual void onKeyUp(int keyCode);
        virtual void onChar(unsigned int charCode);
    };

} // namespace tesra
