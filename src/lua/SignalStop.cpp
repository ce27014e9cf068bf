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
                // A signal came, and the end has not released the scripts since.
                std::atomic<bool> armed{false};
                // Each Lua thread keeps its own hook: the threads of the resumes under way, outermost first,
                // are the ones a signal must reach besides the main one. Deeper resumes than this fail on
                // Lua's own bound of nested calls long before.
                const int maxResumes = 256;
                std::atomic<lua_State*> resumed[maxResumes];
                std::atomic<int> resumes{0};
                static_assert(std::atomic<int>::is_always_lock_free, "read inside a signal handler");
                // The hook's own state, on the main thread only; read by the handler, which runs there too.
                bool looked = false;
                std::chrono::steady_clock::time_point firstLook;
                std::atomic<bool> stopped{false};

                lua_CFunction originalResume = nullptr;
                lua_CFunction originalWrap = nullptr;
                lua_CFunction originalWrapped = nullptr;

                void stopHook(lua_State* L, lua_Debug*)
                {
                    if (!armed.load())
                    {
                        // Left on a coroutine that was suspended when the end released the scripts.
                        lua_sethook(L, nullptr, 0, 0);
                        return;
                    }
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
                    stopped.store(true);
                    // From here on every instruction raises: a loop that catches the error with pcall still
                    // meets it at its next instruction outside the protected call.
                    lua_sethook(L, stopHook, LUA_MASKCOUNT, 1);
                    luaL_error(L,
                               "the game is ending on a termination signal, and this script did not finish: "
                               "it was stopped");
                }

                // Also inside the signal handler.
                void arm(lua_State* L)
                {
                    if (L != nullptr)
                    {
                        lua_sethook(L, stopHook, LUA_MASKCOUNT, stopped.load() ? 1 : instructionsPerLook);
                    }
                }

                // Inside the signal handler, on the main thread: whichever thread runs, and those that wait
                // for the resumes they made to return.
                void onSignal(int)
                {
                    armed.store(true);
                    arm(watched.load());
                    const int count = resumes.load();
                    for (int i = 0; i < count && i < maxResumes; ++i)
                    {
                        arm(resumed[i].load());
                    }
                }

                // A coroutine's thread on the list of resumes for as long as it runs. Listed before the
                // look at the signal, so that a signal in between arms it either way.
                struct Resume
                {
                    explicit Resume(lua_State* thread)
                    {
                        const int at = resumes.load();
                        if (at < maxResumes)
                        {
                            resumed[at].store(thread);
                        }
                        resumes.store(at + 1);
                        if (armed.load())
                        {
                            arm(thread);
                        }
                    }
                    ~Resume() { resumes.store(resumes.load() - 1); }
                    Resume(const Resume&) = delete;
                    Resume& operator=(const Resume&) = delete;
                };

                // Lua's own coroutine.resume, with its thread on the list. A non-thread argument gets Lua's
                // own error.
                int resume(lua_State* L)
                {
                    lua_State* thread = lua_tothread(L, 1);
                    if (thread == nullptr)
                    {
                        return originalResume(L);
                    }
                    const Resume running(thread);
                    return originalResume(L);
                }

                // What coroutine.wrap gives: Lua's own function of it, run as this closure, whose upvalue is
                // the thread as Lua's is.
                int wrapped(lua_State* L)
                {
                    lua_State* thread = lua_tothread(L, lua_upvalueindex(1));
                    if (thread == nullptr)
                    {
                        return luaL_error(L, "cannot resume a coroutine that is no coroutine");
                    }
                    const Resume running(thread);
                    return originalWrapped(L);
                }

                int wrap(lua_State* L)
                {
                    originalWrap(L);
                    if (originalWrapped == nullptr)
                    {
                        originalWrapped = lua_tocfunction(L, -1);
                    }
                    lua_getupvalue(L, -1, 1);
                    lua_pushcclosure(L, wrapped, 1);
                    return 1;
                }
            } // namespace

            void watch(lua_State* L)
            {
                looked = false;
                stopped.store(false);
                armed.store(false);
                resumes.store(0);
                watched.store(L);
                tesra::setTerminationSignalListener(onSignal);
            }

            void followCoroutines(lua_State* L)
            {
                lua_getglobal(L, "coroutine");
                if (!lua_istable(L, -1))
                {
                    lua_pop(L, 1);
                    return;
                }
                lua_getfield(L, -1, "resume");
                lua_getfield(L, -2, "wrap");
                lua_CFunction resumeFunction = lua_tocfunction(L, -2);
                lua_CFunction wrapFunction = lua_tocfunction(L, -1);
                lua_pop(L, 2);
                if (resumeFunction != nullptr && resumeFunction != resume && wrapFunction != nullptr &&
                    wrapFunction != wrap)
                {
                    originalResume = resumeFunction;
                    originalWrap = wrapFunction;
                    lua_pushcfunction(L, resume);
                    lua_setfield(L, -2, "resume");
                    lua_pushcfunction(L, wrap);
                    lua_setfield(L, -2, "wrap");
                }
                lua_pop(L, 1);
            }

            void unwatch()
            {
                tesra::setTerminationSignalListener(nullptr);
                release();
                watched.store(nullptr);
            }

            void release()
            {
                armed.store(false);
                lua_State* L = watched.load();
                // Another count hook (a fuzz target's budget) is not ours to take away.
                if (L != nullptr && lua_gethook(L) == stopHook)
                {
                    lua_sethook(L, nullptr, 0, 0);
                }
                looked = false;
            }

            bool isStopping()
            {
                return armed.load();
            }

            bool hasStopped()
            {
                return stopped.load();
            }
        } // namespace SignalStop
    }     // namespace LuaInterface
} // namespace vumo
