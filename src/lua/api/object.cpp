#include <lua.hpp>

#include "lua/Calls.h"
#include "lua/api/registrars.h"

namespace LuaInterface
{
    namespace
    {
        int object_getObject(lua_State* L)
        {
            checkArgsExact(L, 1, "object.getObject", "s");
            return pushObject(L, findObject(L, toString(L, 1)));
        }
    } // namespace

    void registerObject()
    {
        registerFunction(object_getObject, "object.getObject");
    }
} // namespace LuaInterface
