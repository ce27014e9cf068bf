#include "gvec2.h"

#include <cmath>

#include <lua.hpp>

#include "Tagged.h"
#include "lua/Calls.h"

namespace vumo
{
    namespace LuaInterface
    {
        namespace
        {
            const char* const typeName = "gvec2";
            const char tag = 0;

            struct Components
            {
                float x;
                float y;
            };

            Components* check(lua_State* L, int index)
            {
                return checkTagged<Components>(L, index, &tag, typeName);
            }

            int pushNew(lua_State* L, float x, float y)
            {
                pushTagged<Components>(L, &tag, typeName, Components{x, y});
                return 1;
            }

            // Both components lose their fraction, as the integer conversion of optional arguments they once
            // went through did; a number past what that integer holds stays as far as it is (the conversion
            // made 1e20 a negative number).
            int construct(lua_State* L, int first)
            {
                const float x = (float)std::trunc(luaL_optnumber(L, first, 0.0));
                const float y = (float)std::trunc(luaL_optnumber(L, first + 1, 0.0));
                return pushNew(L, x, y);
            }

            int gvec2_new(lua_State* L)
            {
                return construct(L, 1);
            }

            int gvec2_call(lua_State* L)
            {
                return construct(L, 2);
            }

            int gvec2_length(lua_State* L)
            {
                const Components* v = check(L, 1);
                lua_pushnumber(L, std::sqrt(v->x * v->x + v->y * v->y));
                return 1;
            }

            int gvec2_set(lua_State* L)
            {
                Components* v = check(L, 1);
                v->x = (float)luaL_checknumber(L, 2);
                v->y = (float)luaL_checknumber(L, 3);
                return 0;
            }

            int gvec2_isInCircle(lua_State* L)
            {
                const Components* v = check(L, 1);
                const float dx = v->x - (float)luaL_checknumber(L, 2);
                const float dy = v->y - (float)luaL_checknumber(L, 3);
                const float r = (float)luaL_checknumber(L, 4);
                lua_pushboolean(L, r * r >= dx * dx + dy * dy);
                return 1;
            }

            int gvec2_angle(lua_State* L)
            {
                const Components* v = check(L, 1);
                lua_pushnumber(L, std::atan2(-v->y, v->x) * 57.29577951308232);
                return 1;
            }

            Components rotated(const Components& v, double degrees)
            {
                const double a = degrees * 0.017453292519943295;
                const double c = std::cos(a);
                const double s = std::sin(a);
                return Components{(float)(v.x * c - v.y * s), (float)(v.x * s + v.y * c)};
            }

            int gvec2_rotate(lua_State* L)
            {
                Components* v = check(L, 1);
                *v = rotated(*v, luaL_checknumber(L, 2));
                return 0;
            }

            int gvec2_rotated(lua_State* L)
            {
                const Components result = rotated(*check(L, 1), luaL_checknumber(L, 2));
                return pushNew(L, result.x, result.y);
            }

            Components normalized(const Components& v)
            {
                const float length = std::sqrt(v.x * v.x + v.y * v.y);
                return (length > 0.0f ? Components{v.x / length, v.y / length} : v);
            }

            int gvec2_normalize(lua_State* L)
            {
                Components* v = check(L, 1);
                *v = normalized(*v);
                return 0;
            }

            int gvec2_normalized(lua_State* L)
            {
                const Components result = normalized(*check(L, 1));
                return pushNew(L, result.x, result.y);
            }

            int gvec2_dot(lua_State* L)
            {
                const Components* v = check(L, 1);
                float x = 0.0f;
                float y = 0.0f;
                if (lua_gettop(L) == 2)
                {
                    const Components* w = check(L, 2);
                    x = w->x;
                    y = w->y;
                }
                else
                {
                    x = (float)luaL_checknumber(L, 2);
                    y = (float)luaL_checknumber(L, 3);
                }
                lua_pushnumber(L, v->x * x + v->y * y);
                return 1;
            }

