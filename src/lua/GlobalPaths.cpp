#include <lua.hpp>
#include <quortypes/exception.h>

#include "Host.h"
#include "LuaInterface.h"
#include "ProtectedStep.h"
#include "StateCache.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // One walk of a dotted path; the part being indexed is noted so that a failure can be placed.
            struct Walk
            {
                const std::vector<int>* interned = nullptr;
                const harray<hstring>* parts = nullptr;
                int count = 0;
                int reached = 0;
                int notTableAt = -1;
            };

            // Pushes every link of the path. Runs as a protected step: a metamethod on the way may raise an
            // error (a script that makes reading an undeclared global an error), which must not reach the
            // panic handler.
            int walkPath(lua_State* L, Walk* walk)
            {
                luaL_checkstack(L, walk->count + 1, "path too long");
                for (int i = 0; i < walk->count; ++i)
                {
                    if (i > 0 && !lua_istable(L, -1))
                    {
                        walk->notTableAt = i;
                        return 0;
                    }
                    walk->reached = i;
                    if (walk->interned != nullptr)
                    {
                        lua_rawgeti(L, LUA_REGISTRYINDEX, (*walk->interned)[i]);
                    }
                    else
                    {
                        const hstring& part = (*walk->parts)[i];
                        lua_pushlstring(L, part.c_str(), part.size());
                    }
                    lua_gettable(L, i > 0 ? -2 : LUA_GLOBALSINDEX);
                }
                return walk->count;
            }

            hstring notFound(const hstring& path, int part)
            {
                return formatString("lua symbol not found: '%s', failed at '%s'", path.c_str(),
                                    path.split('.')[part].c_str());
            }

            // The walk without any metamethod, as long as no link needs one: a link found raw, or missing
            // from a table without a metatable. False (nothing pushed) when a metamethod could apply; then
            // the protected walk decides.
            bool walkRaw(lua_State* L, const Walk& walk)
            {
                const int base = lua_gettop(L);
                if (!lua_checkstack(L, walk.count + 1))
                {
                    return false;
                }
                for (int i = 0; i < walk.count; ++i)
                {
                    if (i > 0 && !lua_istable(L, -1))
                    {
                        lua_settop(L, base);
                        return false;
                    }
                    if (walk.interned != nullptr)
                    {
                        lua_rawgeti(L, LUA_REGISTRYINDEX, (*walk.interned)[i]);
                    }
                    else
                    {
                        const hstring& part = (*walk.parts)[i];
                        lua_pushlstring(L, part.c_str(), part.size());
                    }
                    const int container = (i > 0 ? lua_gettop(L) - 1 : LUA_GLOBALSINDEX);
                    lua_rawget(L, container);
                    if (lua_isnil(L, -1) && lua_getmetatable(L, container) != 0)
                    {
                        lua_settop(L, base);
                        return false;
                    }
                }
                return true;
            }

            // The walk's outcome: 0 with its links pushed, or an error with nothing pushed. A failure in
            // the last link is told apart (lastFailed), so that a hook lookup can take it as an absent hook.
            int walk(lua_State* L, const hstring& path, hstring& error, bool& lastFailed)
            {
                // Hooks are looked up every frame: the parts of a path are interned once.
                const std::vector<int>* interned = StateCache::getPathParts(L, path);
                const harray<hstring> parts = (interned == nullptr ? path.split('.') : harray<hstring>());
                Walk progress;
                progress.interned = interned;
                progress.parts = &parts;
                progress.count = (interned == nullptr ? parts.size() : (int)interned->size());
                lastFailed = false;
                if (walkRaw(L, progress))
                {
                    return 0;
                }
                const int base = lua_gettop(L);
                const int status = protectedStep(
                    L, 0, LUA_MULTRET, [&progress](lua_State* L) { return walkPath(L, &progress); });
                lastFailed = false;
                if (status != 0)
                {
                    error = notFound(path, progress.reached) + " (" + getErrorString(L, -1) + ")";
                    lastFailed = (progress.reached == progress.count - 1);
                    lua_settop(L, base);
                    return status;
                }
                if (progress.notTableAt >= 0)
                {
                    error = notFound(path, progress.notTableAt);
                    lua_settop(L, base);
                    return LUA_ERRRUN;
                }
                return 0;
            }
        } // namespace

        int pushGlobal(lua_State* L, const hstring& path)
        {
            hstring error;
            bool lastFailed = false;
            const int base = lua_gettop(L);
            if (walk(L, path, error, lastFailed) != 0)
            {
                throw quortypes::exception(error, __FILE__, __LINE__);
            }
            return lua_gettop(L) - base;
        }

        namespace
        {
            // An error raised while reading the last link counts as an absent value: a script that forbids
            // reading undeclared globals has simply not declared that hook.
            int typeAt(lua_State* L, const hstring& path)
            {
                hstring error;
                bool lastFailed = false;
                const int base = lua_gettop(L);
                if (walk(L, path, error, lastFailed) != 0)
                {
                    if (lastFailed)
                    {
                        return LUA_TNIL;
                    }
                    throw quortypes::exception(error, __FILE__, __LINE__);
                }
                const int type = lua_type(L, -1);
                lua_settop(L, base);
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

        bool isHook(const hstring& path)
        {
            if (state == nullptr)
            {
                return false;
            }
            try
            {
                return isFunction(path);
            }
            catch (const quortypes::exception& e)
            {
                getHost().showErrorOverlay("Hook '" + path + "' cannot be looked up: " + e.getMessage());
                return false;
            }
        }

        int typeOfGlobal(lua_State* L, const hstring& name)
        {
            const int base = lua_gettop(L);
            lua_pushlstring(L, name.c_str(), name.size());
            lua_rawget(L, LUA_GLOBALSINDEX);
            int type = lua_type(L, -1);
            lua_settop(L, base);
            if (type != LUA_TNIL || lua_getmetatable(L, LUA_GLOBALSINDEX) == 0)
            {
                return type;
            }
            lua_settop(L, base);
            const int status = protectedStep(L, 0, 1,
                                             [&name](lua_State* L)
                                             {
                                                 lua_pushlstring(L, name.c_str(), name.size());
                                                 lua_gettable(L, LUA_GLOBALSINDEX);
                                                 return 1;
                                             });
            type = (status == 0 ? lua_type(L, -1) : LUA_TNIL);
            lua_settop(L, base);
            return type;
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
                throw quortypes::exception("getGlobalString: unable to fetch global lua string object '" +
                                               path + "', object is not a string",
                                           __FILE__, __LINE__);
            }
            size_t length = 0;
            const char* text = lua_tolstring(L, -1, &length);
            const hstring result(text, (int)length);
            lua_pop(L, pushed);
            return result;
        }
    } // namespace LuaInterface
} // namespace vumo
