#include <string>
#include <vector>

#include <lua.hpp>

#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "Session.h"
#include "lua/Calls.h"

using namespace vumo;

using harness::Engine;

namespace
{
    // Engine code that asks for a switch while it works for a hook, as a game's own scene or UI class would.
    int changeSceneFromCode(lua_State* L)
    {
        Session::changeScene(LuaInterface::toString(L, 1), 0.0f, "none");
        return 0;
    }

    // Every hook notes what it was told; place(where) runs the request once, from the place the test named.
    const char* const hooks =
        "asker = nil\n"
        "function place(where)\n"
        "  if where == asker then asker = nil note('ask') request() end\n"
        "end\n"
        "function ui.OnSceneChanging(t, c) note('changing:' .. t) place('ui.OnSceneChanging') end\n"
        "function ui.OnSceneChanged(n, p) note('changed:' .. n) place('ui.OnSceneChanged') end\n"
        "function ui.OnBeginLoading(c) note('begin:' .. c) place('ui.OnBeginLoading') end\n"
        "function ui.OnUpdateLoading(p) place('ui.OnUpdateLoading') end\n"
        "function ui.OnFinishLoading(c) place('ui.OnFinishLoading') end\n"
        "function ui.OnSceneActivating(n) place('ui.OnSceneActivating') end\n"
        "function ui.OnSceneActivated(n) place('ui.OnSceneActivated') end\n"
        "function ui.OnSceneResetting() note('resetting') place('ui.OnSceneResetting') end\n"
        "function ui.OnSceneReset() note('reset') end\n"
        "function ui.OnSceneTransitionEnded() note('ended') place('ui.OnSceneTransitionEnded') end\n";

    const char* const sceneScript = "function OnActivate() place('OnActivate') end\n"
                                    "function OnDeactivate() place('OnDeactivate') end\n"
                                    "function OnUpdate(dt) place('OnUpdate') end\n";
} // namespace

// ch1 holds a and b, ch2 holds x and y; the game starts on ch1.a.
class SwitchAtFrameStart : public harness::GameTest
{
protected:
    void start()
    {
        engine.reset();
        harness::forgetSession();
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal(hooks);
        for (const char* scene : {"ch1/scenes/a", "ch1/scenes/b", "ch2/scenes/x", "ch2/scenes/y"})
        {
            folder.put(std::string("data/chapters/") + scene + ".scene", sceneScript);
        }
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch2/ch2.datadef", "<Dataset/>");
        Engine::log().clear();
        engine.reset(new Engine(folder));
        engine->start();
        LuaInterface::registerFunction(changeSceneFromCode, "test.changeScene");
        LuaInterface::execute("journal = {}");
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
};

// A switch or a reset asked for from any hook, directly or by engine code, waits for the start of a frame,
// where nothing of the engine's work is on the stack: the switch under way finishes first, then the one
// asked for runs (in the same frame when the frame's queued scripts made the first).
TEST_F(SwitchAtFrameStart, ASwitchOrResetAskedFromAHookRunsAfterTheWorkUnderWay)
{
    struct Case
    {
        const char* place;
        const char* request;
        const char* trigger;
        const char* endsAt;
        const char* journal;
    };
    const char* const toB = "scene.switch{scene = 'ch1.b', time = 0, effect = 'none'}";
    const char* const toX = "scene.switch{scene = 'ch2.x', time = 0, effect = 'none'}";
    const char* const leave = "scene._queued_switchScene('ch2.x', 0, 'none')";
    const std::vector<Case> cases = {
        {"ui.OnSceneActivating", leave, toB, "ch2.x",
         "changing:ch1.b ask changed:ch1.b changing:ch2.x begin:ch2 changed:ch2.x"},
        {"ui.OnSceneActivating", "test.changeScene('ch2.x')", toB, "ch2.x",
         "changing:ch1.b ask changed:ch1.b changing:ch2.x begin:ch2 changed:ch2.x"},
        {"ui.OnBeginLoading", "scene._queued_switchScene('ch2.y', 0, 'none')", toX, "ch2.y",
         "changing:ch2.x begin:ch2 ask changed:ch2.x changing:ch2.y changed:ch2.y"},
        {"ui.OnUpdateLoading", "scene._queued_switchScene('ch2.y', 0, 'none')", toX, "ch2.y",
         "changing:ch2.x begin:ch2 ask changed:ch2.x changing:ch2.y changed:ch2.y"},
        {"ui.OnSceneChanging", leave, toB, "ch2.x",
         "changing:ch1.b ask changed:ch1.b changing:ch2.x begin:ch2 changed:ch2.x"},
        {"OnDeactivate", leave, toB, "ch2.x",
         "changing:ch1.b ask changed:ch1.b changing:ch2.x begin:ch2 changed:ch2.x"},
        // A fade asked while a fade switches is no longer lost.
        {"OnActivate", "scene._queued_switchScene('ch2.x', 0.2, 'fade')", "scene.switch('ch1.b')", "ch2.x",
         "changing:ch1.b ask changed:ch1.b ended changing:ch2.x begin:ch2 changed:ch2.x ended"},
        {"OnUpdate", leave, toB, "ch2.x",
         "changing:ch1.b changed:ch1.b ask changing:ch2.x begin:ch2 changed:ch2.x"},
        {"ui.OnSceneTransitionEnded", leave, "scene.switch{scene = 'ch1.b', time = 0.2, effect = 'fade'}",
         "ch2.x", "changing:ch1.b changed:ch1.b ended ask changing:ch2.x begin:ch2 changed:ch2.x"},
        {"OnActivate", "scene._queued_reset('ch1.b')", toB, "ch1.b",
         "changing:ch1.b ask changed:ch1.b resetting reset"},
        {"ui.OnSceneActivated", "scene._queued_reset('ch1.b')", toB, "ch1.b",
         "changing:ch1.b ask changed:ch1.b resetting reset"},
        {"ui.OnSceneResetting", leave, "scene.reset()", "ch2.x",
         "resetting ask reset changing:ch2.x begin:ch2 changed:ch2.x"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.place) + ": " + c.request);
        start();
        LuaInterface::execute(std::string("asker = '") + c.place + "' request = function() " + c.request +
                              " end");
        LuaInterface::execute(c.trigger);
        ASSERT_TRUE(engine->settleAt(c.endsAt)) << journal() << "\n" << engine->logText();
        engine->frame();
        EXPECT_EQ(journal(), c.journal);
        EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
        EXPECT_EQ(Session::getChapter("ch1")->isLoaded(), hstring(c.endsAt).startsWith("ch1."));
        engine->stop();
    }
}