            int gvec2_index(lua_State* L)
            {
                const Components* v = check(L, 1);
                const char* key = lua_tostring(L, 2);
                if (key != nullptr && key[0] != '\0' && key[1] == '\0' && (key[0] == 'x' || key[0] == 'y'))
                {
                    lua_pushnumber(L, key[0] == 'x' ? v->x : v->y);
                    return 1;
                }
                lua_getglobal(L, typeName);
                lua_pushvalue(L, 2);
                lua_gettable(L, -2);
                return 1;
            }

            int gvec2_newindex(lua_State* L)
            {
                Components* v = check(L, 1);
                const hstring key = (lua_isstring(L, 2) ? toString(L, 2) : hstring(luaL_typename(L, 2)));
                if (key == "x" || key == "y")
                {
                    (key == "x" ? v->x : v->y) = (float)luaL_checknumber(L, 3);
                    return 0;
                }
                raiseLuaError(L, "invalid gvec2 property: '" + key + "', only 'x' and 'y' are allowed.");
            }

            int gvec2_add(lua_State* L)
            {
                const Components* v = check(L, 1);
                const Components* w = check(L, 2);
                return pushNew(L, v->x + w->x, v->y + w->y);
            }

            int gvec2_sub(lua_State* L)
            {
                const Components* v = check(L, 1);
                const Components* w = check(L, 2);
                return pushNew(L, v->x - w->x, v->y - w->y);
            }

            int gvec2_mul(lua_State* L)
            {
                const Components* v = check(L, 1);
                if (lua_type(L, 2) == LUA_TNUMBER)
                {
                    const float n = (float)lua_tonumber(L, 2);
                    return pushNew(L, v->x * n, v->y * n);
                }
                const Components* w = check(L, 2);
                return pushNew(L, v->x * w->x, v->y * w->y);
            }

            int gvec2_div(lua_State* L)
            {
                const Components* v = check(L, 1);
                if (lua_type(L, 2) == LUA_TNUMBER)
                {
                    const float n = (float)lua_tonumber(L, 2);
                    return pushNew(L, v->x / n, v->y / n);
                }
                const Components* w = check(L, 2);
                return pushNew(L, v->x / w->x, v->y / w->y);
            }

            int gvec2_eq(lua_State* L)
            {
                const Components* v = check(L, 1);
                const Components* w = check(L, 2);
                lua_pushboolean(L, v->x == w->x && v->y == w->y);
                return 1;
            }

            int gvec2_tostring(lua_State* L)
            {
                const Components* v = check(L, 1);
                return push(L, formatString("gvec2(%.2f, %.2f)", v->x, v->y));
            }

            // A vector owns nothing; a spline that wears the vector's metatable does.
            int gvec2_gc(lua_State* L)
            {
                releaseGspline(L, 1);
                return 0;
            }

            const NamedFunction methods[] = {
                {"new", gvec2_new},
                {"length", gvec2_length},
                // Bound to the length itself, not its square.
                {"squaredLength", gvec2_length},
                {"set", gvec2_set},
                {"isInCircle", gvec2_isInCircle},
                {"angle", gvec2_angle},
                {"rotate", gvec2_rotate},
                {"rotated", gvec2_rotated},
                {"normalize", gvec2_normalize},
                {"normalized", gvec2_normalized},
                {"dot", gvec2_dot},
                {nullptr, nullptr},
            };

            const NamedFunction metamethods[] = {
                {"__index", gvec2_index}, {"__newindex", gvec2_newindex}, {"__add", gvec2_add},
                {"__sub", gvec2_sub},     {"__mul", gvec2_mul},           {"__div", gvec2_div},
                {"__eq", gvec2_eq},       {"__tostring", gvec2_tostring}, {"__gc", gvec2_gc},
                {nullptr, nullptr},
            };
        } // namespace

        kavtypes::Vector2* checkGvec2(lua_State* L, int index)
        {
            static_assert(sizeof(kavtypes::Vector2) == sizeof(Components), "two floats");
            return (kavtypes::Vector2*)check(L, index);
        }

        int pushGvec2(lua_State* L, kavtypes::Vector2 value)
        {
            return pushNew(L, value.x, value.y);
        }

        void registerGvec2Type()
        {
            registerUserdataType(typeName, methods, metamethods, false, gvec2_call);
        }
    } // namespace LuaInterface
} // namespace vumo
