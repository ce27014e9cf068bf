#pragma once

namespace tesra
{

    class ControllerDelegate
    {
    public:
        virtual ~ControllerDelegate() = default;
        virtual void onButtonDown(int button) = 0;
        virtual void onButtonUp(int button) = 0;
        virtual void onControllerAxisChange(int axis, float value) = 0;
    };

} // namespace tesra
