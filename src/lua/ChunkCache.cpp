#include <lua.hpp>

#include "ChunkCache.h"
#include "LuaInterface.h"

namespace LuaInterface
{
    namespace ChunkCache
    {
        namespace
        {
            // Beyond this many compiled chunks the cache starts over.
            const int capacity = 256;
            int stored = 0;
            // registry[cache] = { [chunkName] = { [code] = function } }
            const char* const cacheKey = "vumo.chunkCache";

            // Pushes the table of one chunk name, made when create is set; false when it is missing.
            bool pushNameTable(lua_State* L, const hstring& chunkName, bool create)
            {
                lua_getfield(L, LUA_REGISTRYINDEX, cacheKey);
                if (!lua_istable(L, -1))
                {
                    lua_pop(L, 1);
                    if (!create)
                    {
                        return false;
                    }
                    lua_newtable(L);
                    lua_pushvalue(L, -1);
                    lua_setfield(L, LUA_REGISTRYINDEX, cacheKey);
                }
                lua_pushlstring(L, chunkName.c_str(), chunkName.size());
                lua_rawget(L, -2);
                if (!lua_istable(L, -1))
                {
                    lua_pop(L, 1);
                    if (!create)
                    {
                        lua_pop(L, 1);
                        return false;
                    }
                    lua_newtable(L);
                    lua_pushlstring(L, chunkName.c_str(), chunkName.size());
                    lua_pushvalue(L, -2);
                    lua_rawset(L, -4);
                }
                lua_remove(L, -2);
                return true;
            }
        } // namespace

        bool take(lua_State* L, const hstring& chunkName, const hstring& code)
        {
            if (L != state || !pushNameTable(L, chunkName, false))
            {
                return false;
            }
            lua_pushlstring(L, code.c_str(), code.size());
            lua_rawget(L, -2);
            if (!lua_isfunction(L, -1))
            {
                lua_pop(L, 2);
                return false;
            }
            lua_pushlstring(L, code.c_str(), code.size());
            lua_pushnil(L);
            lua_rawset(L, -4);
            lua_remove(L, -2);
            return true;
        }

        void put(lua_State* L, const hstring& chunkName, const hstring& code, bool compiled)
        {
            if (L != state)
            {
                lua_pop(L, 1);
                return;
            }
            if (compiled && ++stored > capacity)
            {
                clear();
                stored = 1;
            }
            pushNameTable(L, chunkName, true);
            lua_pushlstring(L, code.c_str(), code.size());
            lua_pushvalue(L, -3);
            lua_rawset(L, -3);
            lua_pop(L, 2);
        }

        void clear()
        {
            stored = 0;
            if (state != nullptr)
            {
                lua_pushnil(state);
                lua_setfield(state, LUA_REGISTRYINDEX, cacheKey);
            }
        }
    } // namespace ChunkCache
} // namespace LuaInterface
