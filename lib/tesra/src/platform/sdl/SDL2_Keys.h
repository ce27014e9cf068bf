#pragma once

namespace tesra
{

    // The Win32 virtual-key code of an SDL key, 0 for keys without one. Letters and
    // digits follow the keyboard layout; punctuation keys follow their position on a
    // US keyboard.
    int virtualKeyFromSdl(int keycode, int scancode);

} // namespace tesra
