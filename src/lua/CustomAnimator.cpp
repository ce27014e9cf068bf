#include <cmath>

#include <tesraui/Animator.h>
#include <tesraui/Dataset.h>

#include "Calls.h"
#include "CustomAnimator.h"
#include "Host.h"
#include "HookCalls.h"
#include "LuaInterface.h"

namespace LuaInterface
{
    float evaluateCustomAnimator(tesraui::Animator* animator, float time)
    {
        // A script's mistake must not end the game: it is reported and the animator keeps its value.
        try
        {
            const hdict<tesraui::Event*>& events = animator->getEvents();
            if (events.size() != 1)
            {
                throw _LuaError("Animator with custom Lua function needs to have one event assigned: " +
                                    animator->getName(),
                                animator->getFullName(), __FILE__, __LINE__);
            }
            const hstring& function = events.begin()->first;
            tesraui::Dataset* dataset = animator->getDataset();
            Host& host = getHost();
            Scene* scene = host.getActiveScene();
            const hstring path = ((dataset == nullptr || dataset->getName() != "ui") && scene != nullptr
                                      ? host.getSceneEnvironment(scene) + "." + function
                                      : function);
            const hstring fullName = animator->getFullName();
            auto makeCode = [&]()
            { return "return " + path + "(" + literal(fullName) + ", " + formatString("%f", time) + ")"; };
            HookText text;
            text.tailCall = true;
            text.make = [&makeCode](hstring& code, hstring&) { code = makeCode(); };
            int count = 0;
            float value = NAN;
            if (callPathFunction(path, fullName, time, text, count, value) != HookCall::Called)
            {
                harray<hstring> results;
                executeWithReturnValues(makeCode(), "", results);
                count = results.size();
                value = (count == 1 ? results[0].toFloat() : NAN);
            }
            if (count != 1)
            {
                throw _LuaError("Custom animator function must return exactly one value!, animator: " +
                                    animator->getName(),
                                animator->getFullName(), __FILE__, __LINE__);
            }
            return value;
        }
        catch (const quortypes::exception& e)
        {
            getHost().showErrorOverlay(e.getMessage());
        }
        // The animator applies no NaN.
        return NAN;
    }
} // namespace LuaInterface
