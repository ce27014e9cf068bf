#include "SignalStop.h"

#include <atomic>
#include <chrono>
#include <csignal>

#include <lua.hpp>
#include <tesra/tesra.h>

namespace vumo
{
    namespace LuaInterface
    {
        namespace SignalStop
        {
            namespace
            {
                // How often a running script looks at the clock once a signal came, and how long after the
                // first look it may still finish.
                const int instructionsPerLook = 1000;
                const std::chrono::milliseconds grace(2000);

                std::atomic<lua_State*> watched{nullptr};
                static_assert(std::atomic<lua_State*>::is_always_lock_free, "read inside a signal handler");
                // The hook's own state, on the main thread only.
                bool looked = false;
                std::chrono::steady_clock::time_point firstLook;
                bool stopped = false;

                void stopHook(lua_State* L, lua_Debug*)
                {
                    const auto now = std::chrono::steady_clock::now();
                    if (!looked)
                    {
                        looked = true;
                        firstLook = now;
                        return;
                    }
                    if (now - firstLook < grace)
                    {
                        return;
                    }
                    stopped = true;
                    // From here on every instruction raises: a loop that catches the error with pcall still
                    // meets it at its next instruction outside the protected call.
                    lua_sethook(L, stopHook, LUA_MASKCOUNT, 1);
                    luaL_error(L,
                               "the game is ending on a termination signal, and this script did not finish: "
                               "it was stopped");
                }

                // Inside the signal handler, on the main thread.
                void onSignal(int)
                {
                    if (lua_State* L = watched.load())
                    {
                        lua_sethook(L, stopHook, LUA_MASKCOUNT, instructionsPerLook);
                    }
                }
            } // namespace

            void watch(lua_State* L)
            {
                looked = false;
                stopped = false;
                watched.store(L);
                tesra::setTerminationSignalListener(onSignal);
            }

            void unwatch()
            {
                tesra::setTerminationSignalListener(nullptr);
                release();
                watched.store(nullptr);
            }

            void release()
            {
                lua_State* L = watched.load();
                // Another count hook (a fuzz target's budget) is not ours to take away.
                if (L != nullptr && lua_gethook(L) == stopHook)
                {
                    lua_sethook(L, nullptr, 0, 0);
                }
                looked = false;
            }

            bool hasStopped()
            {
                return stopped;
            }
        } // namespace SignalStop
    }     // namespace LuaInterface
} // namespace vumo
