#include <lua.hpp>
#include <quortypes/exception.h>

#include "LuaInterface.h"
#include "StateCache.h"

namespace LuaInterface
{
    int pushGlobal(lua_State* L, const hstring& path)
    {
        // Hooks are looked up every frame: the parts of a path are interned once.
        const std::vector<int>* interned = StateCache::getPathParts(L, path);
        const harray<hstring> parts = (interned == nullptr ? path.split('.') : harray<hstring>());
        const int count = (interned == nullptr ? parts.size() : (int)interned->size());
        for (int i = 0; i < count; ++i)
        {
            if (i > 0 && !lua_istable(L, -1))
            {
                lua_pop(L, i);
                throw quortypes::exception(formatString("lua symbol not found: '%s', failed at '%s'",
                                                        path.c_str(), path.split('.')[i].c_str()),
                                           __FILE__, __LINE__);
            }
            if (interned != nullptr)
            {
                lua_rawgeti(L, LUA_REGISTRYINDEX, (*interned)[i]);
            }
            else
            {
                lua_pushlstring(L, parts[i].c_str(), parts[i].size());
            }
            lua_gettable(L, i > 0 ? -2 : LUA_GLOBALSINDEX);
        }
        return count;
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
