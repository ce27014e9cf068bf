#include <algorithm>
#include <string>
#include <unordered_map>

#include <lua.hpp>

#include "LuaInterface.h"
#include "StateCache.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace StateCache
        {
            unsigned long keyStamp = 1;

            struct Entry
            {
                int reference = LUA_NOREF;
                bool inUse = false;
                unsigned long lastUse = 0;
            };

            namespace
            {
                // Beyond this many dotted paths they are all dropped.
                const size_t capacity = 256;
                // Beyond this many compiled chunks the least recently used half of them is dropped, so that
                // the texts of thousands of events used in turn stay compiled while one-off texts go.
                const size_t chunkCapacity = 8192;
                unsigned long useClock = 0;
                typedef std::unordered_map<std::string, Entry> Chunks;
                // Chunks without a name, the usual case, skip the lookup by name.
                Chunks unnamed;
                std::unordered_map<std::string, Chunks> named;
                size_t stored = 0;
                std::unordered_map<std::string, std::vector<int>> paths;
                // Message handlers by function: there are two.
                std::vector<std::pair<int (*)(lua_State*), int>> handlers;
                // Beyond this many interned keys they are all dropped.
                const size_t keyCapacity = 4096;
                std::unordered_map<std::string, int> interned;
                int typeReference = LUA_NOREF;
                int tracebackReference = LUA_NOREF;

                template <class Visit> void forEachTable(Visit visit)
                {
                    visit(unnamed);
                    for (auto& [name, chunks] : named)
                    {
                        visit(chunks);
                    }
                }

                void clearPaths()
                {
                    for (auto& [path, parts] : paths)
                    {
                        for (int reference : parts)
                        {
                            luaL_unref(state, LUA_REGISTRYINDEX, reference);
                        }
                    }
                    paths.clear();
                }

                void clearInterned()
                {
                    for (const auto& [text, reference] : interned)
                    {
                        luaL_unref(state, LUA_REGISTRYINDEX, reference);
                    }
                    interned.clear();
                    ++keyStamp;
                }

                // Drops the chunks not in use that were used before the most recent half.
                void dropOldChunks()
                {
                    std::vector<unsigned long> uses;
                    uses.reserve(stored);
                    forEachTable(
                        [&](Chunks& chunks)
                        {
                            for (const auto& [code, entry] : chunks)
                            {
                                uses.push_back(entry.lastUse);
                            }
                        });
                    std::nth_element(uses.begin(), uses.begin() + uses.size() / 2, uses.end());
                    const unsigned long cutoff = uses[uses.size() / 2];
                    forEachTable(
                        [cutoff](Chunks& chunks)
                        {
                            for (auto it = chunks.begin(); it != chunks.end();)
                            {
                                if (it->second.inUse || it->second.lastUse >= cutoff)
                                {
                                    ++it;
                                    continue;
                                }
                                luaL_unref(state, LUA_REGISTRYINDEX, it->second.reference);
                                it = chunks.erase(it);
                                --stored;
                            }
                        });
                }
            } // namespace

            Entry* take(lua_State* L, const hstring& chunkName, const hstring& code)
            {
                if (L != state)
                {
                    return nullptr;
                }
                Chunks* chunks = &unnamed;
                if (chunkName.size() > 0)
                {
                    auto it = named.find(chunkName);
                    if (it == named.end())
                    {
                        return nullptr;
                    }
                    chunks = &it->second;
                }
                auto found = chunks->find(code);
                if (found == chunks->end() || found->second.inUse)
                {
                    return nullptr;
                }
                lua_rawgeti(L, LUA_REGISTRYINDEX, found->second.reference);
                found->second.inUse = true;
                found->second.lastUse = ++useClock;
                return &found->second;
            }

            Entry* store(lua_State* L, const hstring& chunkName, const hstring& code)
            {
                if (L != state)
                {
                    return nullptr;
                }
                if (stored >= chunkCapacity)
                {
                    dropOldChunks();
                }
                Chunks& chunks = (chunkName.size() > 0 ? named[chunkName] : unnamed);
                if (chunks.count(code) > 0)
                {
                    return nullptr;
                }
                lua_pushvalue(L, -1);
                Entry& entry = chunks[code];
                entry.reference = luaL_ref(L, LUA_REGISTRYINDEX);
                entry.inUse = true;
                entry.lastUse = ++useClock;
                ++stored;
                return &entry;
            }

            void release(Entry* entry)
            {
                if (entry != nullptr)
                {
                    entry->inUse = false;
                }
            }

            const std::vector<int>* getPathParts(lua_State* L, const hstring& path)
            {
                if (L != state)
                {
                    return nullptr;
                }
                auto found = paths.find(path);
                if (found != paths.end())
                {
                    return &found->second;
                }
                if (paths.size() >= capacity)
                {
                    clearPaths();
                }
                std::vector<int>& parts = paths[path];
                for (const hstring& part : path.split('.'))
                {
                    lua_pushlstring(L, part.c_str(), part.size());
                    parts.push_back(luaL_ref(L, LUA_REGISTRYINDEX));
                }
                return &parts;
            }

            void pushMessageHandler(lua_State* L, int (*handler)(lua_State*))
            {
                if (L != state)
                {
                    lua_pushcfunction(L, handler);
                    return;
                }
                for (const auto& [function, reference] : handlers)
                {
                    if (function == handler)
                    {
                        lua_rawgeti(L, LUA_REGISTRYINDEX, reference);
                        return;
                    }
                }
                lua_pushcfunction(L, handler);
                lua_pushvalue(L, -1);
                handlers.emplace_back(handler, luaL_ref(L, LUA_REGISTRYINDEX));
            }

            int getMessageHandler(lua_State* L, int (*handler)(lua_State*))
            {
                if (L != state)
                {
                    return LUA_NOREF;
                }
                // Kept on first use.
                pushMessageHandler(L, handler);
                lua_pop(L, 1);
                for (const auto& [function, reference] : handlers)
                {
                    if (function == handler)
                    {
                        return reference;
                    }
                }
                return LUA_NOREF;
            }

            int getLibraryFunction(lua_State* L, LibraryFunction which)
            {
                return L != state ? LUA_NOREF
                                  : (which == LibraryFunction::Type ? typeReference : tracebackReference);
            }

            int internKey(lua_State* L, const char* text, size_t length)
            {
                if (L != state)
                {
                    return LUA_NOREF;
                }
                std::string key(text, length);
                auto found = interned.find(key);
                if (found != interned.end())
                {
                    return found->second;
                }
                if (interned.size() >= keyCapacity)
                {
                    clearInterned();
                }
                lua_pushlstring(L, text, length);
                const int reference = luaL_ref(L, LUA_REGISTRYINDEX);
                interned.emplace(std::move(key), reference);
                return reference;
            }

            void clear()
            {
                if (state != nullptr)
                {
                    forEachTable(
                        [](Chunks& chunks)
                        {
                            for (auto& [code, entry] : chunks)
                            {
                                luaL_unref(state, LUA_REGISTRYINDEX, entry.reference);
                            }
                        });
                    clearPaths();
                    for (const auto& [handler, reference] : handlers)
                    {
                        luaL_unref(state, LUA_REGISTRYINDEX, reference);
                    }
                    clearInterned();
                    luaL_unref(state, LUA_REGISTRYINDEX, typeReference);
                    luaL_unref(state, LUA_REGISTRYINDEX, tracebackReference);
                }
                unnamed.clear();
                named.clear();
                paths.clear();
                stored = 0;
                handlers.clear();
                interned.clear();
                ++keyStamp;
                typeReference = LUA_NOREF;
                tracebackReference = LUA_NOREF;
                useClock = 0;
            }

            void rememberLibraryFunctions(lua_State* L)
            {
                if (L != state)
                {
                    return;
                }
                lua_getglobal(L, "type");
                typeReference = luaL_ref(L, LUA_REGISTRYINDEX);
                lua_getglobal(L, "debug");
                lua_getfield(L, -1, "traceback");
                tracebackReference = luaL_ref(L, LUA_REGISTRYINDEX);
                lua_pop(L, 1);
            }

            bool isLibraryFunction(lua_State* L, int index, LibraryFunction which)
            {
                const int reference = (which == LibraryFunction::Type ? typeReference : tracebackReference);
                if (L != state || reference == LUA_NOREF)
                {
                    return false;
                }
                lua_rawgeti(L, LUA_REGISTRYINDEX, reference);
                // A relative index moves down one with the push.
                const bool same =
                    lua_rawequal(L, index < 0 && index > LUA_REGISTRYINDEX ? index - 1 : index, -1) != 0;
                lua_pop(L, 1);
                return same;
            }

            bool pushDebugTraceback(lua_State* L)
            {
                lua_getglobal(L, "debug");
                if (!lua_istable(L, -1))
                {
                    lua_pop(L, 1);
                    return false;
                }
                lua_getfield(L, -1, "traceback");
                if (!lua_isfunction(L, -1))
                {
                    lua_pop(L, 2);
                    return false;
                }
                return true;
            }

            int callDebugTraceback(lua_State* L)
            {
                lua_pushvalue(L, 1);
                lua_pushinteger(L, 2);
                lua_call(L, 2, 1);
                return 1;
            }
        } // namespace StateCache
    }     // namespace LuaInterface
} // namespace vumo
