#include <lua.hpp>
#include <tesrauilua/Boundary.h>
#include <tesrauilua/Objects.h>

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/orvalo.h>

namespace orvalo
{
    namespace
    {
        using tesrauilua::raiseLuaError;

        int createMoreGamesScreen(lua_State* L)
        {
            if (lua_gettop(L) < 1)
            {
                raiseLuaError(L,
                              "orvalo.createMoreGamesScreen(): function can only be called with one object "
                              "table/string argument");
            }
            // Always a full name, whatever the program makes of bare ones.
            orvalo::createMoreGamesScreen(tesrauilua::findDatasetObject(L, tesrauilua::getObjectName(L, 1)));
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
            tesrauilua::pushFunction(L, entry.func);
            lua_setfield(L, -2, entry.name);
        }
        // Set raw: the game's scripts have run, and a metamethod of theirs on the globals (a module that
        // refuses undeclared globals) would run, or raise, in the middle of the game's start.
        lua_pushliteral(L, "orvalo");
        lua_insert(L, -2);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
} // namespace orvalo
