#pragma once

#include <quortypes/hstring.h>

struct lua_State;

namespace LuaInterface
{
    // Compiled chunks of the global state keyed by chunk name and code, so that hooks called every frame
    // are not compiled every frame. A chunk is taken out while it runs: a nested run of the same text
    // compiles its own copy and never changes the environment of the running one.
    namespace ChunkCache
    {
        // Pushes the compiled chunk and returns true, or pushes nothing and returns false.
        bool take(lua_State* L, const hstring& chunkName, const hstring& code);
        // Stores the function on top of the stack and pops it; compiled says it is not one given back.
        void put(lua_State* L, const hstring& chunkName, const hstring& code, bool compiled);
        void clear();
    } // namespace ChunkCache
} // namespace LuaInterface
