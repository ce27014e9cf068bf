#include <string>
#include <utility>
#include <vector>

#include "LuaTestSupport.h"

using namespace vumo;

using namespace luatest;

namespace
{
    // Each expression with the start of what it gives (dumpValue form), or of the error it raises without
    // the chunk's position.
    typedef std::vector<std::pair<std::string, std::string>> Cases;

    std::string strip(const std::string& message)
    {
        const size_t at = message.find(">:1: ");
        return at == std::string::npos ? message : message.substr(at + 5);
    }

    // What native code can do and a script's debug.setmetatable no longer may: give a userdata another
    // metatable.
    int nativeSetmetatable(lua_State* L)
    {
        lua_settop(L, 2);
        lua_setmetatable(L, 1);
        return 0;
    }
} // namespace

TEST_F(LuaTest, Gvec2Values)
{
    start();
    const Cases cases = {
        {"gvec2(3, 4):length()", "5"},
        {"gvec2(3, 4):squaredLength()", "5"},
        {"gvec2.new(1.7, 0).x", "1"},
        {"gvec2(-1.7, 1e20).x, gvec2(-1.7, 1e20).y", "-1|100000002004087734272"},
        {"gvec2(-1e300).x, gvec2(0/0).x ~= gvec2(0/0).x", "-inf|true"},
        {"gvec2.new().y", "0"},
        {"tostring(gvec2(1, 2))", "gvec2(1.00, 2.00)"},
        {"tostring(gvec2(1, 2) * 2)", "gvec2(2.00, 4.00)"},
        {"tostring(gvec2(1, 2) / 2)", "gvec2(0.50, 1.00)"},
        {"tostring(gvec2(1, 2) * gvec2(3, 4))", "gvec2(3.00, 8.00)"},
        {"tostring(gvec2(1, 2) + gvec2(3, 4) - gvec2(1, 1))", "gvec2(3.00, 5.00)"},
        {"gvec2(1, 2) == gvec2(1, 2), gvec2(1, 2) == gvec2(2, 1)", "true|false"},
        {"gvec2(3, 4):dot(gvec2(1, 2)), gvec2(3, 4):dot(2, 1)", "11|10"},
        {"gvec2(0, 0):isInCircle(3, 4, 5), gvec2(0, 0):isInCircle(3, 4, 4.9)", "true|false"},
        {"gvec2(0, -1):angle()", "90"},
        {"tostring(gvec2(1, 0):rotated(90))", "gvec2(0.00, 1.00)"},
        {"(function() local v = gvec2(2, 0) v:rotate(180) return tostring(v) end)()", "gvec2(-2.00, 0.00)"},
        {"tostring(gvec2(3, 4):normalized()), tostring(gvec2():normalized())",
         "gvec2(0.60, 0.80)|gvec2(0.00, 0.00)"},
        {"(function() local v = gvec2(0, 5) v:normalize() v.x = 7 v:set(v.x, v.y + 1) return tostring(v) "
         "end)()",
         "gvec2(7.00, 2.00)"},
        {"getmetatable(gvec2()) == gvec2, type(gvec2().length)", "true|function"},
        {"2 * gvec2(1, 1)", "error: bad argument #1 to '?' (gvec2 expected, got number)"},
        {"gvec2(1, 1) + 1", "error: bad argument #2 to '?' (gvec2 expected, got number)"},
        {"gvec2.length({})", "error: bad argument #1 to 'length' (gvec2 expected, got table)"},
        {"gvec2.length(io.stdout)", "error: bad argument #1 to 'length' (gvec2 expected, got userdata)"},
        {"(function() gvec2().z = 1 end)()",
         "error: invalid gvec2 property: 'z', only 'x' and 'y' are allowed."},
    };
    for (const auto& [expression, expected] : cases)
    {
        std::string got;
        try
        {
            got = eval("return " + expression);
        }
        catch (const quortypes::exception& e)
        {
            got = "error: " + strip(e.getMessage());
            got = got.substr(0, got.find('\n'));
        }
        EXPECT_EQ(got.substr(0, expected.size()), expected) << expression << " gave " << got;
    }
}

