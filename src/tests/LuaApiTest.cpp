#include <quortypes/util.h>

#include "LuaTestSupport.h"

using namespace vumo;

using namespace luatest;

TEST_F(LuaTest, UtilRandomNumbersStayInTheirRanges)
{
    start();
    quortypes::seedRandom(5);
    EXPECT_EQ(eval("local lo, hi = math.huge, -math.huge "
                   "for i = 1, 2000 do local v = util.irand() lo = math.min(lo, v) hi = math.max(hi, v) end "
                   "return lo >= 1 and hi < 2147483647 and hi > 1000000"),
              "true");
    EXPECT_EQ(eval("local seen = {} for i = 1, 500 do seen[util.irand(5)] = true end "
                   "return seen[1], seen[4], seen[5], seen[0]"),
              "true|true|nil|nil");
    EXPECT_EQ(eval("for i = 1, 500 do local v = util.irand(3, 6) if v < 3 or v >= 6 then return v end end "
                   "return util.irand(4, 4), util.irand(0 / 0), util.irand(1e300) >= 1"),
              "4|1|true");
    EXPECT_EQ(eval("for i = 1, 500 do local v = util.rand(2, 3) if v < 2 or v >= 3 then return v end end "
                   "local v = util.rand() return v >= 0 and v < 1"),
              "true");
    const std::string message =
        "[string \"test\"]:1: util.rand() can only be called with 0, 1 or 2 arguments.";
    EXPECT_EQ(pcallMessage("util.rand(1, 2, 3)"), message);
    EXPECT_EQ(pcallMessage("util.irand(1, 2, 3)"), message);
    EXPECT_EQ(
        eval("return util.floatEquals(1, 1.005), util.floatEquals(1, 1.02), util.floatEquals(1, 1.02, 0.1)"),
        "true|false|true");
}

TEST_F(LuaTest, UtilIncludeRunsAFileInAnEnvironment)
{
    write("data/inc.lua", "included = (included or 0) + 1");
    start();
    LuaInterface::execute("room = {}; other = {}");
    LuaInterface::execute("util.include('data/inc.lua')");
    LuaInterface::execute("util.include('data/inc.lua', 'other')");
    host.scene = reinterpret_cast<Scene*>(&host);
    host.environment = "room";
    LuaInterface::execute("util.include('data/inc.lua')");
    EXPECT_EQ(eval("return included, other.included, room.included"), "1|1|1");
    const std::string message = pcallMessage("util.include('data/none.lua')");
    EXPECT_NE(message.find("Lua file 'data/none.lua' not found"), std::string::npos) << message;
}

// A script that runs itself again through the engine goes down the engine's stack each time as well as Lua's:
// Lua's bound on calls from C (200) stops it with an error, on the stack of the sanitizer build too.
TEST_F(LuaTest, AScriptRunningItselfThroughTheEngineStopsAtLuasBound)
{
    write("data/again.lua", "runs = runs + 1 util.include('data/again.lua')");
    start();
    LuaInterface::execute("runs = 0");
    const std::string message = pcallMessage("util.include('data/again.lua')");
    EXPECT_NE(message.find("C stack overflow"), std::string::npos) << message.substr(message.size() > 300 ? message.size() - 300 : 0);
    const int runs = std::stoi(eval("return runs"));
    EXPECT_GT(runs, 50);
    EXPECT_LT(runs, 200);
}

