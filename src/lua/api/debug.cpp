#include <lua.hpp>

#include "DebugNames.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "lua/SignalStop.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // Lua's own functions of the debug library, which the engine's run after their checks. Native
            // code (Lua's io library, the socket library, the engine) trusts a userdata by its metatable, the
            // registry where it keeps its types and references, and the upvalues, environments and stack
            // slots of its functions: what of these the debug library could change or hand out is refused,
            // so that no value of a script passes for one of native code's.
            struct Originals
            {
                lua_CFunction setmetatable = nullptr;
                lua_CFunction getupvalue = nullptr;
                lua_CFunction setupvalue = nullptr;
                lua_CFunction getlocal = nullptr;
                lua_CFunction setlocal = nullptr;
                lua_CFunction getfenv = nullptr;
                lua_CFunction setfenv = nullptr;
                lua_CFunction sethook = nullptr;
            };

            Originals& originals()
            {
                static Originals value;
                return value;
            }

            bool isUserdata(lua_State* L, int index)
            {
                const int type = lua_type(L, index);
                return type == LUA_TUSERDATA || type == LUA_TLIGHTUSERDATA;
            }

            int debug_setmetatable(lua_State* L)
            {
                if (isUserdata(L, 1))
                {
                    raiseLuaError(L, "debug.setmetatable: a userdata keeps the metatable of its type");
                }
                return originals().setmetatable(L);
            }

            int debug_getregistry(lua_State* L)
            {
                raiseLuaError(L,
                              "debug.getregistry: the registry holds native code's own types and references; "
                              "it is not open to scripts");
            }

            void refuseNativeFunction(lua_State* L, const char* name)
            {
                if (lua_iscfunction(L, 1))
                {
                    raiseLuaError(L, hstring(name) +
                                         ": a native function's upvalues and environment are its own");
                }
            }

            int debug_getupvalue(lua_State* L)
            {
                refuseNativeFunction(L, "debug.getupvalue");
                return originals().getupvalue(L);
            }

            int debug_setupvalue(lua_State* L)
            {
                refuseNativeFunction(L, "debug.setupvalue");
                return originals().setupvalue(L);
            }

            int debug_getfenv(lua_State* L)
            {
                refuseNativeFunction(L, "debug.getfenv");
                if (isUserdata(L, 1))
                {
                    raiseLuaError(L, "debug.getfenv: a userdata's environment is its type's own");
                }
                return originals().getfenv(L);
            }

            int debug_setfenv(lua_State* L)
            {
                refuseNativeFunction(L, "debug.setfenv");
                if (isUserdata(L, 1))
                {
                    raiseLuaError(L, "debug.setfenv: a userdata's environment is its type's own");
                }
                return originals().setfenv(L);
            }

            // The level of debug.getlocal and debug.setlocal, of the thread given first or of this one, must
            // be a script's function: a native function's stack slots hold what it checked and relies on.
            void refuseNativeFrame(lua_State* L, const char* name)
            {
                lua_State* thread = L;
                int levelArgument = 1;
                if (lua_type(L, 1) == LUA_TTHREAD)
                {
                    thread = lua_tothread(L, 1);
                    levelArgument = 2;
                }
                lua_Debug frame;
                if (lua_isnumber(L, levelArgument) &&
                    lua_getstack(thread, (int)lua_tointeger(L, levelArgument), &frame) != 0 &&
                    lua_getinfo(thread, "S", &frame) != 0 && frame.what != nullptr && frame.what[0] == 'C')
                {
                    raiseLuaError(L,
                                  hstring(name) + ": the level is a native function, whose stack is its own");
                }
            }

            int debug_getlocal(lua_State* L)
            {
                refuseNativeFrame(L, "debug.getlocal");
                return originals().getlocal(L);
            }

            int debug_setlocal(lua_State* L)
            {
                refuseNativeFrame(L, "debug.setlocal");
                return originals().setlocal(L);
            }

            // Once a termination signal has armed the stop of endless scripts, which is a hook, a script's
            // own hook would take its place: it waits until the game has ended.
            int debug_sethook(lua_State* L)
            {
                if (SignalStop::isStopping())
                {
                    return 0;
                }
                return originals().sethook(L);
            }

            int debug_registerItem(lua_State* L)
            {
                DebugNames::registerItem(toString(L, 1));
                return 0;
            }

            int debug_registerVar(lua_State* L)
            {
                DebugNames::registerVar(toString(L, 1));
                return 0;
            }

            // Replaces debug.<name> with the engine's function once Lua's own is kept.
            void guard(lua_State* L, const char* name, lua_CFunction* original, lua_CFunction function)
            {
                lua_getglobal(L, "debug");
                lua_getfield(L, -1, name);
                const bool ours = isRegisteredFunction(L, -1);
                const lua_CFunction found = lua_tocfunction(L, -1);
                lua_pop(L, 2);
                if (found == nullptr || ours)
                {
                    return;
                }
                if (original != nullptr)
                {
                    *original = found;
                }
                registerFunction(function, hstring("debug.") + name);
            }
        } // namespace

        void registerDebug()
        {
            lua_State* L = state;
            Originals& kept = originals();
            guard(L, "setmetatable", &kept.setmetatable, debug_setmetatable);
            guard(L, "getregistry", nullptr, debug_getregistry);
            guard(L, "getupvalue", &kept.getupvalue, debug_getupvalue);
            guard(L, "setupvalue", &kept.setupvalue, debug_setupvalue);
            guard(L, "getlocal", &kept.getlocal, debug_getlocal);
            guard(L, "setlocal", &kept.setlocal, debug_setlocal);
            guard(L, "getfenv", &kept.getfenv, debug_getfenv);
            guard(L, "setfenv", &kept.setfenv, debug_setfenv);
            guard(L, "sethook", &kept.sethook, debug_sethook);
            registerFunction(debug_registerItem, "debug.registerItem");
            registerFunction(debug_registerVar, "debug.registerVar");
        }
    } // namespace LuaInterface
} // namespace vumo
