#include <tuple>
#include <vector>

#include "LuaStateTestSupport.h"

using tesrauiluatest::LuaStateTest;

namespace
{
    // Runs the check named by the global "check" with the type string in the global "types".
    int checked(lua_State* L)
    {
        lua_getglobal(L, "check");
        const std::string check = lua_tostring(L, -1);
        lua_getglobal(L, "types");
        const std::string types = lua_tostring(L, -1);
        lua_pop(L, 2);
        if (check == "range")
            tesrauilua::checkArgs(L, 1, 2, "f", types.c_str());
        else if (check == "exact")
            tesrauilua::checkArgsExact(L, 3, "f", types.c_str());
        else if (check == "types")
            tesrauilua::checkArgumentTypes(L, "f", types.c_str());
        else if (check == "table")
            tesrauilua::checkTableArgument(L, 2, "f", types.c_str());
        else if (check == "optional")
            return tesrauilua::push(L, tesrauilua::checkOptionalTableArgument(L, 2, "f", types.c_str()));
        return tesrauilua::push(L, "ok");
    }
} // namespace

TEST_F(LuaStateTest, ArgumentCheckMessages)
{
    tesrauilua::registerFunction(L, checked, "f");
    const std::vector<std::tuple<const char*, const char*, const char*, std::string>> cases = {
        {"range", "sn", "'a'", "ok"},
        {"range", "sn", "",
         "Error calling f(string, [number]) with 0 arguments, function expects 1 to 2 arguments)"},
        {"range", "sn", "'a', 1, 2",
         "Error calling f(string, [number]) with 3 arguments, function expects 1 to 2 arguments)"},
        {"range", "sn", "'a', 'b'",
         "Error calling f(string, number), passed argument 2 as a string, expected number"},
        {"exact", "sot", "'a', 'b'",
         "Error calling f(string, object, table) with 2 arguments, function expects 3 arguments)"},
        {"exact", "sot", "'a', {}, {}", "ok"},
        // A number is no string, but nil passes every letter.
        {"types", "ss", "'a', 1",
         "Error calling f(string, string), passed argument 2 as a number, expected string"},
        {"types", "ss", "nil, 'b'", "ok"},
        {"types", "bf", "true, 1",
         "Error calling f(boolean, function), passed argument 2 as a number, expected function"},
        // Arguments beyond the letters are taken as "?".
        {"types", "n", "1, {}, print", "ok"},
        {"types", "x?", "print", "Error calling f(?, [?]), passed argument 1 as a function, expected ?"},
        {"table", "nt", "1, {}", "ok"},
        {"table", "nt", "1, nil",
         "Error calling f(number, table), passed argument 2 as a nil, expected table"},
        {"optional", "nt", "1", "false"},
        {"optional", "nt", "1, {}", "true"},
        {"optional", "nt", "1, io.stdout",
         "Error calling f(number, table), passed argument 2 as a userdata, expected table"},
    };
    for (const auto& [check, types, args, expected] : cases)
    {
        run(std::string("check = '") + check + "' types = '" + types + "'");
        const std::string result = run(std::string("return f(") + args + ")");
        EXPECT_EQ(result.rfind("error: ", 0) == 0 ? result.substr(7) : result, expected)
            << check << " " << args;
    }
    EXPECT_EQ(tesrauilua::describeSignature("object.create", "ssot", 2),
              "object.create(string, string, [object], [table])");
    EXPECT_EQ(tesrauilua::describeSignature("f", nullptr, 0), "f()");
}

TEST_F(LuaStateTest, IntegersAreClampedNotWrapped)
{
    const std::pair<const char*, int> cases[] = {
        {"2.9", 2},   {"-2.9", -2},  {"1e300", 2147483647},      {"-1e300", -2147483647 - 1},      {"0/0", 0},
        {"'12'", 12}, {"'text'", 0}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& [value, expected] : cases)
    {
        luaL_loadstring(L, (std::string("return ") + value).c_str());
        lua_call(L, 0, 1);
        EXPECT_EQ(tesrauilua::toInt(L, -1), expected) << value;
        lua_pop(L, 1);
    }
}
