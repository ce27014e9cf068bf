#include <cstdlib>

#include <lua.hpp>

#include "Config.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            int cfg_index(lua_State* L)
            {
                const hstring key = toString(L, 2);
                if (Session::getConfig().hasKey(key))
                {
                    const hstring value = Session::getConfigValue(key);
                    if (value.isNumber())
                    {
                        lua_pushnumber(L, atof(value.c_str()));
                        return 1;
                    }
                    return push(L, value);
                }
                // Anything else reads as a global, so that code run with cfg as its environment works.
                lua_pushvalue(L, 2);
                lua_rawget(L, LUA_GLOBALSINDEX);
                return 1;
            }

            int cfg_newindex(lua_State* L)
            {
                const hstring key = toString(L, 2);
                if (!Session::getConfig().hasKey(key))
                {
                    raiseLuaError(L,
                                  formatString("Error setting cfg param '%s', param not defined in cfg file",
                                               key.c_str()));
                }
                Session::setConfigValue(key, toString(L, 3));
                return 0;
            }

            int cfg_serialize(lua_State* L)
            {
                lua_newtable(L);
                for (auto& entry : Session::getConfig())
                {
                    if (!entry.first.contains("."))
                    {
                        push(L, entry.second);
                        lua_setfield(L, -2, entry.first.c_str());
                    }
                }
                return 1;
            }

            int cfg_rawset(lua_State* L)
            {
                checkArgsExact(L, 2, "cfg.rawset", "ss");
                Session::setConfigValue(toString(L, 1), toString(L, 2));
                return 0;
            }

            int cfg_save(lua_State*)
            {
                Session::saveUserConfig();
                return 0;
            }

            int cfg_load(lua_State*)
            {
                Session::reloadConfig();
                return 0;
            }
        } // namespace

        void registerCfg()
        {
            registerFunction(cfg_save, "cfg.save");
            registerFunction(cfg_load, "cfg.load");
            registerFunction(cfg_rawset, "cfg.rawset");
            registerFunction(cfg_index, "cfg._index");
            registerFunction(cfg_newindex, "cfg._newindex");
            registerFunction(cfg_serialize, "cfg._serialize");
            execute("setmetatable(cfg, {__index = cfg._index, __newindex = cfg._newindex, __serialize = "
                    "cfg._serialize}); "
                    "cfg._index = nil; cfg._newindex = nil; cfg._serialize = nil",
                    "", "");
        }
    } // namespace LuaInterface
} // namespace vumo
