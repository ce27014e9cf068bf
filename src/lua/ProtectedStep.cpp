#include <lua.hpp>
#include <quortypes/UnderWay.h>

#include "ProtectedStep.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            struct Step
            {
                const std::function<int(lua_State*)>* run = nullptr;
                bool entered = false;
            };
            // The step the engine is calling now; steps nest when a metamethod makes the engine look up.
            Step* current = nullptr;

            int runStep(lua_State* L)
            {
                Step* step = static_cast<Step*>(lua_touserdata(L, 1));
                if (step == nullptr || step != current || step->entered)
                {
                    return luaL_error(L, "a step of the engine's own lookups cannot be called by a script");
                }
                step->entered = true;
                lua_remove(L, 1);
                return (*step->run)(L);
            }
        } // namespace

        int protectedStep(lua_State* L, int arguments, int results,
                          const std::function<int(lua_State*)>& step)
        {
            Step running;
            running.run = &step;
            const quortypes::UnderWay<Step*> active(current, &running);
            lua_pushcfunction(L, runStep);
            lua_insert(L, -(arguments + 1));
            lua_pushlightuserdata(L, &running);
            lua_insert(L, -(arguments + 1));
            return lua_pcall(L, arguments + 1, results, 0);
        }
    } // namespace LuaInterface
} // namespace vumo
