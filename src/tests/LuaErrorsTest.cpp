#include <functional>
#include <stdexcept>

#include "LuaTestSupport.h"

using namespace vumo;

using namespace luatest;

namespace
{
    int guardsRun = 0;

    struct Guard
    {
        ~Guard() { ++guardsRun; }
    };

    int throwsEngineError(lua_State*)
    {
        Guard guard;
        throw quortypes::exception("engine says no %d%s%n", "Engine.cpp", 7);
    }

    int throwsOutOfRange(lua_State* L)
    {
        Guard guard;
        lua_pushnil(L); // left behind by the failure
        throw std::out_of_range("index 9 out of range");
    }
} // namespace

TEST_F(LuaTest, ErrorComposesItsMessageFromItsArguments)
{
    start();
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"error()", "Unknown error occured!\n(error() called without an argument)"},
        {"error(nil)", "Unknown error occured!\n(error() called with 'nil' argument)"},
        {"error(true)", "Unknown error occured!\n(error() called with 'boolean' argument)"},
        {"error({})", "$table$ argument provided to 'error()'"},
        {"error(42)", "42"},
        {"error('a', 'b')",
         "a\n<WARNING> error() called with more then one argument, additional arguments ignored."},
        {"error('%d%s%n and 100%')", "%d%s%n and 100%"},
    };
    for (const auto& [code, text] : cases)
    {
        // The caller's position comes first.
        EXPECT_EQ(pcallMessage(code), "[string \"test\"]:1: " + text) << code;
    }
}

TEST_F(LuaTest, FailedChunkBecomesLuaErrorWithContextAndTraceback)
{
    start();
    const int top = lua_gettop(L());
    const std::string message = failure("local x = 1\nerror('boom')");
    EXPECT_EQ(lua_gettop(L()), top);
    // Lua's decoration of the chunk shows as angle brackets, the context as a quoted string.
    // The traceback starts at the failing function: the handler itself does not show.
    EXPECT_EQ(
        message.find("<local x = 1...>:2: boom\nstack traceback:\n\t<C>: in function 'error'\n\t<local x = "
                     "1...>:2: in main chunk\nContext:"),
        0u)
        << message;
    EXPECT_NE(message.find("\nContext: string 'local x = 1\nerror('boom')'\nC++ file: Execute.cpp:"),
              std::string::npos)
        << message;

    // A chunk name is the context itself; a syntax error fails the same way.
    try
    {
        LuaInterface::execute("x = = 1", "", "data/x.lua");
        FAIL();
    }
    catch (const _LuaError& e)
    {
        EXPECT_EQ(e.context, "data/x.lua");
        EXPECT_EQ(e.getMessage().find("<data/x.lua>:1: unexpected symbol near '='\nContext: data/x.lua\n"),
                  0u);
    }
    EXPECT_EQ(lua_gettop(L()), top);
    LuaInterface::registerFunction(
        [](lua_State* L)
        {
            lua_newtable(L);
            return lua_error(L);
        },
        "raiseTable");
    EXPECT_EQ(failure("raiseTable()").find("Lua Internal Error\nContext:"), 0u);
}

TEST_F(LuaTest, ChunkDescriptions)
{
    EXPECT_EQ(LuaInterface::getChunkDescription("name", "code"), "name");
    EXPECT_EQ(LuaInterface::getChunkDescription("", "\x1bLua\x51"), "pre-compiled code");
    const hstring code199(std::string(199, 'a'));
    EXPECT_EQ(LuaInterface::getChunkDescription("", code199), "string '" + code199 + "'");
    EXPECT_EQ(LuaInterface::getChunkDescription("", code199 + "b"), "string '" + code199 + "...'");
}

TEST_F(LuaTest, EnvironmentPaths)
{
    start();
    LuaInterface::execute("env = {inner = {}}; flat = 3");
    LuaInterface::execute("a = 1", "env");
    LuaInterface::execute("b = 2", "env.inner");
    EXPECT_EQ(eval("return env.a, env.inner.b, a, b"), "1|2|nil|nil");
    // The environment is looked up on every run, also for a chunk already compiled: scenes replace theirs.
    LuaInterface::execute("a = 1", "");
    EXPECT_EQ(eval("return a"), "1");
    LuaInterface::execute("old = env; env = {}");
    LuaInterface::execute("a = 1", "env");
    EXPECT_EQ(eval("return env.a, old.a"), "1|1");
    const int top = lua_gettop(L());
    for (const char* path : {"env.inner.deeper", "nothing", "flat", "env.missing", "flat.x"})
    {
        EXPECT_EQ(
            thrownBy([&] { LuaInterface::execute("c = 1", path); })
                .find("Unable to find environment '" + std::string(path) + "'\nContext: string 'c = 1'"),
            0u);
        EXPECT_EQ(lua_gettop(L()), top);
    }
}

