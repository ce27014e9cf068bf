#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include <lua.hpp>

#include "LuaTestSupport.h"
#include "lua/Calls.h"
#include "lua/HookCalls.h"
#include "ScriptTexts.h"

using namespace vumo;

using namespace luatest;
using LuaInterface::HookCall;

namespace
{
    hstring sceneText(float dt)
    {
        return formatString("if type(OnUpdate) == 'function' then OnUpdate(%f) end", dt);
    }

    const hstring sceneChunk = "data/chapters/c1/scenes/a.scene";

    // A hook's text together with the maker it refers to, standing for the text in a call.
    struct OwnedText
    {
        OwnedText(const char* functionName, bool tailCall, std::function<void(hstring&, hstring&)> maker)
            : maker(std::move(maker))
        {
            this->text.functionName = functionName;
            this->text.tailCall = tailCall;
            this->text.setMake(this->maker);
        }
        OwnedText(const OwnedText&) = delete;
        OwnedText& operator=(const OwnedText&) = delete;
        operator const LuaInterface::HookText&() const { return this->text; }

        std::function<void(hstring&, hstring&)> maker;
        LuaInterface::HookText text;
    };

    OwnedText uiUpdate(float dt)
    {
        return OwnedText("update", false, [dt](hstring& code, hstring&) { code = HookTexts::update(dt); });
    }

    OwnedText sceneUpdate(float dt)
    {
        return OwnedText("OnUpdate", false,
                         [dt](hstring& code, hstring& name)
                         {
                             code = sceneText(dt);
                             name = sceneChunk;
                         });
    }

    struct Outcome
    {
        HookCall call = HookCall::RunText;
        std::string error = "no error";
    };
} // namespace

class LuaHookCallsTest : public LuaTest
{
protected:
    Outcome callUI(float dt)
    {
        Outcome outcome;
        outcome.error =
            thrownBy([&] { outcome.call = LuaInterface::callFieldHook("ui", "update", dt, uiUpdate(dt)); });
        return outcome;
    }
    Outcome callScene(float dt)
    {
        Outcome outcome;
        outcome.error = thrownBy(
            [&]
            { outcome.call = LuaInterface::callEnvironmentHook("c1.a", "OnUpdate", dt, sceneUpdate(dt)); });
        return outcome;
    }
    std::string textUI(float dt)
    {
        return thrownBy([&] { LuaInterface::execute(HookTexts::update(dt)); });
    }
    std::string textScene(float dt)
    {
        return thrownBy([&] { LuaInterface::execute(sceneText(dt), "c1.a", sceneChunk); });
    }
};

TEST_F(LuaHookCallsTest, HooksSeeTheNumberTheirTextWouldHand)
{
    start();
    LuaInterface::execute("c1 = {a = setmetatable({}, {__index = _G})}; seen = {}; "
                          "function ui.update(dt) seen[#seen + 1] = string.format('%.17g', dt) end; "
                          "c1.a.OnUpdate = ui.update");
    const std::vector<float> values = {0.016666668f, 1.0f / 3.0f, 0.0f, -0.0f, 2.5e-7f, 123456.789f, 1e20f};
    const int top = lua_gettop(L());
    for (float dt : values)
    {
        LuaInterface::execute(HookTexts::update(dt));
        EXPECT_EQ(callUI(dt).call, HookCall::Called);
        EXPECT_EQ(callScene(dt).call, HookCall::Called);
        EXPECT_EQ(eval("return seen[#seen - 2] == seen[#seen - 1] and seen[#seen - 1] == seen[#seen]"),
                  "true")
            << dt << " " << eval("return seen[#seen - 2], seen[#seen - 1]");
        EXPECT_EQ(lua_gettop(L()), top);
    }
}

TEST_F(LuaHookCallsTest, WhatTheStraightCallCannotStandForRunsAsText)
{
    start();
    LuaInterface::execute("c1 = {a = setmetatable({}, {__index = _G})}");
    const std::vector<std::tuple<std::string, HookCall, HookCall>> cases = {
        {"", HookCall::Absent, HookCall::Absent},
        {"ui.update = 5; c1.a.OnUpdate = 5", HookCall::RunText, HookCall::Absent},
        {"ui.update = print; c1.a.OnUpdate = print", HookCall::RunText, HookCall::RunText},
        {"setmetatable(ui, {__index = function() end}); c1.a.type = function() return 'function' end",
         HookCall::RunText, HookCall::RunText},
        {"ui = nil; c1.a = nil", HookCall::RunText, HookCall::RunText},
    };
    for (const auto& [setup, ui, scene] : cases)
    {
        LuaInterface::execute(setup.c_str());
        EXPECT_EQ(callUI(0.5f).call, ui) << setup;
        EXPECT_EQ(callScene(0.5f).call, scene) << setup;
    }
    EXPECT_EQ(callUI(NAN).call, HookCall::RunText);
}

