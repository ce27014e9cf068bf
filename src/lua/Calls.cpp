#include <cmath>

#include <lua.hpp>

#include "Calls.h"
#include "LuaInterface.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            hstring methodPrefix;
        } // namespace

        void registerFunction(lua_CFunction function, const hstring& name)
        {
            registerFunction(state, function, name);
        }

        void beginClassMethods(const hstring& prefix)
        {
            methodPrefix = prefix + ".";
        }

        void endClassMethods()
        {
            methodPrefix = "";
        }

        void registerMethod(lua_CFunction function, const hstring& name)
        {
            registerFunction(function, methodPrefix + name);
        }

        void registerUserdataType(const hstring& typeName, const NamedFunction* methods,
                                  const NamedFunction* metamethods, bool methodsAsIndex,
                                  lua_CFunction constructor)
        {
            lua_State* L = state;
            const int top = lua_gettop(L);
            luaL_findtable(L, LUA_REGISTRYINDEX, "_LOADED", 1);
            lua_getfield(L, -1, typeName.c_str());
            if (!lua_istable(L, -1))
            {
                lua_pop(L, 1);
                if (luaL_findtable(L, LUA_GLOBALSINDEX, typeName.c_str(), 1) != nullptr)
                {
                    lua_settop(L, top);
                    raiseLuaError(L, "name conflict for module '" + typeName + "'");
                }
                lua_pushvalue(L, -1);
                lua_setfield(L, -3, typeName.c_str());
            }
            const int methodsIndex = lua_gettop(L);
            for (const NamedFunction* entry = methods; entry != nullptr && entry->name != nullptr; ++entry)
            {
                pushFunction(L, entry->function);
                lua_setfield(L, methodsIndex, entry->name);
            }
            luaL_newmetatable(L, typeName.c_str());
            const int metaIndex = lua_gettop(L);
            for (const NamedFunction* entry = metamethods; entry != nullptr && entry->name != nullptr;
                 ++entry)
            {
                pushFunction(L, entry->function);
                lua_setfield(L, metaIndex, entry->name);
            }
            if (methodsAsIndex)
            {
                lua_pushvalue(L, methodsIndex);
                lua_setfield(L, metaIndex, "__index");
            }
            if (metamethods != nullptr)
            {
                lua_pushvalue(L, methodsIndex);
                lua_setfield(L, metaIndex, "__metatable");
            }
            if (constructor != nullptr)
            {
                lua_newtable(L);
                pushFunction(L, constructor);
                lua_setfield(L, -2, "__call");
                lua_setmetatable(L, methodsIndex);
            }
            lua_settop(L, top);
        }

        void checkTwoStrings(lua_State* L)
        {
            if (lua_gettop(L) != 2 || lua_isstring(L, 1) == 0 || lua_isstring(L, 2) == 0)
            {
                raiseLuaError(L, formatString("string function expects 2 string arguments, got %s and %s",
                                              luaL_typename(L, 1), luaL_typename(L, 2)));
            }
        }

        float finiteArgument(lua_State* L, int index, const hstring& functionName)
        {
            const float value = (float)lua_tonumber(L, index);
            if (!std::isfinite(value))
            {
                raiseLuaError(L, formatString("%s failed, NaN/INF value passed as argument %d.",
                                              functionName.c_str(), index));
            }
            return value;
        }

        float numberArgument(lua_State* L, int index, const hstring& functionName)
        {
            const float value = (float)lua_tonumber(L, index);
            if (std::isnan(value))
            {
                raiseLuaError(L, formatString("%s failed, NaN value passed as argument %d.",
                                              functionName.c_str(), index));
            }
            return value;
        }
    } // namespace LuaInterface
} // namespace vumo
