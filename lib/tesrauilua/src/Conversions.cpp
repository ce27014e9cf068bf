#include <cstdlib>

#include <lua.hpp>

#include <tesrauilua/Boundary.h>
#include <tesrauilua/Conversions.h>

namespace tesrauilua
{
    hstring toString(lua_State* L, int index, const hstring& errorMessage)
    {
        switch (lua_type(L, index))
        {
        case LUA_TSTRING:
        case LUA_TNUMBER:
        {
            size_t length = 0;
            const char* text = lua_tolstring(L, index, &length);
            return hstring(text, (int)length);
        }
        case LUA_TBOOLEAN:
            return lua_toboolean(L, index) != 0 ? "true" : "false";
        }
        if (errorMessage.size() > 0)
        {
            raiseLuaError(L, errorMessage);
        }
        raiseLuaError(L, formatString("C++ interface: Unable to convert %s to string at stack index %d",
                                      luaL_typename(L, index), index));
    }

    bool toBool(lua_State* L, int index)
    {
        return lua_toboolean(L, index) != 0;
    }

    int toInt(lua_State* L, int index)
    {
        const lua_Number value = lua_tonumber(L, index);
        if (!(value > -2147483648.0))
        {
            return (value < 0 ? -2147483647 - 1 : 0);
        }
        return (value >= 2147483647.0 ? 2147483647 : (int)value);
    }

    int push(lua_State* L, const hstring& value)
    {
        lua_pushlstring(L, value.c_str(), value.size());
        return 1;
    }

    int push(lua_State* L, const char* value)
    {
        lua_pushstring(L, value);
        return 1;
    }

    int push(lua_State* L, float value)
    {
        lua_pushnumber(L, value);
        return 1;
    }

    int push(lua_State* L, bool value)
    {
        lua_pushboolean(L, value ? 1 : 0);
        return 1;
    }

    int push(lua_State* L, int value)
    {
        lua_pushnumber(L, value);
        return 1;
    }

    int pushStrings(lua_State* L, const harray<hstring>& values)
    {
        luaL_checkstack(L, values.size(), "too many results");
        for (const hstring& value : values)
        {
            push(L, value);
        }
        return values.size();
    }

    int pushTyped(lua_State* L, const hstring& value, int typeCode)
    {
        if (typeCode == 1)
        {
            return push(L, value.toFloat());
        }
        // Whole numbers read through a float would lose every digit past its 24 bits (2147483647 read
        // 2147483648); a Lua number holds them exactly.
        if (typeCode == 0 || typeCode == 2 || typeCode == 3)
        {
            lua_pushnumber(L, std::strtod(value.c_str(), nullptr));
            return 1;
        }
        if (typeCode == 4)
        {
            return push(L, value != "false" && value != "0");
        }
        return push(L, value);
    }

    namespace
    {
        // Pushes the field; the caller pops it.
        int pushField(lua_State* L, int index, const hstring& key)
        {
            const int table = (index < 0 && index > LUA_REGISTRYINDEX ? lua_gettop(L) + index + 1 : index);
            lua_getfield(L, table, key.c_str());
            return lua_type(L, -1);
        }
    } // namespace

    bool getTableString(lua_State* L, int index, const hstring& key, hstring& out)
    {
        const int type = pushField(L, index, key);
        const bool found = (type == LUA_TSTRING || type == LUA_TNUMBER);
        if (found)
        {
            out = toString(L, -1);
        }
        lua_pop(L, 1);
        return found;
    }

    hstring getTableStringOr(lua_State* L, int index, const hstring& key, const hstring& defaultValue)
    {
        if (pushField(L, index, key) == LUA_TNIL)
        {
            lua_pop(L, 1);
            return defaultValue;
        }
        const hstring result = toString(L, -1);
        lua_pop(L, 1);
        return result;
    }

    hstring getTableValueString(lua_State* L, int index, const hstring& key)
    {
        if (pushField(L, index, key) == LUA_TNIL)
        {
            lua_pop(L, 1);
            raiseLuaError(L, "No key in Lua table: " + key);
        }
        const hstring result = toString(L, -1);
        lua_pop(L, 1);
        return result;
    }

    float getTableNumber(lua_State* L, int index, const hstring& key, float defaultValue)
    {
        if (pushField(L, index, key) == LUA_TNIL)
        {
            lua_pop(L, 1);
            return defaultValue;
        }
        const float result = (float)lua_tonumber(L, -1);
        lua_pop(L, 1);
        return result;
    }

    float getTableNumberRequired(lua_State* L, int index, const hstring& key)
    {
        if (pushField(L, index, key) == LUA_TNIL)
        {
            lua_pop(L, 1);
            raiseLuaError(L, "No key in Lua table: '" + key + "'");
        }
        const float result = (float)lua_tonumber(L, -1);
        lua_pop(L, 1);
        return result;
    }
} // namespace tesrauilua