TEST_F(LuaHookCallsTest, AFailureReadsAsTheTextsWould)
{
    start();
    LuaInterface::execute("c1 = {a = setmetatable({}, {__index = _G})}\n"
                          "local function down(n) if n == 0 then error('deep') end down(n - 1) end\n"
                          "function fail(dt) depth = depth or 0; down(depth) end\n"
                          "function viaTail(dt) return fail(dt) end\n"
                          "function viaPcall(dt) local ok, e = pcall(error, 'inner'); error(e) end\n");
    for (const char* hook : {"fail", "viaTail", "viaPcall"})
    {
        LuaInterface::execute(formatString("ui.update = %s; c1.a.OnUpdate = %s", hook, hook));
        for (int depth = 0; depth < 28; ++depth)
        {
            LuaInterface::execute(formatString("depth = %d", depth));
            const Outcome ui = callUI(0.25f);
            EXPECT_EQ(ui.error, textUI(0.25f)) << hook << " " << depth;
            const Outcome scene = callScene(0.03125f);
            EXPECT_EQ(scene.error, textScene(0.03125f)) << hook << " " << depth;
        }
    }
    // A traceback of the game's own is used as it is.
    LuaInterface::execute(
        "ui.update = fail; depth = 0; debug.traceback = function(m) return m .. ' (own)' end");
    EXPECT_NE(callUI(0.25f).error.find("deep (own)"), std::string::npos);
}

// A hook called by an engine function that a script called: the failure's traceback runs down through
// the script's own frames as the text's does.
TEST_F(LuaHookCallsTest, AFailureUnderAScriptsCallsReadsAsTheTextsWould)
{
    start();
    LuaInterface::registerFunction(
        [](lua_State* L) -> int
        {
            const hstring how = luaL_checkstring(L, 1);
            const std::string error = thrownBy(
                [&]
                {
                    if (how == "call")
                    {
                        LuaInterface::callEnvironmentHook("c1.a", "OnUpdate", 0.5f, sceneUpdate(0.5f));
                    }
                    else
                    {
                        LuaInterface::execute(sceneText(0.5f), "c1.a", sceneChunk);
                    }
                });
            lua_pushstring(L, error.c_str());
            return 1;
        },
        "hookFrom");
    LuaInterface::execute("c1 = {a = setmetatable({}, {__index = _G})}\n"
                          "function c1.a.OnUpdate(dt) error('deep') end\n"
                          "function via(n, how) if n == 0 then return hookFrom(how) end "
                          "local e = via(n - 1, how); return e end");
    for (int levels : {0, 1, 5, 30})
    {
        const std::string call = eval(formatString("return via(%d, 'call')", levels));
        EXPECT_EQ(call, eval(formatString("return via(%d, 'text')", levels))) << levels;
        EXPECT_TRUE(levels == 0 || call.find("in function 'via'") != std::string::npos) << levels << call;
    }
}