TEST_F(LuaTest, NestedRunOfTheSameTextKeepsEachEnvironment)
{
    start();
    LuaInterface::registerFunction(
        [](lua_State* L)
        {
            LuaInterface::execute(L, "name = me; if runInner then runInner() end; seen = seen .. name", "two",
                                  "");
            return 0;
        },
        "runInner");
    LuaInterface::execute(
        "one = {seen = '', me = 'outer', runInner = runInner}; two = {seen = '', me = 'inner'}");
    const hstring text = "name = me; if runInner then runInner() end; seen = seen .. name";
    // The first run leaves the compiled text in the cache for the second.
    LuaInterface::execute(text, "two");
    LuaInterface::execute("two.seen = ''");
    LuaInterface::execute(text, "one");
    EXPECT_EQ(eval("return one.seen, two.seen"), "outer|inner");
}

TEST_F(LuaTest, DottedPaths)
{
    start();
    LuaInterface::execute("function ui.setup() end; text = 'abc'; num = 12; t = {}");
    EXPECT_TRUE(LuaInterface::isFunction("ui.setup"));
    EXPECT_FALSE(LuaInterface::isFunction("ui.missing"));
    EXPECT_TRUE(LuaInterface::isTable("t"));
    EXPECT_FALSE(LuaInterface::isDefined(L(), "t.x"));
    EXPECT_EQ(LuaInterface::getGlobalString("num"), "12");
    EXPECT_EQ(LuaInterface::getGlobalString("text"), "abc");
    const int top = lua_gettop(L());
    EXPECT_NE(thrownBy([] { LuaInterface::isFunction("nosuch.setup"); })
                  .find("] lua symbol not found: 'nosuch.setup', failed at 'setup'"),
              std::string::npos);
    EXPECT_NE(thrownBy([] { LuaInterface::isDefined(LuaInterface::state, "text.a.b"); })
                  .find("] lua symbol not found: 'text.a.b', failed at 'a'"),
              std::string::npos);
    EXPECT_NE(
        thrownBy([] { LuaInterface::getGlobalString("t"); })
            .find("] getGlobalString: unable to fetch global lua string object 't', object is not a string"),
        std::string::npos);
    EXPECT_EQ(lua_gettop(L()), top);
}

TEST_F(LuaTest, LookupsUnderAScriptThatForbidsUndeclaredGlobals)
{
    start();
    LuaInterface::execute("function ui.setup() end; t = {}; ch = {}; setmetatable(ch, {__index = _G}); "
                          "setmetatable(_G, {__index = function(t, k) error('undeclared ' .. k, 2) end})");
    const int top = lua_gettop(L());
    // Every lookup runs protected: no panic. An absent hook is absent, a declared one is found.
    EXPECT_FALSE(LuaInterface::isFunction("ui.OnKeyDown"));
    EXPECT_FALSE(LuaInterface::isFunction("missing"));
    EXPECT_TRUE(LuaInterface::isFunction("ui.setup"));
    EXPECT_TRUE(LuaInterface::isTable("t"));
    EXPECT_FALSE(LuaInterface::isDefined(L(), "t.x"));
    // A link on the way that the script refuses is the lookup's failure, with the script's words.
    const std::string failed = thrownBy([] { LuaInterface::isFunction("nosuch.setup"); });
    EXPECT_NE(failed.find("lua symbol not found: 'nosuch.setup', failed at 'nosuch'"), std::string::npos)
        << failed;
    EXPECT_NE(failed.find("undeclared nosuch"), std::string::npos) << failed;
    EXPECT_NE(thrownBy([] { LuaInterface::getGlobalString("missing"); }).find("undeclared missing"),
              std::string::npos);
    EXPECT_NE(
        thrownBy([] { LuaInterface::pushGlobal(LuaInterface::state, "ch.gone"); }).find("undeclared gone"),
        std::string::npos);
    // Running code in an environment the script refuses to find is the usual error.
    for (const char* environment : {"nosuch", "ch.gone"})
    {
        EXPECT_NE(thrownBy([&] { LuaInterface::execute("x = 1", environment); })
                      .find("Unable to find environment '" + std::string(environment) + "'"),
                  std::string::npos)
            << environment;
    }
    LuaInterface::execute("ch.scene = {}");
    LuaInterface::execute("x = 1", "ch.scene");
    EXPECT_EQ(eval("return ch.scene.x"), "1");
    EXPECT_EQ(lua_gettop(L()), top);
}

