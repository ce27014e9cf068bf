// A script hook called the way the engine calls every hook (ask whether the function exists, then run the
// call as composed text) beside the same call made directly through Lua's API.
#include <benchmark/benchmark.h>
#include <lua.hpp>

#include "lua/LuaInterface.h"

namespace
{
    const char* const hook = "function ui.OnKeyDown(key) lastKey = key end";

    struct State
    {
        State()
        {
            LuaInterface::init();
            LuaInterface::execute(hook);
        }
        ~State() { LuaInterface::destroy(); }
    };

    void HookAsComposedText(benchmark::State& run)
    {
        State state;
        const hstring path = "ui.OnKeyDown";
        const hstring call = "ui.OnKeyDown(65)";
        const hstring none;
        for (auto _ : run)
        {
            if (LuaInterface::isFunction(path))
            {
                LuaInterface::execute(call, none, none);
            }
        }
    }
    BENCHMARK(HookAsComposedText);

    void HookThroughLuaApi(benchmark::State& run)
    {
        State state;
        lua_State* L = LuaInterface::state;
        for (auto _ : run)
        {
            lua_getfield(L, LUA_GLOBALSINDEX, "ui");
            lua_getfield(L, -1, "OnKeyDown");
            lua_pushnumber(L, 65);
            if (lua_pcall(L, 1, 0, 0) != 0)
            {
                run.SkipWithError(lua_tostring(L, -1));
                break;
            }
            lua_pop(L, 1);
        }
    }
    BENCHMARK(HookThroughLuaApi);
} // namespace
