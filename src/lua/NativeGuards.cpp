#include "NativeGuards.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <lua.hpp>

extern "C" int luaopen_socket_core(lua_State* L);

namespace vumo
{
    namespace LuaInterface
    {
        namespace NativeGuards
        {
            namespace
            {
                // The registry key of the socket library's table once the engine has opened it in a state.
                char socketCoreKey;

                // A function of a class, run as this closure: upvalue 1 is the function, 2 the text of what
                // it takes, and those after it the metatables of the classes it came with.
                int guardedMethod(lua_State* L)
                {
                    bool ofItsClasses = false;
                    if (lua_type(L, 1) == LUA_TUSERDATA && lua_getmetatable(L, 1) != 0)
                    {
                        for (int i = 3; lua_type(L, lua_upvalueindex(i)) != LUA_TNONE && !ofItsClasses; ++i)
                        {
                            ofItsClasses = lua_rawequal(L, -1, lua_upvalueindex(i)) != 0;
                        }
                        lua_pop(L, 1);
                    }
                    const lua_CFunction function = lua_tocfunction(L, lua_upvalueindex(1));
                    if (!ofItsClasses || function == nullptr)
                    {
                        return luaL_argerror(
                            L, 1, lua_pushfstring(L, "%s expected", lua_tostring(L, lua_upvalueindex(2))));
                    }
                    return function(L);
                }

                // Whether the table at the index is a class of the socket library's kind named so: its
                // "__index" table gives the name as its "class".
                bool isClass(lua_State* L, int table, const char* name)
                {
                    lua_pushstring(L, "__index");
                    lua_rawget(L, table);
                    bool named = false;
                    if (lua_istable(L, -1))
                    {
                        lua_pushstring(L, "class");
                        lua_rawget(L, -2);
                        named = lua_type(L, -1) == LUA_TSTRING && std::strcmp(lua_tostring(L, -1), name) == 0;
                        lua_pop(L, 1);
                    }
                    lua_pop(L, 1);
                    return named;
                }

                std::vector<std::string> classNames(lua_State* L)
                {
                    std::vector<std::string> names;
                    lua_pushnil(L);
                    while (lua_next(L, LUA_REGISTRYINDEX) != 0)
                    {
                        if (lua_type(L, -2) == LUA_TSTRING && lua_istable(L, -1) &&
                            isClass(L, lua_gettop(L), lua_tostring(L, -2)))
                        {
                            names.push_back(lua_tostring(L, -2));
                        }
                        lua_pop(L, 1);
                    }
                    std::sort(names.begin(), names.end());
                    return names;
                }

                // The native functions of a class's metatable (its metamethods) and of its "__index" table
                // (its methods), with the table each is in; the guards already made are left out, and so is
                // a closure, which could not run as another one.
                struct Entry
                {
                    bool method;
                    std::string key;
                    lua_CFunction function;
                };

                std::vector<Entry> entriesOf(lua_State* L, int table, bool method)
                {
                    std::vector<Entry> entries;
                    lua_pushnil(L);
                    while (lua_next(L, table) != 0)
                    {
                        if (lua_type(L, -2) == LUA_TSTRING && lua_iscfunction(L, -1) &&
                            lua_tocfunction(L, -1) != guardedMethod)
                        {
                            const bool closure = lua_getupvalue(L, -1, 1) != nullptr;
                            lua_pop(L, closure ? 1 : 0);
                            if (!closure)
                            {
                                entries.push_back(Entry{method, lua_tostring(L, -2), lua_tocfunction(L, -1)});
                            }
                        }
                        lua_pop(L, 1);
                    }
                    return entries;
                }

                std::vector<Entry> classEntries(lua_State* L, const std::string& name)
                {
                    lua_getfield(L, LUA_REGISTRYINDEX, name.c_str());
                    const int metatable = lua_gettop(L);
                    std::vector<Entry> entries = entriesOf(L, metatable, false);
                    lua_pushstring(L, "__index");
                    lua_rawget(L, metatable);
                    const std::vector<Entry> methods = entriesOf(L, lua_gettop(L), true);
                    entries.insert(entries.end(), methods.begin(), methods.end());
                    lua_pop(L, 2);
                    return entries;
                }

                std::string describe(const std::vector<std::string>& names)
                {
                    std::string text;
                    for (size_t i = 0; i < names.size(); ++i)
                    {
                        text += (i == 0 ? "" : (i + 1 == names.size() ? " or " : ", ")) + names[i];
                    }
                    return text;
                }

                // Every native function of every class of the socket library's kind, behind a guard that
                // takes only the classes that hold the same function.
                void guardClasses(lua_State* L)
                {
                    const std::vector<std::string> names = classNames(L);
                    std::map<lua_CFunction, std::vector<std::string>> owners;
                    for (const std::string& name : names)
                    {
                        for (const Entry& entry : classEntries(L, name))
                        {
                            std::vector<std::string>& classes = owners[entry.function];
                            if (classes.empty() || classes.back() != name)
                            {
                                classes.push_back(name);
                            }
                        }
                    }
                    for (const std::string& name : names)
                    {
                        const std::vector<Entry> entries = classEntries(L, name);
                        lua_getfield(L, LUA_REGISTRYINDEX, name.c_str());
                        const int metatable = lua_gettop(L);
                        lua_pushstring(L, "__index");
                        lua_rawget(L, metatable);
                        const int methods = lua_gettop(L);
                        for (const Entry& entry : entries)
                        {
                            const std::vector<std::string>& classes = owners[entry.function];
                            const int table = entry.method ? methods : metatable;
                            lua_pushstring(L, entry.key.c_str());
                            lua_pushcfunction(L, entry.function);
                            lua_pushstring(L, describe(classes).c_str());
                            for (const std::string& owner : classes)
                            {
                                lua_getfield(L, LUA_REGISTRYINDEX, owner.c_str());
                            }
                            lua_pushcclosure(L, guardedMethod, 2 + (int)classes.size());
                            lua_rawset(L, table);
                        }
                        lua_pop(L, 2);
                    }
                }

