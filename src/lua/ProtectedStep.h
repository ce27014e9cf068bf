#pragma once

#include <functional>

struct lua_State;

namespace vumo
{
    namespace LuaInterface
    {
        // Runs a step of the engine's own work on L under a protected call, with the given number of
        // arguments taken from the top of the stack, and returns lua_pcall's status: a script's error met on
        // the way (a metamethod that raises) becomes the status instead of reaching the panic handler. The C
        // function Lua runs for it stands on Lua's stack meanwhile, where a metamethod can take it through
        // `debug`; it runs the step only for this one call, and refuses every other call of it with a Lua
        // error, so that a script cannot run the engine's step again with values of its own or after the
        // step's data has gone.
        int protectedStep(lua_State* L, int arguments, int results,
                          const std::function<int(lua_State*)>& step);
    } // namespace LuaInterface
} // namespace vumo
