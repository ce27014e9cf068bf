#pragma once

#include <tesra/InputMode.h>

namespace tesra
{

    class SystemDelegate
    {
    public:
        virtual ~SystemDelegate() = default;
        // Answers whether the close request goes ahead.
        virtual bool onQuit(bool canCancel);
        virtual void onWindowSizeChanged(int width, int height, bool fullscreen);
        virtual void onWindowFocusChanged(bool focused);
        virtual void onInputModeChanged(InputMode inputMode);
        virtual void onVirtualKeyboardChanged(bool visible, float heightRatio);
        virtual void onLowMemoryWarning();
    };

} // namespace tesra