                // No finalizer, and so no script, runs while an opener fills its classes and until they are
                // guarded.
                struct CollectorStopped
                {
                    lua_State* L;
                    explicit CollectorStopped(lua_State* state) : L(state) { lua_gc(L, LUA_GCSTOP, 0); }
                    ~CollectorStopped() { lua_gc(L, LUA_GCRESTART, 0); }
                    CollectorStopped(const CollectorStopped&) = delete;
                    CollectorStopped& operator=(const CollectorStopped&) = delete;
                };

                // A native function a script loaded, run as this closure (upvalue 1) without a call of its
                // own: no hook sees it, so that the function itself never reaches a script.
                int guardedOpener(lua_State* L)
                {
                    const lua_CFunction open = lua_tocfunction(L, lua_upvalueindex(1));
                    if (open == nullptr)
                    {
                        return luaL_error(L, "this function's native part was replaced; it cannot be called");
                    }
                    const CollectorStopped stopped(L);
                    const int results = open(L);
                    guardClasses(L);
                    return results;
                }

                // The value at the index, a native function, replaced with the closure that runs it; the
                // closure has the function's environment, which the loaders read their paths from.
                void replaceWithGuard(lua_State* L, int index, lua_CFunction guard)
                {
                    lua_pushvalue(L, index);
                    lua_pushcclosure(L, guard, 1);
                    lua_getfenv(L, index);
                    lua_setfenv(L, -2);
                    lua_replace(L, index);
                }

                // package.loadlib or a loader of package.loaders, run as this closure (upvalue 1): a native
                // function it gives is handed out as an opener that guards what it opens.
                int guardedLoader(lua_State* L)
                {
                    const lua_CFunction load = lua_tocfunction(L, lua_upvalueindex(1));
                    if (load == nullptr)
                    {
                        return luaL_error(L, "this function's native part was replaced; it cannot be called");
                    }
                    const int results = load(L);
                    const int top = lua_gettop(L);
                    for (int i = top - results + 1; i <= top; ++i)
                    {
                        if (lua_iscfunction(L, i) && lua_tocfunction(L, i) != guardedOpener &&
                            lua_tocfunction(L, i) != guardedMethod)
                        {
                            replaceWithGuard(L, i, guardedOpener);
                        }
                    }
                    return results;
                }

                int requireSocketCore(lua_State* L)
                {
                    openSocketCore(L);
                    return 1;
                }

                void guardField(lua_State* L, int table, const char* key)
                {
                    lua_getfield(L, table, key);
                    if (lua_iscfunction(L, -1) && lua_tocfunction(L, -1) != guardedLoader)
                    {
                        replaceWithGuard(L, lua_gettop(L), guardedLoader);
                        lua_setfield(L, table, key);
                        return;
                    }
                    lua_pop(L, 1);
                }
            } // namespace

            void guardLoaders(lua_State* L)
            {
                lua_getglobal(L, "package");
                if (!lua_istable(L, -1))
                {
                    lua_pop(L, 1);
                    return;
                }
                const int package = lua_gettop(L);
                guardField(L, package, "loadlib");
                lua_getfield(L, package, "loaders");
                if (lua_istable(L, -1))
                {
                    const int loaders = lua_gettop(L);
                    for (int i = 1; i <= (int)lua_objlen(L, loaders); ++i)
                    {
                        lua_rawgeti(L, loaders, i);
                        if (lua_iscfunction(L, -1) && lua_tocfunction(L, -1) != guardedLoader)
                        {
                            replaceWithGuard(L, lua_gettop(L), guardedLoader);
                            lua_rawseti(L, loaders, i);
                        }
                        else
                        {
                            lua_pop(L, 1);
                        }
                    }
                }
                lua_pop(L, 1);
                lua_getfield(L, package, "preload");
                if (lua_istable(L, -1))
                {
                    lua_pushcfunction(L, requireSocketCore);
                    lua_setfield(L, -2, "socket.core");
                }
                lua_pop(L, 2);
            }

            void openSocketCore(lua_State* L)
            {
                lua_pushlightuserdata(L, &socketCoreKey);
                lua_rawget(L, LUA_REGISTRYINDEX);
                if (lua_istable(L, -1))
                {
                    return;
                }
                lua_pop(L, 1);
                {
                    const CollectorStopped stopped(L);
                    luaopen_socket_core(L);
                    guardClasses(L);
                }
                lua_pushlightuserdata(L, &socketCoreKey);
                lua_pushvalue(L, -2);
                lua_rawset(L, LUA_REGISTRYINDEX);
            }
        } // namespace NativeGuards
    }     // namespace LuaInterface
} // namespace vumo
