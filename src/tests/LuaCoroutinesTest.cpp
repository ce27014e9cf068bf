#include <string>
#include <utility>
#include <vector>

#include "LuaTestSupport.h"

using namespace luatest;

// coroutine.resume and coroutine.wrap are the engine's, so that a termination signal reaches the thread they
// run: what they give, what they raise and where they say it is Lua's own.
TEST_F(LuaTest, CoroutinesResumeYieldAndFailAsLuasOwn)
{
    start();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"(function() local co = coroutine.create(function(a, b) local c = coroutine.yield(a + b) "
         "return c * 2 end) local ok1, s = coroutine.resume(co, 1, 2) local ok2, d = coroutine.resume(co, 5) "
         "return ok1, s, ok2, d, coroutine.status(co) end)()",
         "true|3|true|10|dead"},
        {"(function() local co = coroutine.create(function() end) coroutine.resume(co) "
         "return coroutine.resume(co) end)()",
         "false|cannot resume dead coroutine"},
        {"select(2, pcall(coroutine.resume, 5))", "bad argument #1 to '?' (coroutine expected)"},
        {"select(2, pcall(coroutine.wrap, print))", "bad argument #1 to '?' (Lua function expected)"},
        {"(function() local f = coroutine.wrap(function(x) x = coroutine.yield(x + 1) return x * 3 end) "
         "return f(4), f(5) end)()",
         "5|15"},
        {"coroutine.wrap(function() return coroutine.wrap(function() return 7, coroutine.running() ~= nil "
         "end)() end)()",
         "7|true"},
        {"(function() local co co = coroutine.create(function() return coroutine.resume(co) end) "
         "return coroutine.resume(co) end)()",
         "true|false|cannot resume running coroutine"},
    };
    for (const auto& [expression, expected] : cases)
    {
        EXPECT_EQ(eval("return " + expression), expected) << expression;
    }
    // An error inside a wrapped coroutine reaches its caller with the place it was raised, as Lua's does.
    const std::string message = pcallMessage("coroutine.wrap(function() error('deep') end)()");
    EXPECT_NE(message.find(":1: deep"), std::string::npos) << message;
}
