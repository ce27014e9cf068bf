#include <lua.hpp>

#include "ChunkCache.h"
#include "LuaInterface.h"

namespace LuaInterface
{
    int pushTraceback(lua_State* L)
    {
        lua_getglobal(L, "debug");
        if (lua_istable(L, -1))
        {
            lua_getfield(L, -1, "traceback");
            lua_remove(L, -2);
            if (lua_isfunction(L, -1))
            {
                return lua_gettop(L);
            }
        }
        lua_pop(L, 1);
        return 0;
    }

    namespace
    {

        // Sets the environment of the function on top; throws with the stack as it was on entry.
        void setEnvironment(lua_State* L, const hstring& environment, const hstring& context)
        {
            if (environment.size() == 0)
            {
                lua_pushvalue(L, LUA_GLOBALSINDEX);
                lua_setfenv(L, -2);
                return;
            }
            hstring global = environment;
            hstring key;
            const bool nested = environment.split('.', global, key);
            lua_getglobal(L, global.c_str());
            if (nested && lua_istable(L, -1))
            {
                lua_getfield(L, -1, key.c_str());
                lua_remove(L, -2);
            }
            if (!lua_istable(L, -1))
            {
                lua_pop(L, 2);
                throw _LuaError("Unable to find environment '" + environment + "'", context, __FILE__,
                                __LINE__);
            }
            lua_setfenv(L, -2);
        }

        // Pushes the chunk with its environment set; compiled says it did not come from the cache.
        bool pushChunk(lua_State* L, const hstring& code, const hstring& environment,
                       const hstring& chunkName)
        {
            if (ChunkCache::take(L, chunkName, code))
            {
                setEnvironment(L, environment, getChunkDescription(chunkName, code));
                return false;
            }
            loadChunk(L, code, environment, chunkName);
            return true;
        }

        // Runs the chunk and returns the stack to base, giving the chunk back to the cache; the
        // results (nresults of them, or all) are handed to collect before they are dropped.
        template <class Collect>
        void run(lua_State* L, const hstring& code, const hstring& environment, const hstring& chunkName,
                 int nresults, Collect collect)
        {
            const int base = lua_gettop(L);
            const int handler = pushTraceback(L);
            bool compiled = false;
            try
            {
                compiled = pushChunk(L, code, environment, chunkName);
            }
            catch (...)
            {
                lua_settop(L, base);
                throw;
            }
            lua_pushvalue(L, -1);
            lua_insert(L, -2);
            const int status = lua_pcall(L, 0, nresults, handler);
            const int chunkIndex = base + (handler != 0 ? 2 : 1);
            if (status != 0)
            {
                const hstring text = getErrorString(L, -1);
                lua_pushvalue(L, chunkIndex);
                ChunkCache::put(L, chunkName, code, compiled);
                lua_settop(L, base);
                throw _LuaError(text, getChunkDescription(chunkName, code), __FILE__, __LINE__);
            }
            try
            {
                collect(chunkIndex + 1);
            }
            catch (...)
            {
                lua_settop(L, base);
                throw;
            }
            lua_pushvalue(L, chunkIndex);
            ChunkCache::put(L, chunkName, code, compiled);
            lua_settop(L, base);
        }
    } // namespace

    void loadChunk(lua_State* L, const hstring& code, const hstring& environment, const hstring& chunkName)
    {
        const hstring context = getChunkDescription(chunkName, code);
        // Without a name Lua shows the start of the code itself in its positions.
        const hstring& name = (chunkName.size() > 0 ? chunkName : code);
        const int status = luaL_loadbuffer(L, code.c_str(), code.size(), name.c_str());
        if (status == LUA_ERRMEM)
        {
            lua_pop(L, 1);
            throw _LuaError("Memory allocation error", context, __FILE__, __LINE__);
        }
        if (status != 0)
        {
            const hstring text = getErrorString(L, -1);
            lua_pop(L, 1);
            throw _LuaError(text, context, __FILE__, __LINE__);
        }
        setEnvironment(L, environment, context);
    }

    void execute(const hstring& code, const hstring& environment, const hstring& chunkName)
    {
        execute(state, code, environment, chunkName);
    }

    void execute(lua_State* L, const hstring& code, const hstring& environment, const hstring& chunkName)
    {
        run(L, code, environment, chunkName, 0, [](int) {});
    }

    void executeWithReturnValues(const hstring& code, const hstring& environment, harray<hstring>& results,
                                 const hstring& chunkName)
    {
        executeWithReturnValues(state, code, environment, results, chunkName);
    }

    void executeWithReturnValues(lua_State* L, const hstring& code, const hstring& environment,
                                 harray<hstring>& results, const hstring& chunkName)
    {
        results.clear();
        run(L, code, environment, chunkName, LUA_MULTRET,
            [&](int first)
            {
                for (int i = first; i <= lua_gettop(L); ++i)
                {
                    results.push_back(dumpValue(L, i));
                }
            });
    }
} // namespace LuaInterface
