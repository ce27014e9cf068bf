#include <cmath>

#include <tesraui/Animator.h>
#include <tesraui/Dataset.h>

#include "Calls.h"
#include "CustomAnimator.h"
#include "Host.h"
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
            const hstring call = events.begin()->first + "(" + literal(animator->getFullName()) + ", " +
                                 formatString("%f", time) + ")";
            hstring code = "return " + call;
            tesraui::Dataset* dataset = animator->getDataset();
            Host& host = getHost();
            Scene* scene = host.getActiveScene();
            if ((dataset == nullptr || dataset->getName() != "ui") && scene != nullptr)
            {
                code = "return " + host.getSceneEnvironment(scene) + "." + call;
            }
            harray<hstring> results;
            executeWithReturnValues(code, "", results);
            if (results.size() != 1)
            {
                throw _LuaError("Custom animator function must return exactly one value!, animator: " +
                                    animator->getName(),
                                animator->getFullName(), __FILE__, __LINE__);
            }
            return results[0].toFloat();
        }
        catch (const quortypes::exception& e)
        {
            getHost().showErrorOverlay(e.getMessage());
        }
        // The animator applies no NaN.
        return NAN;
    }
} // namespace LuaInterface