TEST_F(LuaTest, DumpValueForms)
{
    start();
    const std::vector<std::pair<hstring, std::string>> cases = {
        {"return 3, 2.5, '7', '1.5', 'x', nil, true, false, print",
         "3|2.500000|7|1.500000|x|nil|true|false|function"},
        {"return {1, 2, x = 3}", "{ 1, 2, x: 3 }"},
        {"return {}", "{  }"},
        {"return {{}, k = {1}}", "{ table, k: table }"},
        {"return {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}", "{ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 ... }"},
        {"return coroutine.create(function() end)", "unknown"},
        {"return 2^53, -0.25", "9007199254740992|-0.250000"},
        // A userdata shows its __tostring, or "userdata" when that is missing, fails or gives no string.
        {"local u = {newproxy(true), newproxy(true), newproxy(true), newproxy(false)} "
         "getmetatable(u[1]).__tostring = function() return 'shown' end "
         "getmetatable(u[2]).__tostring = function() error('x') end "
         "getmetatable(u[3]).__tostring = function() return 5 end return unpack(u)",
         "shown|userdata|userdata|userdata"},
    };
    for (const auto& [code, text] : cases)
    {
        EXPECT_EQ(eval(code), text) << code;
    }
}

TEST_F(LuaTest, EngineExceptionsUnderApiFunctionsBecomeLuaErrors)
{
    start();
    LuaInterface::registerFunction(throwsEngineError, "test.engine");
    LuaInterface::registerFunction(throwsOutOfRange, "test.range");
    guardsRun = 0;
    const int top = lua_gettop(L());
    EXPECT_EQ(pcallMessage("test.engine()"), "[string \"test\"]:1: [Engine.cpp:7] engine says no %d%s%n");
    EXPECT_EQ(pcallMessage("test.range()"), "[string \"test\"]:1: index 9 out of range");
    EXPECT_EQ(guardsRun, 2);
    const std::string message = failure("test.range()");
    EXPECT_EQ(message.find("<test.range()>:1: index 9 out of range\n"), 0u) << message;
    EXPECT_EQ(guardsRun, 3);
    EXPECT_EQ(lua_gettop(L()), top);
}

// A finalizer runs wherever an allocation runs the collector, the engine's own unprotected calls into Lua
// too: its error reaches the engine's caller as a Lua error there, and the state works on.
TEST_F(LuaTest, FinalizerErrorOutsideProtectedCallsReachesTheCaller)
{
    start();
    LuaInterface::execute("x = 1");
    const std::vector<std::pair<std::string, std::function<void()>>> calls = {
        {"a pushed string", [this] { lua_pushstring(L(), "a string nothing made before"); }},
        {"a cached chunk's environment", [] { LuaInterface::execute("x = 1", "nowhere"); }},
    };
    for (const auto& [what, call] : calls)
    {
        // Held by the registry alone, then let go by C++: with the collector made to collect everything at
        // every allocation, the call's first allocation finalizes it.
        LuaInterface::execute(
            "held = newproxy(true) getmetatable(held).__gc = function() error('finalized') end");
        lua_getglobal(L(), "held");
        const int reference = luaL_ref(L(), LUA_REGISTRYINDEX);
        LuaInterface::execute(
            "held = nil collectgarbage('setpause', 0) collectgarbage('setstepmul', 1000000) "
            "collectgarbage('collect')");
        luaL_unref(L(), LUA_REGISTRYINDEX, reference);
        const std::string message = thrownBy(call);
        EXPECT_NE(message.find("finalized"), std::string::npos) << what << ": " << message;
        EXPECT_EQ(lua_gettop(L()), 0) << what;
        EXPECT_EQ(eval("collectgarbage('setpause', 200) collectgarbage('setstepmul', 200) return 1 + 1"), "2")
            << what;
    }
}

TEST_F(LuaTest, WarningRaisesOnlyInDebugMode)
{
    start();
    LuaInterface::registerFunction(
        [](lua_State* L)
        {
            LuaInterface::warning(L, "careful 100%");
            return 0;
        },
        "warn");
    LogCapture log;
    EXPECT_EQ(eval("warn() return 'went on'"), "went on");
    EXPECT_EQ(log.take(), Lines{"[scripting warning] careful 100%"});
    host.debugMode = true;
    EXPECT_EQ(pcallMessage("warn()"), "[string \"test\"]:1: WARNING: careful 100%");
}
