#include <memory>
#include <new>

#include <lua.hpp>
#include <kavtypes/Spline.h>

#include "Tagged.h"
#include "gvec2.h"
#include "lua/Calls.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            const char* const typeName = "gspline";
            const char tag = 0;

            // The userdata's block holds the owner of its spline; the collector's call empties it.
            typedef std::unique_ptr<kavtypes::Spline> Slot;

            Slot* checkSlot(lua_State* L, int index)
            {
                return checkTagged<Slot>(L, index, &tag, typeName);
            }

            // A script that reaches the collector's call (through debug.getmetatable) empties the slot while
            // the value lives on: its methods refuse it rather than read a spline that is gone.
            kavtypes::Spline* check(lua_State* L, int index)
            {
                kavtypes::Spline* spline = checkSlot(L, index)->get();
                if (spline == nullptr)
                {
                    luaL_argerror(L, index, "the spline was already collected");
                }
                return spline;
            }

            void readPoints(lua_State* L, int index, harray<kavtypes::Vector2>& points)
            {
                int numbers = 0;
                float x = 0.0f;
                lua_pushnil(L);
                while (lua_next(L, index) != 0)
                {
                    if (lua_type(L, -1) == LUA_TNUMBER)
                    {
                        if (numbers % 2 == 0)
                        {
                            x = (float)lua_tonumber(L, -1);
                        }
                        else
                        {
                            points.push_back(kavtypes::Vector2(x, (float)lua_tonumber(L, -1)));
                        }
                        ++numbers;
                    }
                    else if (lua_type(L, -1) == LUA_TUSERDATA)
                    {
                        points.push_back(*checkGvec2(L, lua_gettop(L)));
                    }
                    lua_pop(L, 1);
                }
            }

            // gspline(points, vecA, vecB, num): a leading table is the type table of the call form.
            int gspline_new(lua_State* L)
            {
                const int first = (lua_istable(L, 1) ? 2 : 1);
                const int count = lua_gettop(L) - first + 1;
                harray<kavtypes::Vector2> points;
                kavtypes::Vector2 startTangent;
                kavtypes::Vector2 endTangent;
                bool closed = false;
                if (count >= 1 && lua_istable(L, first))
                {
                    readPoints(L, first, points);
                }
                if (count >= 2)
                {
                    startTangent = *checkGvec2(L, first + 1);
                }
                if (count >= 3)
                {
                    endTangent = *checkGvec2(L, first + 2);
                }
                if (count >= 4)
                {
                    closed = (luaL_checknumber(L, first + 3) == 1);
                }
                Slot* slot = pushTagged<Slot>(L, &tag, typeName);
                kavtypes::Spline built;
                built.build(points, closed, startTangent, endTangent);
                *slot = std::make_unique<kavtypes::Spline>(built);
                return 1;
            }

            int gspline_addPoint(lua_State* L)
            {
                kavtypes::Spline* spline = check(L, 1);
                if (lua_type(L, 2) == LUA_TNUMBER)
                {
                    spline->addPoint(
                        kavtypes::Vector2((float)luaL_checknumber(L, 2), (float)luaL_checknumber(L, 3)));
                }
                else
                {
                    spline->addPoint(*checkGvec2(L, 2));
                }
                return 0;
            }

            int gspline_calcPosition(lua_State* L)
            {
                return pushGvec2(L, check(L, 1)->calcPosition(luaL_checknumber(L, 2)));
            }

            int gspline_calcNormal(lua_State* L)
            {
                return pushGvec2(L, check(L, 1)->calcNormal(luaL_checknumber(L, 2)));
            }

            int gspline_calcTangent(lua_State* L)
            {
                return pushGvec2(L, check(L, 1)->calcTangent(luaL_checknumber(L, 2)));
            }

            int gspline_length(lua_State* L)
            {
                lua_pushnumber(L, check(L, 1)->getLength());
                return 1;
            }

            int gspline_numPoints(lua_State* L)
            {
                lua_pushnumber(L, check(L, 1)->getPointCount());
                return 1;
            }

            // The collector calls it for whatever userdata carries the metatable, and an error here would
            // surface at whatever allocation the collection ran in: what is not a spline is left alone.
            int gspline_gc(lua_State* L)
            {
                releaseGspline(L, 1);
                return 0;
            }

            int gspline_tostring(lua_State* L)
            {
                return push(L, formatString("gspline(len: %.2f)", check(L, 1)->getLength()));
            }

            const NamedFunction methods[] = {
                {"new", gspline_new},
                {"addPoint", gspline_addPoint},
                {"calcPosition", gspline_calcPosition},
                {"calcNormal", gspline_calcNormal},
                {"calcTangent", gspline_calcTangent},
                {"length", gspline_length},
                {"numPoints", gspline_numPoints},
                {nullptr, nullptr},
            };

            const NamedFunction metamethods[] = {
                {"__gc", gspline_gc},
                {"__tostring", gspline_tostring},
                {nullptr, nullptr},
            };
        } // namespace

        void releaseGspline(lua_State* L, int index)
        {
            if (Slot* slot = toTagged<Slot>(L, index, &tag))
            {
                slot->reset();
            }
        }

        void registerGsplineType()
        {
            registerUserdataType(typeName, methods, metamethods, true, gspline_new);
        }
    } // namespace LuaInterface
} // namespace vumo
