#pragma once

struct lua_State;

namespace vumo
{
    namespace LuaInterface
    {
        struct HookText;

        // A hook's error as the game maker reads it: the traceback names the hook's text where its function
        // was called, as if the text's chunk stood below the hook's frame.
        namespace HookTraceback
        {
            // The call being made, for its message handler; calls nest through hooks that call hooks.
            struct ActiveCall
            {
                const HookText* text;
                // Stack levels below the call.
                int depth;
                // The Lua thread the call was made on: the handler may also be called on another (a script
                // that took it through `debug` and calls it from a coroutine), whose levels are not the
                // call's.
                lua_State* thread;
            };
            extern ActiveCall* activeCall;

            // Stack levels of the thread.
            int countLevels(lua_State* L);
            // The usual handler (debug.traceback, looked up when the error comes), except that Lua's own
            // traceback is written as the text's would read.
            int messageHandler(lua_State* L);
        } // namespace HookTraceback
    }     // namespace LuaInterface
} // namespace vumo