// Called from test code, outside any frame, the internal calls ask as scene.switch and scene.reset do: the
// next frame's start carries them out, and one asked twice runs once.
TEST_F(SwitchAtFrameStart, TheInternalCallsOutsideTheFrameQueueLikeTheirPublicOnes)
{
    start();
    LuaInterface::execute(
        "scene._queued_switchScene('ch1.b', 0, 'none') scene._queued_switchScene('ch1.b', 0, 'none')");
    EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "ch1.a");
    EXPECT_EQ(journal(), "");
    engine->frame();
    EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "ch1.b");
    EXPECT_EQ(journal(), "changing:ch1.b changed:ch1.b");
    LuaInterface::execute("journal = {} scene._queued_reset('ch1.b')");
    EXPECT_EQ(journal(), "");
    engine->frame();
    EXPECT_EQ(journal(), "resetting reset");
    // What a switch checks at the call it still checks there.
    EXPECT_NE(
        engine->failure("scene._queued_switchScene('ch9.x', 0, 'none')").find("Chapter 'ch9' not found!"),
        std::string::npos);
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

// What a switch or a reset would refuse without touching the scene (the target's name, its chapter and
// scene, the effect) is refused at the call, from a hook as from anywhere, where the caller's pcall sees it;
// nothing is put off, and no error comes later.
TEST_F(SwitchAtFrameStart, WhatARequestWouldRefuseIsRaisedAtTheCall)
{
    struct Case
    {
        const char* request;
        const char* refusal;
    };
    const std::vector<Case> cases = {
        {"scene.switch{scene = 'ch2.nowhere', time = 0, effect = 'none'}",
         "Scene 'nowhere' not found in chapter 'ch2'"},
        {"scene.switch('ch9.x')", "Chapter 'ch9' not found!"},
        {"scene.switch{scene = 'b', time = 0, effect = 'wipe'}", "Transition effect 'wipe' not found!"},
        {"scene.switch('x')", "Can't switch to 'x', scene not found in chapter 'ch1'"},
        {"scene.switch('ui.x')", "Unable to switch scene to UI chapter (ui.x), not permitted."},
        {"scene._queued_switchScene('ch2.x', 0, 'wobble')", "Transition effect 'wobble' not found!"},
        {"scene._queued_switchScene('ch2.nowhere', 0, 'none')", "Scene 'nowhere' not found in chapter 'ch2'"},
        {"test.changeScene('ch2.nowhere')", "Scene 'nowhere' not found in chapter 'ch2'"},
        {"scene._queued_reset('ch1.nowhere')", "Scene 'nowhere' not found in chapter 'ch1'"},
        {"scene._queued_reset('nowhere')", "No scene 'nowhere' in the active chapter to reset"},
    };
    start();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.request);
        LuaInterface::execute(std::string("journal = {} said = nil asker = 'OnUpdate' request = function() "
                                          "said = select(2, pcall(function() ") +
                              c.request + " end)) end");
        engine->frame();
        EXPECT_NE(engine->lua("tostring(said)").find(c.refusal), std::string::npos) << engine->lua("said");
        for (int i = 0; i < 5; ++i)
        {
            engine->frame();
        }
        EXPECT_EQ(journal(), "ask");
        EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "ch1.a");
        EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
    }
}