TEST_F(LuaHookCallsTest, AnAnimatorFunctionReadsAsItsText)
{
    start();
    LuaInterface::execute("c1 = {a = setmetatable({}, {__index = _G})}; lib = {}\n"
                          "function lib.half(name, t) return t / 2 end\n"
                          "function lib.pair(name, t) return t, t end\n"
                          "function lib.named(name, t) return name end\n"
                          "local function down(n) if n == 0 then error('deep') end down(n - 1) end\n"
                          "function lib.fail(name, t) down(depth) end\n"
                          "function lib.tail(name, t) return lib.fail(name, t) end\n");
    auto direct = [&](const hstring& path, float time, int& count, float& value)
    {
        const OwnedText text("", true,
                             [&](hstring& code, hstring&)
                             {
                                 code = "return " + path + "(" + LuaInterface::literal("ui.mover") + ", " +
                                        formatString("%f", time) + ")";
                             });
        HookCall call = HookCall::RunText;
        const std::string error = thrownBy(
            [&] { call = LuaInterface::callPathFunction(path, "ui.mover", time, text, count, value); });
        return std::make_pair(call, error);
    };
    int count = 0;
    float value = 0.0f;
    EXPECT_EQ(direct("lib.half", 0.3f, count, value).first, HookCall::Called);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(value, hstring(eval("return lib.half('ui.mover', 0.300000)")).toFloat());
    EXPECT_EQ(direct("c1.a.lib.pair", 0.3f, count, value).first, HookCall::Called);
    EXPECT_EQ(count, 2);
    LuaInterface::execute("whole = lib.half");
    EXPECT_EQ(direct("whole", 0.3f, count, value).first, HookCall::Called);
    EXPECT_EQ(value, hstring(eval("return lib.half('ui.mover', 0.300000)")).toFloat());
    EXPECT_EQ(direct("lib.named", 0.3f, count, value).first, HookCall::Called);
    EXPECT_EQ(value, 0.0f);
    for (const char* path : {"lib.missing", "nosuch.half", "lib.end", "lib['half']", "print"})
    {
        EXPECT_EQ(direct(path, 0.3f, count, value).first, HookCall::RunText) << path;
    }
    for (const char* path : {"lib.fail", "c1.a.lib.tail"})
    {
        for (int depth = 0; depth < 26; ++depth)
        {
            LuaInterface::execute(formatString("depth = %d", depth));
            const std::string text = thrownBy(
                [&]
                {
                    harray<hstring> results;
                    LuaInterface::executeWithReturnValues(
                        hstring("return ") + path + "(" + LuaInterface::literal("ui.mover") + ", 0.500000)",
                        "", results);
                });
            EXPECT_EQ(direct(path, 0.5f, count, value).second, text) << path << " " << depth;
        }
    }
}

TEST_F(LuaHookCallsTest, NumberResultsReadAsTheirText)
{
    start();
    std::vector<double> values = {0.1,       -0.1,       1.5,   1e-7, -2.5e-7,    0.0000005,
                                  0.0000015, 123456.789, 1e300, -0.0, 16777217.5, 4503599627370495.5,
                                  1.0 / 3.0};
    uint64_t seed = 12345;
    for (int i = 0; i < 200000; ++i)
    {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        const double unit = (double)(seed >> 11) / (double)(1ull << 53);
        values.push_back((unit - 0.5) * std::pow(10.0, (int)(seed % 14) - 7));
    }
    for (double value : values)
    {
        lua_pushnumber(L(), value);
        const float expected = LuaInterface::dumpValue(L(), -1).toFloat();
        lua_pop(L(), 1);
        const float got = LuaInterface::textFloat(value);
        ASSERT_TRUE(memcmp(&expected, &got, sizeof(float)) == 0) << formatString("%.17g", value);
    }
}

TEST(HookNumbers, TheNumberHandedIsWhatTheSixDecimalTextReads)
{
    std::vector<float> values = {0.0f,     -0.0f,       0.0000005f,  -0.0000005f,  0.0000015f, 2.5e-7f,
                                 -2.5e-7f, 0.5f,        1.0f / 3.0f, 0.016666668f, 4503599.5f, 1e20f,
                                 -3.4e38f, 16777215.0f, 8388607.5f,  1e-30f,       -1e-30f};
    uint64_t seed = 99;
    for (int i = 0; i < 200000; ++i)
    {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        uint32_t bits = (uint32_t)(seed >> 32);
        float value;
        memcpy(&value, &bits, sizeof(value));
        if (std::isfinite(value))
        {
            values.push_back(value);
        }
    }
    for (float value : values)
    {
        char text[64];
        snprintf(text, sizeof(text), "%f", value);
        const double expected = strtod(text, nullptr);
        const double got = LuaInterface::fixedValue(value);
        ASSERT_TRUE(memcmp(&expected, &got, sizeof(double)) == 0)
            << formatString("%.9g gives %.17g, the text %.17g", value, got, expected);
    }
}

