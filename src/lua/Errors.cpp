#include <cmath>
#include <cstring>

#include <lua.hpp>
#include <quortypes/Log.h>

#include "Calls.h"
#include "Host.h"
#include "LuaInterface.h"
#include "ScriptErrorLog.h"

namespace vumo
{
    namespace LuaInterface
    {
        hstring getErrorString(lua_State* L, int index)
        {
            if (lua_type(L, index) != LUA_TSTRING)
            {
                return "Lua Internal Error";
            }
            size_t length = 0;
            const char* text = lua_tolstring(L, index, &length);
            // The log and the overlay take texts up to their first NUL: one is written as "\0", so that
            // the rest of the message shows too.
            hstring result(text, (int)length);
            return (std::memchr(text, '\0', length) != nullptr ? result.replaced(hstring("\0", 1), "\\0")
                                                               : result);
        }

        hstring getChunkDescription(const hstring& chunkName, const hstring& code)
        {
            if (chunkName.size() > 0)
            {
                return chunkName;
            }
            if (code.startsWith("\x1bLua"))
            {
                return "pre-compiled code";
            }
            if (code.size() < 200)
            {
                return "string '" + code + "'";
            }
            return "string '" + code.subString(0, 199) + "...'";
        }

        void warning(lua_State* L, const hstring& message)
        {
            if (getHost().isDebugModeEnabled())
            {
                raiseLuaError(L, "WARNING: " + message);
            }
            ScriptErrorLog::write("scripting warning", message, false);
        }

        namespace
        {
            hstring numberText(lua_Number value)
            {
                if (std::floor(value) == value)
                {
                    return formatString("%.0f", value);
                }
                return hstring((float)value);
            }

            hstring userdataText(lua_State* L, int index)
            {
                if (luaL_getmetafield(L, index, "__tostring") == 0)
                {
                    return "userdata";
                }
                lua_pushvalue(L, index);
                hstring result = "userdata";
                if (lua_pcall(L, 1, 1, 0) == 0 && lua_type(L, -1) == LUA_TSTRING)
                {
                    result = lua_tostring(L, -1);
                }
                lua_pop(L, 1);
                return result;
            }

            // A table nested in a dumped table is not walked.
            hstring entryText(lua_State* L, int index)
            {
                return (lua_istable(L, index) ? hstring("table") : dumpValue(L, index));
            }

            hstring tableText(lua_State* L, int index)
            {
                const int shown = 10;
                const int base = lua_gettop(L);
                if (!lua_checkstack(L, 2 * shown + 3))
                {
                    return "{ ... }";
                }
                // The entries are taken first and written after: writing a userdata runs its __tostring, a
                // script that may change the table, which a walk of it must not meet.
                int count = 0;
                bool more = false;
                lua_pushnil(L);
                while (lua_next(L, index) != 0)
                {
                    if (count == shown)
                    {
                        more = true;
                        lua_pop(L, 2);
                        break;
                    }
                    lua_pushvalue(L, -2);
                    ++count;
                }
                hstring result = "{ ";
                for (int i = 0; i < count; ++i)
                {
                    const int key = base + 1 + 2 * i;
                    if (i > 0)
                    {
                        result += ", ";
                    }
                    const bool integralKey = (lua_type(L, key) == LUA_TNUMBER &&
                                              std::floor(lua_tonumber(L, key)) == lua_tonumber(L, key));
                    if (!integralKey)
                    {
                        result += entryText(L, key) + ": ";
                    }
                    result += entryText(L, key + 1);
                }
                lua_settop(L, base);
                return result + (more ? " ... }" : " }");
            }
        } // namespace

        hstring dumpValue(lua_State* L, int index)
        {
            if (index < 0 && index > LUA_REGISTRYINDEX)
            {
                index = lua_gettop(L) + index + 1;
            }
            switch (lua_type(L, index))
            {
            case LUA_TNUMBER:
                return numberText(lua_tonumber(L, index));
            case LUA_TSTRING:
            {
                if (lua_isnumber(L, index) != 0)
                {
                    return numberText(lua_tonumber(L, index));
                }
                size_t length = 0;
                const char* text = lua_tolstring(L, index, &length);
                return hstring(text, (int)length);
            }
            case LUA_TNIL:
                return "nil";
            case LUA_TBOOLEAN:
                return lua_toboolean(L, index) != 0 ? "true" : "false";
            case LUA_TFUNCTION:
                return "function";
            case LUA_TTABLE:
                return tableText(L, index);
            case LUA_TUSERDATA:
            case LUA_TLIGHTUSERDATA:
                return userdataText(L, index);
            }
            return "unknown";
        }
    } // namespace LuaInterface
} // namespace vumo
