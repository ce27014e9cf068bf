#include <stdexcept>

#include <quortypes_testing/ResourceFolder.h>
#include <tesraui/exception.h>

#include "LuaStateTestSupport.h"

using quortypes_testing::thrownText;
using tesrauiluatest::LuaStateTest;

namespace
{
    int throwsFrameworkError(lua_State*)
    {
        throw tesraui::_GenericException("no such dataset", __FILE__, __LINE__);
    }

    int throwsStandardError(lua_State*)
    {
        throw std::out_of_range("index 7 out of range");
    }

    int raises(lua_State* L)
    {
        tesrauilua::raiseLuaError(L, "raised %s %d");
    }

    // Calls its first argument, so that a Lua error has to cross the boundary on its way out.
    int callsBack(lua_State* L)
    {
        lua_pushvalue(L, 1);
        lua_call(L, 0, 0);
        return tesrauilua::push(L, "not reached");
    }

    int answers(lua_State* L)
    {
        return tesrauilua::push(L, 42);
    }

    int depth(lua_State* L)
    {
        return tesrauilua::push(L, tesrauilua::getBoundaryDepth());
    }
} // namespace

TEST_F(LuaStateTest, ErrorsOfEveryKindBecomeLuaErrors)
{
    tesrauilua::registerFunction(L, throwsFrameworkError, "framework");
    tesrauilua::registerFunction(L, throwsStandardError, "standard");
    tesrauilua::registerFunction(L, raises, "raises");
    tesrauilua::registerFunction(L, callsBack, "callsBack");
    const std::pair<const char*, std::string> cases[] = {
        // The framework's message keeps its place decoration; only the text is compared.
        {"framework()", "no such dataset"},
        {"standard()", "index 7 out of range"},
        // The message is never a format.
        {"raises()", "raised %s %d"},
        {"callsBack(function() error('from the script') end)", "from the script"},
        {"callsBack(framework)", "no such dataset"},
    };
    for (const auto& [code, expected] : cases)
    {
        const std::string message = run(code);
        EXPECT_EQ(message.substr(message.size() - std::min(message.size(), expected.size())), expected)
            << code;
        EXPECT_EQ(message.rfind("error: ", 0), 0u) << code;
    }
    // The state is still usable after all of them, and no error left a function counted as running.
    EXPECT_EQ(run("return 1 + 1"), "2");
    EXPECT_EQ(tesrauilua::getBoundaryDepth(), 0);
}

TEST_F(LuaStateTest, TheBoundaryCountsTheRegisteredFunctionsRunning)
{
    tesrauilua::registerFunction(L, depth, "depth");
    tesrauilua::registerFunction(L, callsBack, "callsBack");
    tesrauilua::registerFunction(L, throwsFrameworkError, "framework");
    EXPECT_EQ(tesrauilua::getBoundaryDepth(), 0);
    EXPECT_EQ(run("return depth()"), "1");
    EXPECT_EQ(run("local seen; callsBack(function() seen = depth() end); return seen"), "2");
    EXPECT_EQ(run("local seen; pcall(callsBack, function() seen = depth(); framework() end); "
                  "return seen, depth()"),
              "2|1");
    // A coroutine runs on a state of its own, and is counted all the same.
    EXPECT_EQ(run("return coroutine.wrap(function() return depth() end)()"), "1");
    EXPECT_EQ(tesrauilua::getBoundaryDepth(), 0);
}

TEST_F(LuaStateTest, RegisteredFunctionsAreKnownAsSuch)
{
    tesrauilua::pushFunction(L, answers);
    lua_getglobal(L, "print");
    luaL_loadstring(L, "return 1");
    EXPECT_TRUE(tesrauilua::isRegisteredFunction(L, -3));
    EXPECT_FALSE(tesrauilua::isRegisteredFunction(L, -2));
    EXPECT_FALSE(tesrauilua::isRegisteredFunction(L, -1));
    lua_pop(L, 3);
}

namespace
{
    // Answers its second and third upvalues, the ones pushFunction was handed.
    int answersUpvalues(lua_State* L)
    {
        lua_pushvalue(L, lua_upvalueindex(2));
        lua_pushvalue(L, lua_upvalueindex(3));
        return 2;
    }
} // namespace

TEST_F(LuaStateTest, ARegisteredFunctionCarriesItsUpvaluesBehindTheBoundary)
{
    lua_pushstring(L, "first");
    lua_pushinteger(L, 2);
    const int top = lua_gettop(L) - 2;
    tesrauilua::pushFunction(L, answersUpvalues, 2);
    EXPECT_EQ(lua_gettop(L), top + 1);
    EXPECT_TRUE(tesrauilua::isRegisteredFunction(L, -1));
    tesrauilua::assignGlobalPath(L, "carried.f");
    EXPECT_EQ(lua_gettop(L), top);
    EXPECT_EQ(run("return carried.f()"), "first|2");
    // Cleared later, the value reads as nil and the function still runs behind the boundary.
    lua_getglobal(L, "carried");
    lua_getfield(L, -1, "f");
    lua_pushnil(L);
    lua_setupvalue(L, -2, 2);
    lua_pop(L, 2);
    EXPECT_EQ(run("return carried.f()"), "nil|2");
}

TEST_F(LuaStateTest, DottedRegistrationMakesMissingTablesOnly)
{
    run("x = {keep = 1}");
    tesrauilua::registerFunction(L, answers, "x.y.z");
    tesrauilua::registerFunction(L, answers, "fresh.f");
    tesrauilua::registerFunction(L, answers, "plain");
    EXPECT_EQ(run("return x.keep, x.y.z(), ___x___y___z, fresh.f(), plain()"), "1|42|nil|42|42");

    // A link that is no table: Lua's message as an exception, the stack as it was.
    run("blocked = 5");
    const int top = lua_gettop(L);
    EXPECT_NE(
        thrownText<tesraui::_GenericException>([&] { tesrauilua::registerFunction(L, answers, "blocked.f"); })
            .find("attempt to index global 'blocked' (a number value)"),
        std::string::npos);
    EXPECT_EQ(lua_gettop(L), top);
}
