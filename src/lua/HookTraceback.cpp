#include <cstring>
#include <vector>

#include <lua.hpp>

#include "HookCalls.h"
#include "HookTraceback.h"
#include "StateCache.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace HookTraceback
        {
            ActiveCall* activeCall = nullptr;

            int countLevels(lua_State* L)
            {
                lua_Debug ar;
                int low = 0;
                int high = 1;
                while (lua_getstack(L, high - 1, &ar) != 0)
                {
                    low = high;
                    high *= 2;
                }
                // Levels below low exist, level high - 1 does not.
                while (low < high - 1)
                {
                    const int middle = (low + high) / 2;
                    if (lua_getstack(L, middle - 1, &ar) != 0)
                    {
                        low = middle;
                    }
                    else
                    {
                        high = middle;
                    }
                }
                return low;
            }

            // Lua's own traceback text, as it reads when the text's chunk stands below the hook's frame: the
            // hook's frame is named as the text's call names it, and the chunk's line follows.
            int tracebackAsText(lua_State* L, const ActiveCall& call)
            {
                const int firstLevels = 12;
                const int lastLevels = 10;
                lua_settop(L, 1);
                if (lua_isstring(L, 1) == 0)
                {
                    return 1;
                }
                // Levels as debug.traceback counts them from the usual handler: itself is 0, the handler 1.
                const int total = countLevels(L);
                const int hookLevel = total - 1 - call.depth;
                std::vector<int> levels;
                for (int level = 1; level < total; ++level)
                {
                    levels.push_back(level);
                    if (level == hookLevel)
                    {
                        levels.push_back(-1);
                    }
                }
                auto exists = [&](int level) { return level - 2 < (int)levels.size(); };
                lua_pushliteral(L, "\n");
                lua_pushliteral(L, "stack traceback:");
                int level = 2;
                bool firstPart = true;
                while (exists(level++))
                {
                    if (level > firstLevels && firstPart)
                    {
                        if (!exists(level + lastLevels))
                        {
                            --level;
                        }
                        else
                        {
                            lua_pushliteral(L, "\n\t...");
                            while (exists(level + lastLevels))
                            {
                                ++level;
                            }
                        }
                        firstPart = false;
                        continue;
                    }
                    lua_pushliteral(L, "\n\t");
                    const int real = levels[level - 1 - 2];
                    if (real < 0 && call.text->tailCall)
                    {
                        lua_pushliteral(L, "(tail call): ?");
                    }
                    else if (real < 0)
                    {
                        hstring code;
                        hstring chunkName;
                        call.text->make(code, chunkName);
                        const hstring& name = (chunkName.size() > 0 ? chunkName : code);
                        lua_Debug ar;
                        if (luaL_loadbuffer(L, code.c_str(), code.size(), name.c_str()) == 0 &&
                            lua_getinfo(L, ">S", &ar) != 0)
                        {
                            lua_pushfstring(L, "%s:1: in main chunk", ar.short_src);
                        }
                        else
                        {
                            lua_pop(L, 1);
                            lua_pushliteral(L, "?: in main chunk");
                        }
                    }
                    else
                    {
                        lua_Debug ar;
                        lua_getstack(L, real, &ar);
                        lua_getinfo(L, "Snl", &ar);
                        lua_pushfstring(L, "%s:", ar.short_src);
                        if (ar.currentline > 0)
                        {
                            lua_pushfstring(L, "%d:", ar.currentline);
                        }
                        if (*ar.namewhat != '\0')
                        {
                            lua_pushfstring(L, " in function " LUA_QS, ar.name);
                        }
                        else if (real == hookLevel && !call.text->tailCall && strcmp(ar.what, "Lua") == 0)
                        {
                            lua_pushfstring(L, " in function " LUA_QS, call.text->functionName);
                        }
                        else if (*ar.what == 'm')
                        {
                            lua_pushliteral(L, " in main chunk");
                        }
                        else if (*ar.what == 'C' || *ar.what == 't')
                        {
                            lua_pushliteral(L, " ?");
                        }
                        else
                        {
                            lua_pushfstring(L, " in function <%s:%d>", ar.short_src, ar.linedefined);
                        }
                    }
                    lua_concat(L, lua_gettop(L));
                }
                lua_concat(L, lua_gettop(L));
                return 1;
            }

            int messageHandler(lua_State* L)
            {
                if (!StateCache::pushDebugTraceback(L))
                {
                    return 1;
                }
                if (activeCall != nullptr && activeCall->thread == L &&
                    StateCache::isLibraryFunction(L, -1, StateCache::LibraryFunction::Traceback))
                {
                    return tracebackAsText(L, *activeCall);
                }
                return StateCache::callDebugTraceback(L);
            }
        } // namespace HookTraceback
    }     // namespace LuaInterface
} // namespace vumo
