#pragma once

namespace tesra
{

    // Receives pointer input from the window. The position of a move is the window's
    // cursor position at the time of the call.
    class MouseDelegate
    {
    public:
        virtual ~MouseDelegate() = default;
        virtual void onMouseDown(int button);
        virtual void onMouseUp(int button);
        virtual void onMouseCancel(int button);
        virtual void onMouseMove();
        virtual void onMouseScroll(float x, float y);
    };

} // namespace tesra
