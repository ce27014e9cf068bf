#pragma once

struct lua_State;

namespace vumo
{
    namespace LuaInterface
    {
        // The socket library, and the native modules built on it, take a userdata for one of their sockets
        // when its metatable carries a field of the socket's group ("tcp{any}"), which a script writes into
        // any metatable it reaches: a proxy's, or a file's. So every native function their classes hold is
        // put behind a guard that takes only a userdata whose metatable is one of the classes the function
        // came with, whatever the metatables' fields say; the debug library keeps metatables, the registry
        // and native upvalues out of scripts' hands (src/lua/api/debug.cpp), so that no other userdata can
        // wear those metatables. A native opener runs where no hook or script sees it, and its classes are
        // guarded before the script gets its result.
        namespace NativeGuards
        {
            // At start: package.loadlib and the loaders of native modules hand out openers that guard what
            // they open, and require "socket.core" opens the socket library the engine carries.
            void guardLoaders(lua_State* L);
            // Opens the socket library the engine carries, guarded; its table is left on the stack.
            void openSocketCore(lua_State* L);
        } // namespace NativeGuards
    }     // namespace LuaInterface
} // namespace vumo
