#include <lua.hpp>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "Calls.h"
#include "Events.h"
#include "objects/DelayedCall.h"

namespace vumo
{
    namespace LuaInterface
    {
        void createDelayedCall(lua_State* L, tesraui::Object* parent, Scene* scene)
        {
            const int callbackType = lua_type(L, 1);
            const bool callable =
                (callbackType == LUA_TSTRING || callbackType == LUA_TNUMBER || callbackType == LUA_TFUNCTION);
            if (!callable || lua_type(L, 2) != LUA_TNUMBER)
            {
                raiseLuaError(
                    L, "error calling delayedCall(), must be called with either a string or a function "
                       "argument, folowed by a float delay");
            }
            tesraui::Dataset* dataset = parent->getDataset();
            if (dataset == nullptr)
            {
                raiseLuaError(L, "error calling delayedCall(), parent object '" + parent->getName() +
                                     "' belongs to no dataset");
            }
            const float delay = (float)lua_tonumber(L, 2);
            tesraui::Event* event = nullptr;
            if (callbackType == LUA_TFUNCTION)
            {
                lua_remove(L, 2);
                event = makeFunctionEvent(L, 1);
            }
            else
            {
                event = new LuaCallbackEvent(toString(L, 1), dataset->getName() == "ui" ? nullptr : scene);
            }
            DelayedCall* call =
                new DelayedCall(tesra::generateName("DelayedCall"), kavtypes::Rectangle(0, 0, 1, 1));
            call->setDelay(delay);
            call->setEnabled(true);
            call->registerEvent("callback", event);
            dataset->registerObjects(call);
            parent->addChild(call);
        }
    } // namespace LuaInterface
} // namespace vumo
