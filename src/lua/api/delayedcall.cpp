#include <lua.hpp>
#include <quortypes/Log.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Object.h>

#include "delayedcall.h"
#include "lua/Calls.h"
#include "lua/Events.h"
#include "lua/LuaInterface.h"
#include "objects/DelayedCall.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // A delay below 0 never runs out, so the call never runs. That is what such a delay means, but it
            // is rarely what the script meant: each place in the scripts that asks for one is told once, also
            // when it asks again every frame.
            void warnNeverRuns(lua_State* L, float delay)
            {
                luaL_where(L, 1);
                const hstring where = toString(L, -1);
                lua_pop(L, 1);
                // The engine's own tables, read and written raw: a script reaches the registry through
                // `debug`, and a metamethod it gave it would run here.
                lua_pushliteral(L, "vumo.delayedCallsNeverRun");
                lua_rawget(L, LUA_REGISTRYINDEX);
                if (!lua_istable(L, -1))
                {
                    lua_pop(L, 1);
                    lua_newtable(L);
                    lua_pushliteral(L, "vumo.delayedCallsNeverRun");
                    lua_pushvalue(L, -2);
                    lua_rawset(L, LUA_REGISTRYINDEX);
                }
                lua_pushlstring(L, where.c_str(), where.size());
                lua_rawget(L, -2);
                const bool told = lua_toboolean(L, -1) != 0;
                lua_pop(L, 1);
                if (!told)
                {
                    lua_pushlstring(L, where.c_str(), where.size());
                    lua_pushboolean(L, 1);
                    lua_rawset(L, -3);
                    quortypes::Log::warn(logTag,
                                         where + "delayedCall() with the delay " + formatString("%g", delay) +
                                             ": a delay below 0 never runs out, the call never runs.");
                }
                lua_pop(L, 1);
            }
        } // namespace

        void createDelayedCall(lua_State* L, tesraui::Object* parent, Scene* scene, const char* functionName)
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
            // An infinite delay never runs out, as it says; NaN is no delay at all.
            const float delay = numberArgument(L, 2, functionName);
            if (delay < 0.0f)
            {
                warnNeverRuns(L, delay);
            }
            std::shared_ptr<tesraui::Event> event;
            if (callbackType == LUA_TFUNCTION)
            {
                lua_remove(L, 2);
                event = makeFunctionEvent(L, 1);
            }
            else
            {
                event = std::make_shared<LuaCallbackEvent>(toString(L, 1),
                                                           dataset->getName() == "ui" ? nullptr : scene);
            }
            DelayedCall* call =
                new DelayedCall(tesra::generateName("DelayedCall"), kavtypes::Rectangle(0, 0, 1, 1));
            call->setDelay(delay);
            call->setEnabled(true);
            call->registerEvent("callback", std::move(event));
            dataset->registerObjects(call);
            parent->addChild(call);
        }
    } // namespace LuaInterface
} // namespace vumo
