#include <cstring>

#include <lua.hpp>

#include "HookCalls.h"
#include "StateCache.h"
#include "LuaInterface.h"
#include "ProtectedStep.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // Hands the error to the current debug.traceback, which then reports from the failing function on
            // as if it were the handler itself.
            int tracebackHandler(lua_State* L)
            {
                return (StateCache::pushDebugTraceback(L) ? StateCache::callDebugTraceback(L) : 1);
            }
        } // namespace

        void throwChunkFailure(const hstring& message, const hstring& chunkName, const hstring& code)
        {
            throw _LuaError(message, getChunkDescription(chunkName, code), __FILE__, __LINE__);
        }

        int pushMessageHandler(lua_State* L)
        {
            StateCache::pushMessageHandler(L, tracebackHandler);
            return lua_gettop(L);
        }

        namespace
        {
            // The global of the path, or the table's field for "table.field"; nil when a link is missing.
            int findEnvironment(lua_State* L, const hstring& environment)
            {
                hstring global = environment;
                hstring key;
                const bool nested = environment.split('.', global, key);
                lua_getglobal(L, global.c_str());
                if (nested && lua_istable(L, -1))
                {
                    lua_getfield(L, -1, key.c_str());
                }
                return 1;
            }

            // Pushes the environment table and returns true; false (nothing pushed) when there is none. The
            // lookup is protected: a script may make reading an undeclared global raise an error.
            bool pushEnvironment(lua_State* L, const hstring& environment)
            {
                // Tables found without a metamethod are what the protected lookup would find: no call needed.
                const char* path = environment.c_str();
                const char* point = strchr(path, '.');
                lua_pushlstring(L, path, point != nullptr ? (size_t)(point - path) : environment.size());
                lua_rawget(L, LUA_GLOBALSINDEX);
                if (point != nullptr && lua_istable(L, -1))
                {
                    lua_pushstring(L, point + 1);
                    lua_rawget(L, -2);
                    lua_remove(L, -2);
                }
                if (lua_istable(L, -1))
                {
                    return true;
                }
                lua_pop(L, 1);
                const int status = protectedStep(
                    L, 0, 1, [&environment](lua_State* L) { return findEnvironment(L, environment); });
                if (status != 0 || !lua_istable(L, -1))
                {
                    lua_pop(L, 1);
                    return false;
                }
                return true;
            }

            // Sets the environment of the function on top; on failure throws with the function popped.
            void setEnvironment(lua_State* L, const hstring& environment, const hstring& chunkName,
                                const hstring& code)
            {
                if (environment.size() == 0)
                {
                    lua_pushvalue(L, LUA_GLOBALSINDEX);
                    lua_setfenv(L, -2);
                    return;
                }
                if (!pushEnvironment(L, environment))
                {
                    lua_pop(L, 1);
                    throw _LuaError("Unable to find environment '" + environment + "'",
                                    getChunkDescription(chunkName, code), __FILE__, __LINE__);
                }
                lua_setfenv(L, -2);
            }

            // Pushes the chunk with its environment set, from the cache when it is there and not in use.
            StateCache::Entry* pushChunk(lua_State* L, const hstring& code, const hstring& environment,
                                         const hstring& chunkName)
            {
                StateCache::Entry* entry = StateCache::take(L, chunkName, code);
                if (entry == nullptr)
                {
                    loadChunk(L, code, environment, chunkName);
                    return StateCache::store(L, chunkName, code);
                }
                try
                {
                    setEnvironment(L, environment, chunkName, code);
                }
                catch (...)
                {
                    StateCache::release(entry);
                    throw;
                }
                return entry;
            }

            // Runs the chunk and returns the stack to base; the results (nresults of them, or all) are handed
            // to collect before they are dropped.
            template <class Collect>
            void run(lua_State* L, const hstring& code, const hstring& environment, const hstring& chunkName,
                     int nresults, Collect collect)
            {
                const int base = lua_gettop(L);
                const int handler = pushMessageHandler(L);
                StateCache::Entry* entry = nullptr;
                try
                {
                    entry = pushChunk(L, code, environment, chunkName);
                }
                catch (...)
                {
                    lua_settop(L, base);
                    throw;
                }
                const int status = lua_pcall(L, 0, nresults, handler);
                StateCache::release(entry);
                if (status != 0)
                {
                    const hstring text = getErrorString(L, -1);
                    lua_settop(L, base);
                    throwChunkFailure(text, chunkName, code);
                }
                try
                {
                    collect(handler + 1);
                }
                catch (...)
                {
                    lua_settop(L, base);
                    throw;
                }
                lua_settop(L, base);
            }
        } // namespace

        void loadChunk(lua_State* L, const hstring& code, const hstring& environment,
                       const hstring& chunkName)
        {
            // Without a name Lua shows the start of the code itself in its positions.
            const hstring& name = (chunkName.size() > 0 ? chunkName : code);
            const int status = luaL_loadbuffer(L, code.c_str(), code.size(), name.c_str());
            if (status == LUA_ERRMEM)
            {
                lua_pop(L, 1);
                throw _LuaError("Memory allocation error", getChunkDescription(chunkName, code), __FILE__,
                                __LINE__);
            }
            if (status != 0)
            {
                const hstring text = getErrorString(L, -1);
                lua_pop(L, 1);
                throw _LuaError(text, getChunkDescription(chunkName, code), __FILE__, __LINE__);
            }
            setEnvironment(L, environment, chunkName, code);
        }

        void execute(const hstring& code, const hstring& environment, const hstring& chunkName)
        {
            execute(state, code, environment, chunkName);
        }

        void execute(lua_State* L, const hstring& code, const hstring& environment, const hstring& chunkName)
        {
            run(L, code, environment, chunkName, 0, [](int) {});
        }

        void executeWithReturnValues(const hstring& code, const hstring& environment,
                                     harray<hstring>& results, const hstring& chunkName)
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
} // namespace vumo
