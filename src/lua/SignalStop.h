#pragma once

struct lua_State;

namespace vumo
{
    namespace LuaInterface
    {
        // A termination signal ends the game through its normal end, after the frame under way. A script that
        // keeps that frame from ending (an endless loop) would keep the game from ever ending but through a
        // kill, which saves nothing: once a signal has come, a script still running two seconds later is
        // stopped with an error, and every script after it at once, until the main loop has ended. Lua keeps
        // the count hook that does this per thread, so the signal reaches the main thread and every coroutine
        // being resumed, and a coroutine resumed later gets it as it starts. Nothing of this costs anything
        // before a signal: the signal's handler itself sets the hooks (which Lua allows in a signal handler).
        // Where no hook runs (a finalizer, a debug hook, one long call of native code), the engine's end
        // watchdog ends the process instead (see tesra::main).
        namespace SignalStop
        {
            // From now on a termination signal arms the stop for the state's threads.
            void watch(lua_State* L);
            // coroutine.resume and coroutine.wrap note the threads they run, for the signal to reach them.
            void followCoroutines(lua_State* L);
            // The state is about to close: signals no longer touch it.
            void unwatch();
            // The main loop has ended: the scripts of the end run unhindered, until another signal comes.
            void release();
            // Whether a signal has armed the stop: a script's own debug hook then waits, so that it does not
            // take the stop's place.
            bool isStopping();
            // Whether a script was stopped since watch: what the game changed in that frame may be half
            // done, and is not taken into the profile.
            bool hasStopped();
        } // namespace SignalStop
    }     // namespace LuaInterface
} // namespace vumo
