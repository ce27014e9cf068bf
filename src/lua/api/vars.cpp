#include <cstdlib>

#include <lua.hpp>

#include "DebugNames.h"
#include "Profile.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "lua/LuaInterface.h"
#include "lua/api/registrars.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            VariableDictionary& variables()
            {
                return VariableDictionary::getGlobal();
            }

            int pushValue(lua_State* L, const hstring& value)
            {
                if (value.isNumber())
                {
                    lua_pushnumber(L, atof(value.c_str()));
                    return 1;
                }
                return push(L, value);
            }

            void raiseMissingSet(lua_State* L, const hstring& name, const hstring& value)
            {
                raiseLuaError(L, "Attempting to set state variable $" + name + ": " + value +
                                     ", variable not found.");
            }

            int vars_index(lua_State* L)
            {
                const hstring name = toString(L, 2);
                if (!variables().exists(name))
                {
                    raiseLuaError(L,
                                  "Attempting to evaluate state variable $" + name + ", variable not found.");
                }
                DebugNames::registerVar(name);
                return pushValue(L, variables().get(name).value());
            }

            int vars_newindex(lua_State* L)
            {
                const hstring name = toString(L, 2);
                const hstring value = toString(L, 3);
                if (!variables().exists(name))
                {
                    raiseMissingSet(L, name, value);
                }
                variables().get(name).set(value);
                return 0;
            }

            int vars_table(lua_State* L)
            {
                lua_newtable(L);
                for (auto& entry : variables().getVariables())
                {
                    push(L, entry.second.value());
                    lua_setfield(L, -2, entry.first.c_str());
                }
                return 1;
            }

            int vars_create(lua_State* L)
            {
                checkArgsExact(L, 2, "vars.create", "s?");
                const hstring name = toString(L, 1);
                if (variables().exists(name))
                {
                    raiseLuaError(L, "Unable to create new var '" + name + "', var already exists.");
                }
                variables().create(name, toString(L, 2));
                return 0;
            }

            int vars_exists(lua_State* L)
            {
                checkArgsExact(L, 1, "exists", "s");
                return push(L, variables().exists(toString(L, 1)));
            }

            int vars_set(lua_State* L)
            {
                checkArgs(L, 2, 3, "vars.set", "s?b");
                const hstring name = toString(L, 1);
                const hstring value = toString(L, 2);
                if (!variables().exists(name))
                {
                    raiseMissingSet(L, name, value);
                }
                variables().get(name).setValue(value, lua_gettop(L) > 2 && toBool(L, 3));
                return 0;
            }

            int vars_revertToProfile(lua_State*)
            {
                if (Session::getProfile() != nullptr)
                {
                    Session::getProfile()->revert();
                }
                return 0;
            }
        } // namespace

        void registerVars()
        {
            registerFunction(vars_index, "vars.___index");
            registerFunction(vars_newindex, "vars.___newindex");
            registerFunction(vars_table, "vars.___serialize");
            registerFunction(vars_table, "vars.table");
            registerFunction(vars_create, "vars.create");
            registerFunction(vars_exists, "vars.exists");
            registerFunction(vars_set, "vars.set");
            registerFunction(vars_revertToProfile, "vars.revertToProfile");
            execute(
                "setmetatable(vars, { __index = vars.___index, __newindex = vars.___newindex, __serialize = "
                "vars.___serialize })",
                "", "");
        }
    } // namespace LuaInterface
} // namespace vumo
