#pragma once

namespace tesraui
{
    class Animator;
}

namespace vumo
{
    namespace LuaInterface
    {
        // The value function of animators driven by a script function: the animator's one event names the
        // function, called with the animator's full name and the time. Failures are reported and give NaN,
        // which the animator does not apply.
        float evaluateCustomAnimator(tesraui::Animator* animator, float time);
    } // namespace LuaInterface
} // namespace vumo
