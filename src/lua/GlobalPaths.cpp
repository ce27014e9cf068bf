#include <lua.hpp>
#include <quortypes/exception.h>

#include "LuaInterface.h"

namespace LuaInterface
{
    int pushGlobal(lua_State* L, const hstring& path)
    {
        const harray<hstring> parts = path.split('.');
        lua_pushvalue(L, LUA_GLOBALSINDEX);
        for (int i = 0; i < parts.size(); ++i)
        {
            if (!lua_istable(L, -1))
            {
                lua_pop(L, i + 1);
                throw quortypes::exception(formatString("lua symbol not found: '%s', failed at '%s'",
                                                        path.c_str(), parts[i].c_str()),
                                           __FILE__, __LINE__);
            }
            lua_pushlstring(L, parts[i].c_str(), parts[i].size());
            lua_gettable(L, -2);
        }
        // The globals table itself is not one of the links.
        lua_remove(L, -parts.size() - 1);
        return parts.size();
    }

    namespace
    {
        int typeAt(lua_State* L, const hstring& path)
        {
            const int pushed = pushGlobal(L, path);
            const int type = lua_type(L, -1);
            lua_pop(L, pushed);
            return type;
        }
    } // namespace

    bool isDefined(lua_State* L, const hstring& path)
    {
        return typeAt(L, path) != LUA_TNIL;
    }

    bool isFunction(const hstring& path)
    {
        return typeAt(state, path) == LUA_TFUNCTION;
    }

    bool isTable(const hstring& path)
    {
        return isTable(state, path);
    }

    bool isTable(lua_State* L, const hstring& path)
    {
        return typeAt(L, path) == LUA_TTABLE;
    }

    hstring getGlobalString(const hstring& path)
    {
        return getGlobalString(state, path);
    }

    hstring getGlobalString(lua_State* L, const hstring& path)
    {
        const int pushed = pushGlobal(L, path);
        if (lua_type(L, -1) != LUA_TSTRING && lua_type(L, -1) != LUA_TNUMBER)
        {
            lua_pop(L, pushed);
            throw quortypes::exception("getGlobalString: unable to fetch global lua string object '" + path +
                                           "', object is not a string",
                                       __FILE__, __LINE__);
        }
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        const hstring result(text, (int)length);
        lua_pop(L, pushed);
        return result;
    }
} // namespace LuaInterface
