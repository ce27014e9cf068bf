#pragma once

#include <kavtypes/Vector2.h>

struct lua_State;

namespace vumo
{
    // The script type gvec2: a full userdata of two floats, x then y, with the registry metatable "gvec2".
    namespace LuaInterface
    {
        // Raises Lua's argument type error naming "gvec2" when the value is not one.
        kavtypes::Vector2* checkGvec2(lua_State* L, int index);
        int pushGvec2(lua_State* L, kavtypes::Vector2 value);
        void registerGvec2Type();
        // Frees the spline of a gspline value at the index, which the collector reaches through another
        // type's finalizer when a script gave the value that type's metatable; nothing for other values.
        void releaseGspline(lua_State* L, int index);
        void registerGsplineType();
    } // namespace LuaInterface
} // namespace vumo
