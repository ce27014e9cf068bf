#include <exception>

#include <lua.hpp>
#include <quortypes/exception.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/orvalo.h>

namespace orvalo
{
    namespace
    {
        // Every function runs inside this boundary, as the engine's own do: a C++ exception that reached
        // Lua's protected call would be swallowed, so both exception families become Lua errors.
        int boundary(lua_State* L)
        {
            lua_CFunction function = (lua_CFunction)lua_touserdata(L, lua_upvalueindex(1));
            hstring text;
            try
            {
                return function(L);
            }
            catch (const quortypes::exception& e)
            {
                text = e.getMessage();
            }
            catch (const std::exception& e)
            {
                text = e.what();
            }
            // Raised outside the handlers so that the caught exception is already gone.
            return luaL_error(L, "%s", text.c_str());
        }

        // Lua's own error, which unwinds as its own exception through the boundary.
        [[noreturn]] void raise(lua_State* L, const hstring& text)
        {
            luaL_error(L, "%s", text.c_str());
            throw; // not reached
        }

        // A "dataset.object" string or an object table.
        tesraui::Object* getObject(lua_State* L, int index)
        {
            hstring name;
            switch (lua_type(L, index))
            {
            case LUA_TSTRING:
                name = lua_tostring(L, index);
                break;
            case LUA_TTABLE:
                lua_pushstring(L, "__name");
                lua_rawget(L, index);
                if (lua_isstring(L, -1) == 0)
                {
                    lua_pop(L, 1);
                    raise(L, formatString(
                                 "C++ interface: Unable to convert table to Object instance at stack index "
                                 "%d. The provided object table is invalid.",
                                 index));
                }
                name = lua_tostring(L, -1);
                lua_pop(L, 1);
                break;
            default:
                raise(L, formatString(
                             "C++ interface: Unable to convert %s to Object instance at stack index %d. "
                             "Objects should be referenced as strings or object tables",
                             luaL_typename(L, index), index));
            }
            hstring datasetName;
            hstring objectName;
            if (!name.rsplit('.', datasetName, objectName))
            {
                raise(L, "Unable to get object '" + name + "', full object name must be provided.");
            }
            return tesraui::getDatasetByName(datasetName)->getObject(objectName);
        }

        int createMoreGamesScreen(lua_State* L)
        {
            if (lua_gettop(L) < 1)
            {
                raise(L, "orvalo.createMoreGamesScreen(): function can only be called with one object "
                         "table/string "
                         "argument");
            }
            orvalo::createMoreGamesScreen(getObject(L, 1));
            return 0;
        }

        int showMoreGamesScreen(lua_State*)
        {
            orvalo::showMoreGamesScreen();
            return 0;
        }

        int destroyMoreGamesScreen(lua_State*)
        {
            orvalo::destroyMoreGamesScreen();
            return 0;
        }

        int getRateLink(lua_State* L)
        {
            const hstring link = orvalo::getRateLink();
            lua_pushlstring(L, link.c_str(), link.size());
            return 1;
        }

        int rateApp(lua_State*)
        {
            orvalo::rateApp();
            return 0;
        }
    } // namespace

    void registerLuaFunctions(lua_State* L)
    {
        const luaL_Reg functions[] = {{"createMoreGamesScreen", &createMoreGamesScreen},
                                      {"showMoreGamesScreen", &showMoreGamesScreen},
                                      {"destroyMoreGamesScreen", &destroyMoreGamesScreen},
                                      {"getRateLink", &getRateLink},
                                      {"rateApp", &rateApp}};
        lua_newtable(L);
        for (const luaL_Reg& entry : functions)
        {
            lua_pushlightuserdata(L, (void*)entry.func);
            lua_pushcclosure(L, &boundary, 1);
            lua_setfield(L, -2, entry.name);
        }
        lua_setglobal(L, "orvalo");
    }
} // namespace orvalo
