#include <cmath>

#include <lua.hpp>
#include <quortypes/util.h>
#include <tesraui/Object.h>

#include "lua/Calls.h"
#include "lua/Host.h"
#include "lua/LuaInterface.h"
#include "lua/ScriptNumbers.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            const char* const randCountMessage = "util.rand() can only be called with 0, 1 or 2 arguments.";

            int util_rand(lua_State* L)
            {
                switch (lua_gettop(L))
                {
                case 0:
                    return push(L, quortypes::randomFloat(1.0f));
                case 1:
                    return push(L, quortypes::randomFloat(finiteArgument(L, 1, "util.rand")));
                case 2:
                    return push(L, quortypes::randomFloat(finiteArgument(L, 1, "util.rand"),
                                                          finiteArgument(L, 2, "util.rand")));
                }
                raiseLuaError(L, randCountMessage);
            }

            int util_irand(lua_State* L)
            {
                switch (lua_gettop(L))
                {
                case 0:
                    return push(L, quortypes::randomInt(1, 2147483647));
                case 1:
                    return push(L, quortypes::randomInt(1, toInt(L, 1)));
                case 2:
                    return push(L, quortypes::randomInt(toInt(L, 1), toInt(L, 2)));
                }
                raiseLuaError(L, randCountMessage);
            }

            int util_floatEquals(lua_State* L)
            {
                checkArgs(L, 2, 3, "util.floatEquals", "nnn");
                const double tolerance = (lua_gettop(L) > 2 ? lua_tonumber(L, 3) : 0.01);
                return push(L, std::fabs(lua_tonumber(L, 1) - lua_tonumber(L, 2)) < tolerance);
            }

            int util_include(lua_State* L)
            {
                checkArgs(L, 1, 2, "util.include", "ss");
                const hstring path = toString(L, 1);
                hstring environment;
                if (lua_gettop(L) > 1)
                {
                    environment = toString(L, 2);
                }
                else
                {
                    Host& host = getHost();
                    Scene* scene = host.getActiveScene();
                    if (scene != nullptr)
                    {
                        environment = host.getSceneEnvironment(scene);
                    }
                }
                execute(L, loadLuaFile(path), environment, path);
                return 0;
            }

            int util_transformPoint(lua_State* L)
            {
                checkArgsExact(L, 4, "util.transformPoint", "nnoo");
                const kavtypes::Vector2 point(finiteArgument(L, 1, "util.transformPoint"),
                                              finiteArgument(L, 2, "util.transformPoint"));
                tesraui::Object* from = getObject(L, 3);
                tesraui::Object* to = getObject(L, 4);
                const kavtypes::Vector2 result = localPoint(to, from->getDerivedPoint(point));
                push(L, result.x);
                push(L, result.y);
                return 2;
            }
        } // namespace

        void registerUtil()
        {
            registerFunction(util_rand, "util.rand");
            registerFunction(util_irand, "util.irand");
            registerFunction(util_floatEquals, "util.floatEquals");
            registerFunction(util_include, "util.include");
            registerFunction(util_transformPoint, "util.transformPoint");
        }
    } // namespace LuaInterface
} // namespace vumo