TEST_F(LuaTest, GsplineValues)
{
    start();
    const Cases cases = {
        {"gspline({gvec2(0, 0), gvec2(100, 0)}):length()", "100"},
        {"tostring(gspline({gvec2(0, 0), gvec2(100, 0)}):calcPosition(0.5))", "gvec2(50.00, 0.00)"},
        {"tostring(gspline({0, 0, 100, 0}))", "gspline(len: 100.00)"},
        {"gspline:new({0, 0, 100, 0}):numPoints()", "2"},
        // The type table is taken for the points: an empty spline.
        {"gspline.new({0, 0, 100, 0}):numPoints(), gspline.new({0, 0, 100, 0}):length()", "0|0"},
        {"(function() local s = gspline({0, 0, 100, 0}) s:addPoint(100, 100) s:addPoint(gvec2(0, 100)) "
         "return s:numPoints() end)()",
         "4"},
        {"tostring(gspline({0, 0, 100, 0}):calcTangent(0.5))", "gvec2(1.00, 0.00)"},
        {"gspline({0, 0, 100, 0}, 5)", "error: bad argument #3 to 'gspline' (gvec2 expected, got number)"},
        {"gspline.length(gvec2())", "error: bad argument #1 to 'length' (gspline expected, got userdata)"},
        {"(function() local s = gspline({0, 0, 100, 0}) debug.getmetatable(s).__gc(s) return s:length() "
         "end)()",
         "error: calling 'length' on bad self (the spline was already collected)"},
    };
    for (const auto& [expression, expected] : cases)
    {
        std::string got;
        try
        {
            got = eval("return " + expression);
        }
        catch (const quortypes::exception& e)
        {
            got = "error: " + strip(e.getMessage());
            got = got.substr(0, got.find('\n'));
        }
        EXPECT_EQ(got.substr(0, expected.size()), expected) << expression << " gave " << got;
    }
    // Collected values free their splines (the leak check watches the rest).
    LuaInterface::execute("for i = 1, 200 do local s = gspline({0, 0, i, 0}) end collectgarbage()");
}

// Native code (a module's) can give any userdata any metatable: a value that only wears a type's metatable is
// refused with the type's error, never read as what it is not.
TEST_F(LuaTest, ForeignUserdataIsRefusedByEveryType)
{
    start();
    lua_register(L(), "nativeSetmetatable", nativeSetmetatable);
    LuaInterface::execute("vecMeta = debug.getmetatable(gvec2.new(1, 2))\n"
                          "splineMeta = debug.getmetatable(gspline({0, 0, 100, 0}))\n"
                          "function wearing(value, meta) nativeSetmetatable(value, meta) return value end\n");

    const Cases cases = {
        {"wearing(newproxy(false), vecMeta):length()", "gvec2 expected, got userdata"},
        {"wearing(newproxy(false), vecMeta).x", "gvec2 expected, got userdata"},
        {"(function() wearing(newproxy(false), vecMeta).y = 1 end)()", "gvec2 expected, got userdata"},
        {"gvec2(1, 2) + wearing(newproxy(false), vecMeta)", "gvec2 expected, got userdata"},
        {"wearing(gspline({0, 0, 100, 0}), vecMeta):set(1, 2)", "gvec2 expected, got userdata"},
        {"select(2, pcall(tostring, wearing(gspline({0, 0, 100, 0}), vecMeta)))",
         "gvec2 expected, got userdata"},
        {"wearing(gvec2(1, 2), splineMeta):length()", "gspline expected, got userdata"},
        {"wearing(newproxy(false), splineMeta):numPoints()", "gspline expected, got userdata"},
        {"gspline({wearing(newproxy(false), vecMeta)})", "gvec2 expected, got userdata"},
        {"gspline({0, 0, 100, 0}):addPoint(wearing(io.stdout, vecMeta))", "gvec2 expected, got userdata"},
        {"tostring(gvec2(1, 2) * 2), gspline({0, 0, 100, 0}):length()", "gvec2(2.00, 4.00)|100"},
    };
    for (const auto& [expression, expected] : cases)
    {
        std::string got;
        try
        {
            got = eval("return " + expression);
        }
        catch (const quortypes::exception& e)
        {
            got = "error: " + strip(e.getMessage());
            got = got.substr(0, got.find('\n'));
        }
        EXPECT_NE(got.find(expected), std::string::npos) << expression << " gave " << got;
    }
    // The collector calls the spline's finalizer on whatever wears its metatable, and leaves what is not a
    // spline alone.
    LuaInterface::execute("for i = 1, 50 do wearing(gvec2(i, i), splineMeta) wearing(newproxy(false), "
                          "splineMeta) end collectgarbage() collectgarbage()");
}