TEST_F(LuaHookCallsTest, KeptKeysFollowWhatTheScriptsChangeBetweenCalls)
{
    start();
    LuaInterface::execute("c1 = {a = setmetatable({}, {__index = _G})}; log = {}\n"
                          "function c1.a.OnUpdate(dt) log[#log + 1] = 'scene 1' end\n"
                          "function ui.update(dt) log[#log + 1] = 'ui 1' end");
    LuaInterface::EnvironmentKeys keys;
    keys.setScene("c1", "a");
    // Each step runs, then both hooks are called through the keys kept from the steps before.
    const std::vector<std::tuple<std::string, HookCall, HookCall, std::string>> steps = {
        {"", HookCall::Called, HookCall::Called, "ui 1|scene 1"},
        {"function c1.a.OnUpdate(dt) log[#log + 1] = 'scene 2' end; "
         "function ui.update(dt) log[#log + 1] = 'ui 2' end",
         HookCall::Called, HookCall::Called, "ui 2|scene 2"},
        {"c1.a = setmetatable({OnUpdate = function() log[#log + 1] = 'new scene table' end}, {__index = "
         "_G}); "
         "ui = setmetatable({update = function() log[#log + 1] = 'new ui table' end}, {__index = _G})",
         HookCall::Called, HookCall::Called, "new ui table|new scene table"},
        {"c1.a.OnUpdate = nil; ui.update = nil", HookCall::Absent, HookCall::Absent, ""},
        {"function OnUpdate() log[#log + 1] = 'global' end; function update() log[#log + 1] = 'global ui' "
         "end",
         HookCall::Called, HookCall::Called, "global ui|global"},
        {"OnUpdate = nil; update = nil; c1.a.type = function() return 'function' end", HookCall::Absent,
         HookCall::RunText, ""},
        {"c1.a.type = nil; local own = type; type = function(v) return own(v) end", HookCall::Absent,
         HookCall::RunText, ""},
        {"type = nil", HookCall::Absent, HookCall::RunText, ""},
        {"c1 = {a = setmetatable({}, {__index = {type = tostring}})}", HookCall::Absent, HookCall::RunText,
         ""},
        {"c1.a = setmetatable({OnUpdate = function() log[#log + 1] = 'other index' end}, "
         "{__index = {type = libraryType}})",
         HookCall::Absent, HookCall::Called, "other index"},
        {"c1.a = nil", HookCall::Absent, HookCall::RunText, ""},
    };
    // Lua's own type, kept aside before the steps replace it.
    LuaInterface::execute("libraryType = type");
    for (const auto& [setup, ui, scene, calls] : steps)
    {
        LuaInterface::execute(setup.c_str());
        LuaInterface::execute("log = {}");
        HookCall sceneCall = HookCall::RunText;
        EXPECT_EQ(callUI(0.5f).call, ui) << setup;
        EXPECT_EQ(thrownBy(
                      [&] {
                          sceneCall =
                              LuaInterface::callEnvironmentHook(keys, "OnUpdate", 0.5f, sceneUpdate(0.5f));
                      }),
                  "no error")
            << setup;
        EXPECT_EQ(sceneCall, scene) << setup;
        EXPECT_EQ(eval("return table.concat(log, '|')"), calls) << setup;
    }
    // Lua's own type again, in the globals the environment reads through.
    LuaInterface::execute("type = libraryType; c1 = {a = setmetatable({}, {__index = _G})}; "
                          "function c1.a.OnUpdate() log[#log + 1] = 'back' end");
    EXPECT_EQ(LuaInterface::callEnvironmentHook(keys, "OnUpdate", 0.5f, sceneUpdate(0.5f)), HookCall::Called);
}

TEST_F(LuaHookCallsTest, KeptKeysOutliveAFullKeyTableAndANewState)
{
    start();
    const char* const script = "c1 = {a = setmetatable({}, {__index = _G})}; log = {}\n"
                               "function c1.a.OnUpdate(dt) log[#log + 1] = dt end\n"
                               "lib = {}; function lib.half(name, t) return t / 2 end";
    LuaInterface::execute(script);
    LuaInterface::EnvironmentKeys keys;
    keys.setScene("c1", "a");
    LuaInterface::PathKeys path("lib.half", "ui.mover");
    const OwnedText text("", true,
                         [](hstring& code, hstring&) { code = "return lib.half('ui.mover', 0.500000)"; });
    auto check = [&](const std::string& when)
    {
        EXPECT_EQ(LuaInterface::callEnvironmentHook(keys, "OnUpdate", 0.25f, sceneUpdate(0.25f)),
                  HookCall::Called)
            << when;
        EXPECT_EQ(eval("return log[#log] == 0.25"), "true") << when;
        int count = 0;
        float value = 0.0f;
        EXPECT_EQ(LuaInterface::callPathFunction(path, 0.5f, text, count, value), HookCall::Called) << when;
        EXPECT_EQ(count, 1) << when;
        EXPECT_EQ(value, 0.25f) << when;
    };
    check("at first");
    // Thousands of other names: the keys made for them crowd out every key made before.
    for (int i = 0; i < 6000; ++i)
    {
        int count = 0;
        float value = 0.0f;
        EXPECT_EQ(
            LuaInterface::callPathFunction(formatString("nosuch%d", i), "ui.mover", 0.5f, text, count, value),
            HookCall::RunText);
    }
    check("after the key table was full");
    LuaInterface::destroy();
    start();
    LuaInterface::execute(script);
    check("in a new state");
}
