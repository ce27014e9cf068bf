#include <cmath>

#include <lua.hpp>
#include <tesra/Window.h>
#include <tesra/tesra.h>

#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            // Lua's own os.exit ends the process where it stands: no shut-down, no save of the profile. This
            // one ends the program as vumo.endProgram does, with the code given.
            int os_exit(lua_State* L)
            {
                checkArgs(L, 0, 1, "os.exit", "n");
                int code = 0;
                if (lua_gettop(L) >= 1 && !lua_isnil(L, 1))
                {
                    const lua_Number number = lua_tonumber(L, 1);
                    // What a process's exit status can carry; anything else is a failure all the same.
                    code = (std::isfinite(number) && number >= 0.0 && number <= 255.0) ? (int)number : 1;
                }
                tesra::setExitCode(code);
                if (tesra::window != nullptr)
                {
                    tesra::window->terminateMainLoop();
                }
                return 0;
            }
        } // namespace

        void registerOs()
        {
            registerFunction(os_exit, "os.exit");
        }
    } // namespace LuaInterface
} // namespace vumo