TEST_F(LuaTest, StringExtensions)
{
    start();
    const std::vector<std::pair<hstring, std::string>> cases = {
        {"return ('abc'):starts_with('ab'), ('abc'):ends_with('bc'), ('ab'):ends_with('xab'), "
         "('abc'):contains('d'), string.contains(12, 2)",
         "true|true|false|false|true"},
        {"return ('aaa'):replace('aa', 'a'), ('x.y'):replace('.', '..'), ('ab'):replace('', 'z')",
         "aa|x..y|ab"},
        {"return '[' .. ('  a b  '):trim() .. ']', '[' .. ('--a-'):ltrim('-') .. ']', "
         "'[' .. ('--a--'):rtrim('-') .. ']'",
         "[a b]|[a-]|[--a]"},
        {"local t = ('a,,b,'):split_string(',') return #t, t[1], t[2], t[3], t[4]", "4|a||b|"},
        {"return ('h\\195\\169llo'):utf8_size(), ('h\\195\\169llo'):utf8_substr(1, 2), "
         "('h\\195\\169llo'):utf8_substr(2), ('abc'):utf8_substr(3), ('abc'):utf8_substr(9, 1)",
         "5|\xC3\xA9l|llo||"},
    };
    for (const auto& [code, expected] : cases)
    {
        EXPECT_EQ(eval(code), expected) << code;
    }
    const std::vector<std::pair<hstring, std::string>> failures = {
        {"('a'):trim('--')", "optional argument to string.trim must be a single character string"},
        {"('a'):starts_with()", "string function expects 2 string arguments, got string and no value"},
        {"string.contains('a', {})", "string function expects 2 string arguments, got string and table"},
        {"string.split_string('a')",
         "Error calling string.split(string, string) with 1 arguments, function expects 2 arguments)"},
        {"string.utf8_size(1, 2)",
         "Error calling string.utf8size(string) with 2 arguments, function expects 1 arguments)"},
        {"string.replace('a', 'b', {})", "Error calling string.replace(string, string, string), passed "
                                         "argument 3 as a table, expected string"},
    };
    for (const auto& [code, expected] : failures)
    {
        EXPECT_EQ(pcallMessage(code), "[string \"test\"]:1: " + expected) << code;
    }
}

// Lua's matcher goes one call deeper for each capture and each repeated item of a pattern: a pattern of
// 100,000 of them overflowed the stack. Up to the bound every pattern function matches as Lua's own does (the
// results are Lua's); past it each refuses the pattern, whichever way it is called, while a plain search
// takes any text.
TEST_F(LuaTest, PatternsGoNoDeeperThanTheBound)
{
    write("data/patterns.lua", "function deep(count) return string.rep('a?', count) end\n"
                               "function captures(count) return string.rep('(', count) .. 'a' .. "
                               "string.rep(')', count) end\n"
                               "function flat(count) return string.rep('%a[%]]%b()%f[a]', count) .. '-' end\n"
                               "subject = string.rep('a', 300)\n");
    start();
    LuaInterface::execute("util.include('data/patterns.lua')");
    // Repetitions, the two ends of each capture, and what goes no deeper: a class, a set holding "]", a
    // balance and a frontier.
    const std::vector<std::pair<hstring, std::string>> matched = {
        {"string.find(subject, deep(200))", "1|200"},
        {"#string.match(subject, deep(198) .. '(a)')", "1"},
        {"select(2, string.gsub(subject, captures(16) .. deep(168), 'b'))", "2"},
        {"(function() local n = 0 for a in subject:gmatch(deep(200)) do n = n + 1 end return n end)()", "3"},
        {"string.find(subject .. ']()a', flat(300))", "nil"},
        {"string.find(deep(100000), deep(100000), 1, true)", "1|200000"},
    };
    for (const auto& [code, expected] : matched)
    {
        EXPECT_EQ(eval("return " + code), expected) << code;
    }
    const std::string refused = ": pattern too complex, more than 200 captures and repeated items";
    const std::vector<std::pair<hstring, std::string>> failures = {
        {"string.find(subject, deep(201))", "string.find"},
        {"subject:match(deep(100000))", "string.match"},
        {"string.gsub(subject, captures(16) .. deep(169), '')", "string.gsub"},
        {"subject:gmatch('[a]?' .. deep(200))", "string.gmatch"},
    };
    for (const auto& [code, function] : failures)
    {
        EXPECT_EQ(pcallMessage(code), "[string \"test\"]:1: " + function + refused) << code;
    }
}
