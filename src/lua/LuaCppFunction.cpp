#include <lua.hpp>

#include "Calls.h"
#include "LuaInterface.h"

namespace vumo
{
    namespace LuaInterface
    {
        int LuaCppFunction::call(lua_State* L)
        {
            this->state = L;
            this->execute();
            return this->results;
        }

        void LuaCppFunction::error(const hstring& message)
        {
            raiseLuaError(this->state, message);
        }

        tesraui::Object* LuaCppFunction::getObject(int index)
        {
            return LuaInterface::getObject(this->state, index);
        }

        void error::execute()
        {
            lua_State* L = this->state;
            const int count = lua_gettop(L);
            hstring message;
            if (count == 0)
            {
                message = "Unknown error occured!\n(error() called without an argument)";
            }
            else if (lua_type(L, 1) == LUA_TSTRING || lua_type(L, 1) == LUA_TNUMBER)
            {
                message = toString(L, 1);
            }
            else if (lua_istable(L, 1))
            {
                message = "$table$ argument provided to 'error()'";
            }
            else
            {
                message = hstring("Unknown error occured!\n(error() called with '") + luaL_typename(L, 1) +
                          "' argument)";
            }
            if (count > 1)
            {
                message +=
                    "\n<WARNING> error() called with more then one argument, additional arguments ignored.";
            }
            LuaCppFunction::error(message);
        }

        int callError(lua_State* L)
        {
            error function;
            return function.call(L);
        }
    } // namespace LuaInterface
} // namespace vumo
