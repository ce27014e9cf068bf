#include <algorithm>

#include <lua.hpp>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "Transitions.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "objects/VumoViewportObject.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

namespace
{
    const char* const hooks =
        "journal = {}\n"
        "function note(x) journal[#journal + 1] = x end\n"
        "function ui.OnBeginLoading(c) note('begin:' .. c) end\n"
        "function ui.OnFinishLoading(c) note('finish:' .. c) end\n"
        "function ui.OnUpdateLoading(p) note(string.format('p%.2f', p)) end\n"
        "function ui.OnSceneChanging(t, c) note('changing:' .. t .. '<' .. c) return redirect end\n"
        "function ui.OnSceneChanged(n, p) note('changed:' .. n .. '<' .. p) end\n"
        "function ui.OnSceneActivating(n) note('activating:' .. n) end\n"
        "function ui.OnSceneActivated(n) note('activated:' .. n) end\n"
        "function ui.OnSceneTransitionBegan(t, e, d) note(string.format('began:%s:%s:%g', t, e, d)) end\n"
        "function ui.OnSceneTransitionEnded() note('ended') end\n"
        "function ui.OnSceneResetting() note('resetting') end\n"
        "function ui.OnSceneReset() note('reset') end\n";

    std::string sceneScript(const std::string& name)
    {
        return "note('script " + name + "')\n" + "function OnActivate() note('activate " + name +
               "') end\nfunction OnDeactivate() note('deactivate " + name + "') end\n";
    }

    int takeRetained(lua_State* L)
    {
        Scene* scene = Session::getActiveScene();
        tesraui::Object* object = scene->takeObject(LuaInterface::toString(L, 1));
        if (object != nullptr)
        {
            scene->attachObject(object);
        }
        return 0;
    }

    hstring typeSeen;
    Scene* makeMatch3(Chapter* chapter, const hstring& name, const hstring& fileName)
    {
        typeSeen = "match3.scene";
        return new Scene(chapter, name, fileName);
    }
} // namespace

// Two chapters: ch1 with the scenes a and b (b in a subfolder), ch2 with c; every hook writes the journal.
class SceneSwitch : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/ui.lua", hooks);
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", sceneScript("a"));
        folder.put("data/chapters/ch1/scenes/more/b.scene",
                   sceneScript("b") + "function OnPointerReleased() note('released b') end\n"
                                      "function OnUpdate(dt) if count_updates then note('update') end end\n"
                                      "if test and test.take then test.take('keep__retain') end\n");
        folder.put("data/chapters/ch2/ch2.datadef", "<Dataset/>");
        folder.put("data/chapters/ch2/scenes/c.scene", sceneScript("c"));
        folder.put("data/chapters/ch2/scenes/duel.match3.scene", "");
        engine.reset(new Engine(folder));
        Scene::registerFactory("match3.scene", &makeMatch3);
        engine->start();
        clear();
    }
    void clear() { LuaInterface::execute("journal = {}"); }
    size_t count(const std::string& text) { return engine->logCount(text); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    hstring variable(const hstring& name) { return VariableDictionary::getGlobal().get(name).value(); }
    tesraui::Object* overlay() { return UI::getUIDataset()->tryGetObject(Transitions::Fade::overlayName); }
    // A failed switch shows the scripting-error overlay, which holds the session until the player goes on.
    void frameAfterContinue(float timeDelta)
    {
        if (UI::getInstance()->isErrorOverlayShown())
        {
            UI::getInstance()->onErrorContinue(nullptr);
        }
        engine->frame(timeDelta);
    }
    // The text of the error a script raises.
    std::string failure(const std::string& code) { return engine->failure(code); }
};

TEST_F(SceneSwitch, WithinAChapterIntoAnotherAndRedirected)
{
    ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch1.a");
    Session::changeScene("b", 0.0f, "");
    EXPECT_EQ(journal(), "changing:ch1.b<ch1.a deactivate a activating:ch1.b script b activate b "
                         "activated:ch1.b changed:ch1.b<ch1.a");

    clear();
    Session::changeScene("ch2.c", 0.0f, "none");
    // The new chapter loads before the old scene goes.
    EXPECT_EQ(journal(), "changing:ch2.c<ch1.b begin:ch2 p0.20 p0.40 p0.50 p0.60 deactivate b "
                         "activating:ch2.c script c activate c activated:ch2.c p1.00 finish:ch2 "
                         "changed:ch2.c<ch1.b");
    EXPECT_EQ(engine->lua("type(ch1)"), "nil");
    EXPECT_EQ(engine->lua("type(ch2.c)"), "table");
    EXPECT_FALSE(Session::getChapter("ch1")->isLoaded());
    EXPECT_TRUE(
        inOrder(engine->logText(), {"Loading chapter ch2", "loading scenes", "deactivating scene ch1.b",
                                    "Unloading chapter ch1", "activating scene c"}));
    EXPECT_EQ(typeSeen, "match3.scene");
    EXPECT_TRUE(Session::getActiveChapter()->hasScene("duel"));

    clear();
    LuaInterface::execute("redirect = 'ch2.duel'");
    Session::changeScene("ch1.a", 0.0f, "");
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch2.duel");
    EXPECT_EQ(variable("prev_scene"), "ch2.c");
    EXPECT_EQ(variable("active_scene"), "ch2.duel");
    // The chapter asked for first was never loaded.
    EXPECT_FALSE(Session::getChapter("ch1")->isLoaded());
}

TEST_F(SceneSwitch, LeavingAPersistentChapterKeepsItLoaded)
{
    Session::getChapter("ch1")->setPersistent(true);
    Session::changeScene("ch2.c", 0.0f, "");
    EXPECT_TRUE(Session::getChapter("ch1")->isLoaded());
    EXPECT_EQ(engine->lua("type(ch1)"), "table");
    // The UI chapter stays loaded whatever happens.
    EXPECT_TRUE(UI::getUIDataset()->isLoaded());
    EXPECT_EQ(engine->lua("type(ui)"), "table");
}

TEST_F(SceneSwitch, AFadeCoversSwitchesAfterOneWaitingFrameAndUncovers)
{
    Session::changeScene("ch1.b", 1.0f, "zoom");
    ASSERT_NE(overlay(), nullptr);
    EXPECT_EQ(overlay()->getAlpha(), 0);
    EXPECT_EQ(overlay()->getZOrder(), 10000);
    for (int i = 0; i < 5; ++i)
    {
        engine->frame(0.1f);
    }
    // Covered in the fifth frame, which is also the waiting one; the sixth switches.
    EXPECT_EQ(overlay()->getAlpha(), 255);
    EXPECT_EQ(Session::getActiveScene()->getName(), "a");
    engine->frame(0.1f);
    EXPECT_EQ(Session::getActiveScene()->getName(), "b");
    EXPECT_EQ(overlay()->getAlpha(), 255);
    int frames = 0;
    while (overlay() != nullptr && frames < 20)
    {
        engine->frame(0.1f);
        ++frames;
    }
    // The first step after the switch counts 0.01 s: 249.9, then 51 a frame down to 0.
    EXPECT_EQ(frames, 6);
    EXPECT_FALSE(Session::isTransitionRunning());
    EXPECT_EQ(journal(), "began:ch1.b:fade:1 changing:ch1.b<ch1.a deactivate a activating:ch1.b script b "
                         "activate b activated:ch1.b changed:ch1.b<ch1.a ended");
}

TEST_F(SceneSwitch, TheFirstUpdateAfterAChapterLoadCountsAHundredth)
{
    Session::changeScene("ch2.c", 1.0f, "fade");
    for (int i = 0; i < 6; ++i)
    {
        engine->frame(0.1f);
    }
    ASSERT_EQ(Session::getActiveScene()->getFullName(), "ch2.c");
    TransitionManager* fade = Session::getRunningTransition();
    ASSERT_NE(fade, nullptr);
    const float before = fade->getElapsed();
    engine->frame(0.1f);
    EXPECT_NEAR(fade->getElapsed() - before, 0.01f, 1e-5f);
    engine->frame(0.1f);
    EXPECT_NEAR(fade->getElapsed() - before, 0.11f, 1e-5f);
}

TEST_F(SceneSwitch, MendedRequestsValidateFirstAndLeaveNothingBehind)
{
    // An unknown effect leaves the running fade running.
    Session::changeScene("b", 1.0f, "fade");
    engine->frame(0.1f);
    EXPECT_THROW(Session::changeScene("b", 1.0f, "bogus"), quortypes::exception);
    EXPECT_TRUE(Session::isTransitionRunning());
    ASSERT_NE(overlay(), nullptr);
    // A request replacing a running fade takes its overlay away.
    Session::changeScene("b", 0.0f, "none");
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_EQ(Session::getActiveScene()->getName(), "b");

    // A fade without duration switches at once, with each transition hook once.
    clear();
    Session::changeScene("a", 0.0f, "fade");
    EXPECT_FALSE(Session::isTransitionRunning());
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_EQ(journal(), "began:ch1.a:fade:0 changing:ch1.a<ch1.b deactivate b activating:ch1.a script a "
                         "activate a activated:ch1.a changed:ch1.a<ch1.b ended");
}

TEST_F(SceneSwitch, AFailedSwitchLeavesTheOldSceneDrawnAndLive)
{
    Scene* before = Session::getActiveScene();
    for (const char* target : {"ch1.nowhere", "ch9.x", "ch2.nowhere"})
    {
        clear();
        Session::changeScene(target, 0.0f, "");
        EXPECT_EQ(Session::getActiveScene(), before) << target;
        ASSERT_NE(before->getRootObject(), nullptr);
        EXPECT_EQ(before->getRootObject()->getParent(), (tesraui::Object*)Session::getViewport());
        EXPECT_EQ(journal().find("deactivate"), std::string::npos) << target;
    }
    EXPECT_TRUE(
        inOrder(engine->logText(), {"Scene 'nowhere' not found in chapter 'ch1'", "Chapter 'ch9' not found!",
                                    "Scene 'nowhere' not found in chapter 'ch2'"}));
    EXPECT_FALSE(Session::getChapter("ch2")->isLoaded());

    // A redirect to nowhere fails the same way; a fade takes its overlay away and ends.
    LuaInterface::execute("redirect = 'ch1.gone'");
    clear();
    Session::changeScene("b", 0.5f, "fade");
    for (int i = 0; i < 6 && Session::isTransitionRunning(); ++i)
    {
        frameAfterContinue(0.1f);
    }
    EXPECT_FALSE(Session::isTransitionRunning());
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_EQ(Session::getActiveScene(), before);
    EXPECT_EQ(journal(), "began:ch1.b:fade:0.5 changing:ch1.b<ch1.a ended");

    // Chapter folders and scene file names must be plain identifiers.
    folder.put("data/chapters/ch3/ch3.datadef", "<Dataset/>");
    folder.put("data/chapters/ch3/scenes/9lives.scene", "");
    try
    {
        Session::getChapter("ch3")->load();
        ADD_FAILURE() << "no error for a bad scene file name";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_NE(e.getMessage().find("9lives.scene"), std::string::npos) << e.getMessage();
    }
}

TEST_F(SceneSwitch, AChapterThatFailsToLoadLeavesTheOldSceneActiveAndShown)
{
    // A texture that is not there, no dataset file, a scene type nobody registered.
    folder.put(
        "data/chapters/ch4/ch4.datadef",
        "<Dataset><Texture filename=\"nosuch\"><Image name=\"x\" rect=\"0,0,1,1\"/></Texture></Dataset>");
    folder.put("data/chapters/ch4/scenes/d.scene", sceneScript("d"));
    folder.put("data/chapters/ch5/scenes/e.scene", sceneScript("e"));
    folder.put("data/chapters/ch6/ch6.datadef", "<Dataset/>");
    folder.put("data/chapters/ch6/scenes/f.scene", sceneScript("f"));
    folder.put("data/chapters/ch6/scenes/p.puzzle.scene", "");
    Scene* before = Session::getActiveScene();
    for (const char* effect : {"none", "fade"})
    {
        for (const char* target : {"ch4.d", "ch5.e", "ch6.f"})
        {
            const std::string chapter = std::string(target).substr(0, 3);
            const std::string what = std::string(effect) + " " + target;
            const size_t failuresBefore = count("Scene switch failed: ");
            clear();
            Session::changeScene(target, 0.5f, effect);
            for (int i = 0; i < 20; ++i)
            {
                frameAfterContinue(0.1f);
            }
            EXPECT_EQ(Session::getActiveScene(), before) << what;
            ASSERT_NE(before->getRootObject(), nullptr) << what;
            EXPECT_EQ(before->getRootObject()->getParent(), (tesraui::Object*)Session::getViewport()) << what;
            EXPECT_EQ(journal().find("deactivate"), std::string::npos) << what << ": " << journal();
            EXPECT_NE(journal().find("finish:" + chapter), std::string::npos) << what << ": " << journal();
            EXPECT_FALSE(Session::isTransitionRunning()) << what;
            EXPECT_EQ(overlay(), nullptr) << what;
            // Logged once, not every frame; nothing of the chapter is left behind.
            EXPECT_EQ(count("Scene switch failed: ") - failuresBefore, 1u) << what;
            EXPECT_FALSE(Session::getChapter(chapter.c_str())->isLoaded()) << what;
            EXPECT_EQ(engine->lua("type(" + chapter + ")"), "nil") << what;
            EXPECT_FALSE(UI::getInstance()->isLoading()) << what;
            EXPECT_EQ(variable("active_scene"), "ch1.a") << what;
        }
    }
    // The game goes on from where it was.
    clear();
    Session::changeScene("b", 0.0f, "none");
    EXPECT_EQ(journal(), "changing:ch1.b<ch1.a deactivate a activating:ch1.b script b activate b "
                         "activated:ch1.b changed:ch1.b<ch1.a");
}

// A scene's script that leaves its chapter from its hooks leaves at the next frame's start: the work that
// called the script (the scene's update, its activation, its deactivation, its reset) finishes first.
TEST_F(SceneSwitch, AScriptThatLeavesItsChapterLeavesAtTheNextFramesStart)
{
    folder.put("data/chapters/ch7/ch7.datadef", "<Dataset/>");
    folder.put("data/chapters/ch7/scenes/leave.scene",
               "function OnUpdate(dt) note('leaving') scene._queued_switchScene('ch2.c', 0, 'none') end\n");
    folder.put("data/chapters/ch7/scenes/jump.scene",
               "note('jumping') scene._queued_switchScene('ch2.c', 0, 'none')\n"
               "function OnActivate() note('activate jump') end\n");
    folder.put("data/chapters/ch7/scenes/stubborn.scene",
               "left = false\n"
               "function OnDeactivate() if not left then left = true "
               "scene._queued_switchScene('ch2.c', 0, 'none') end end\n");
    folder.put("data/chapters/ch7/scenes/again.scene",
               "if resetting then resetting = false scene._queued_switchScene('ch2.c', 0, 'none') end\n");
    Session::changeScene("ch7.leave", 0.0f, "none");
    ASSERT_EQ(Session::getActiveScene()->getFullName(), "ch7.leave");
    // Its update asks: what the scene had queued still runs in that update, and the next frame leaves.
    Session::getActiveScene()->queueScript("note('queued')");
    clear();
    engine->frame(0.1f);
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch7.leave");
    EXPECT_EQ(journal(), "leaving queued");
    engine->frame(0.1f);
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch2.c");
    EXPECT_FALSE(Session::getChapter("ch7")->isLoaded());
    EXPECT_NE(journal().find("leaving queued changing:ch2.c<ch7.leave"), std::string::npos) << journal();

    // Its script asks while the scene is being activated: the activation runs to its end first.
    clear();
    Session::changeScene("ch7.jump", 0.0f, "none");
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch7.jump");
    EXPECT_NE(journal().find("jumping activate jump activated:ch7.jump"), std::string::npos) << journal();
    engine->frame(0.1f);
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch2.c");
    EXPECT_FALSE(Session::getChapter("ch7")->isLoaded());

    // Its deactivation asks while a switch to another chapter goes on: that switch ends, then the one asked
    // for by the hook.
    Session::changeScene("ch7.stubborn", 0.0f, "none");
    ASSERT_EQ(Session::getActiveScene()->getFullName(), "ch7.stubborn");
    Session::changeScene("ch1.a", 0.0f, "none");
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch1.a");
    EXPECT_FALSE(Session::getChapter("ch7")->isLoaded());
    engine->frame(0.1f);
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch2.c");
    EXPECT_FALSE(Session::getChapter("ch1")->isLoaded());

    // Its script asks while the scene is being reset: the reset ends, then the switch runs in the same
    // frame's queued scripts.
    Session::changeScene("ch7.again", 0.0f, "none");
    ASSERT_EQ(Session::getActiveScene()->getFullName(), "ch7.again");
    clear();
    LuaInterface::execute("resetting = true; scene._queued_reset('ch7.again')");
    EXPECT_EQ(journal(), "");
    engine->frame(0.1f);
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch2.c");
    EXPECT_FALSE(Session::getChapter("ch7")->isLoaded());
    EXPECT_NE(
        journal().find("resetting activating:ch7.again activated:ch7.again reset changing:ch2.c<ch7.again"),
        std::string::npos)
        << journal();
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

// A script dims the fade's overlay between every frame of the fade: the fade keeps its own level.
TEST_F(SceneSwitch, AScriptSettingTheFadesOverlayChangesNeitherItNorTheSwitch)
{
    Session::changeScene("b", 0.5f, "fade");
    std::vector<int> seen;
    for (int i = 0; i < 100 && Session::isTransitionRunning(); ++i)
    {
        if (overlay() != nullptr)
        {
            seen.push_back(overlay()->getAlpha());
            LuaInterface::execute("object.setProperty('ui." + hstring(Transitions::Fade::overlayName) +
                                  "', 'alpha', 10)");
        }
        engine->frame(0.1f);
    }
    EXPECT_FALSE(Session::isTransitionRunning());
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch1.b");
    EXPECT_EQ(journal(), "began:ch1.b:fade:0.5 changing:ch1.b<ch1.a deactivate a activating:ch1.b script b "
                         "activate b activated:ch1.b changed:ch1.b<ch1.a ended");
    // Up to full cover and down again, whatever the script set last.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(*std::max_element(seen.begin(), seen.end()), 255);
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

TEST_F(SceneSwitch, ATransitionStartedByTheEndOfAnotherRunsToItsEnd)
{
    LuaInterface::execute(
        "chain = true\n"
        "function ui.OnSceneTransitionEnded()\n"
        "  note('ended')\n"
        "  if chain then chain = false scene._queued_switchScene('ch1.a', 0.5, 'crossfade') end\n"
        "end\n");
    Session::changeScene("b", 0.5f, "fade");
    // The second starts at the frame after the first one's end.
    for (int i = 0; i < 80 && (Session::isTransitionRunning() || Session::getActiveScene()->getName() != "a");
         ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_FALSE(Session::isTransitionRunning());
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_EQ(Session::getActiveScene()->getName(), "a");
    EXPECT_EQ(journal(), "began:ch1.b:fade:0.5 changing:ch1.b<ch1.a deactivate a activating:ch1.b script b "
                         "activate b activated:ch1.b changed:ch1.b<ch1.a ended began:ch1.a:fade:0.5 "
                         "changing:ch1.a<ch1.b deactivate b activating:ch1.a script a activate a "
                         "activated:ch1.a changed:ch1.a<ch1.b ended");
}

TEST_F(SceneSwitch, TheRootObjectTableIsAnObjectArgument)
{
    EXPECT_EQ(engine->lua("rawget(ch1.a.root_object, '__name')"), "ch1.ch1.a_sceneRootObject");
    EXPECT_EQ(engine->lua("select(2, util.transformPoint(3, 4, ch1.a.root_object, ch1.a.root_object))"), "4");
    EXPECT_EQ(engine->lua("type(object.getObject(rawget(ch1.a.root_object, '__name')))"), "table");
    // Names that name no dataset fail as before.
    EXPECT_NE(failure("object.getObject('nosuch.thing')").find("Dataset 'nosuch' doesn't exist!"),
              std::string::npos);
    EXPECT_NE(failure("object.getObject('no.such.thing')").find("Dataset 'no.such' doesn't exist!"),
              std::string::npos);
    EXPECT_NE(failure("object.getObject('ch1.ch1.nothing')").find("Object 'ch1.nothing' not found in 'ch1'"),
              std::string::npos);
}

TEST_F(SceneSwitch, ScenesHooksPauseResetAndColourImages)
{
    Chapter* ch2 = Session::getChapter("ch2");
    try
    {
        Scene::instantiate("puzzle.scene", ch2, "p", "p.puzzle.scene");
        ADD_FAILURE() << "no error for an unregistered type";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_TRUE(e.getMessage().endsWith(
            "Unable to instantiate scene of type 'puzzle.scene', no factory registered for that type."))
            << e.getMessage();
    }
    LuaInterface::registerFunction(takeRetained, "test.take");
    Session::changeScene("b", 0.0f, "");
    Scene* b = Session::getActiveScene();
    clear();
    b->onPointerCanceled(2);
    EXPECT_EQ(journal(), "released b");

    clear();
    LuaInterface::execute("count_updates = true");
    Session::setPaused(true);
    b->queueScript("note('queued')");
    engine->frame(0.1f);
    EXPECT_EQ(journal(), "");
    Session::setPaused(false);
    engine->frame(0.1f);
    EXPECT_EQ(journal(), "update queued");
    LuaInterface::execute("count_updates = false");

    tesraui::Dataset* chapter = b->getChapter();
    for (const char* name : {"keep__retain", "drop__retain"})
    {
        tesraui::ImageBox* box = new tesraui::ImageBox(name, kavtypes::Rectangle(0, 0, 10, 10));
        box->addChild(new tesraui::ImageBox(hstring(name) + "_child", kavtypes::Rectangle(0, 0, 1, 1)));
        chapter->registerObjects(box);
        b->attachObject(box);
    }
    clear();
    LuaInterface::execute("scene._queued_reset('b')");
    EXPECT_EQ(journal(), "");
    engine->frame(0.1f);
    EXPECT_EQ(journal(), "resetting deactivate b activating:ch1.b script b activate b activated:ch1.b reset");
    tesraui::Object* kept = chapter->tryGetObject("keep__retain");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->getParent(), b->getRootObject());
    EXPECT_EQ(kept->getChildren().size(), 0);
    EXPECT_FALSE(chapter->hasObject("drop__retain"));
    EXPECT_EQ(variable("prev_scene"), "ch1.b");

    tesraui::Image* green = chapter->getImage("0x00FF00");
    EXPECT_EQ(chapter->getImage("0x00FF00"), green);
    EXPECT_EQ(green->getDataset(), chapter);
}

// The switch runs first from the queue; the reset it left behind names a scene no longer active.
TEST_F(SceneSwitch, AResetQueuedAfterAnImmediateSwitchIsDropped)
{
    LuaInterface::execute("go = true\n"
                          "function ch1.a.OnUpdate()\n"
                          "  if go then go = false scene.switch({scene = 'b', time = 0, effect = 'none'}) "
                          "scene.reset() end\n"
                          "end\n");
    for (int i = 0; i < 100 && Session::getActiveScene()->getFullName() != "ch1.b"; ++i)
    {
        engine->frame(0.1f);
    }
    engine->frame(0.1f);
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch1.b");
    EXPECT_EQ(variable("active_scene"), "ch1.b");
    EXPECT_EQ(journal(), "changing:ch1.b<ch1.a deactivate a activating:ch1.b script b activate b "
                         "activated:ch1.b changed:ch1.b<ch1.a");
    EXPECT_EQ(count("Queued reset of scene 'ch1.a' dropped, the scene is no longer active"), 1u);
    EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

TEST_F(SceneSwitch, TheSceneAndVumoTables)
{
    LuaInterface::execute("scene.switch('b'); scene.switch('b')");
    engine->frame(0.1f);
    EXPECT_EQ(journal(), "began:ch1.b:fade:0.5");
    EXPECT_EQ(failure("scene.switch('ui.menu')"),
              "Unable to switch scene to UI chapter (ui.menu), not permitted.");
    EXPECT_EQ(failure("scene.switch('zz')"), "Can't switch to 'zz', scene not found in chapter 'ch1'");
    EXPECT_NE(
        failure("scene.switch({scene = 'b', time = 'soon', effect = 'fade'})").find("time must be a number"),
        std::string::npos);
    EXPECT_EQ(failure("scene.switch({scene = 'b', effect = 'fade'})"), "No key in Lua table: time");
    EXPECT_EQ(engine->lua("scene.getFullName() .. ' ' .. scene.getName() .. ' ' .. scene.getChapterName()"),
              "ch1.a a ch1");
    EXPECT_EQ(engine->lua("vumo.version"), "3.4.2");

    // Quotes in a target stay data: the switch fails instead of running them.
    for (int i = 0; i < 12; ++i)
    {
        engine->frame(0.1f);
    }
    clear();
    LuaInterface::execute("scene.switch({scene = \"ch1.a') note('injected\", time = 0, effect = 'none'})");
    engine->frame(0.1f);
    EXPECT_EQ(journal().find("injected"), std::string::npos);
    EXPECT_EQ(Session::getActiveScene()->getName(), "b");

    LuaInterface::execute("vumo.log('hello', 3)");
    EXPECT_TRUE(inOrder(engine->logText(), {"scripting: hello", "scripting: 3"}));
    clear();
    LuaInterface::execute("vumo.showLoadingScreen('intro'); vumo.updateLoadingScreen(0.5); "
                          "vumo.updateLoadingScreen(1)");
    EXPECT_EQ(journal(), "begin:intro p1.00 finish:intro p0.50 p1.00 finish:intro");
    LuaInterface::execute("vumo.pause()");
    EXPECT_EQ(engine->lua("vumo.isPaused()"), "true");
    LuaInterface::execute("vumo.unpause()");
}

TEST(SceneSwitchWithoutScene, ABareNameNeedsAnActiveScene)
{
    GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    Engine engine(folder);
    engine.start();
    EXPECT_EQ(Session::getActiveScene(), nullptr);
    try
    {
        Session::changeScene("a", 0.0f, "bogus");
        ADD_FAILURE() << "no error";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_TRUE(e.getMessage().endsWith("Can't switch to 'a', active_scene is null therefore scene name "
                                            "must have a chapter prefix"))
            << e.getMessage();
    }
    EXPECT_TRUE(
        hstring(engine.lua("select(2, pcall(scene.switch, 'a'))"))
            .endsWith(
                "Can't switch to 'a', active_scene is null therefore scene name must have a chapter prefix"));
}

// The update asks to leave and then fails: the failure is its scene's, reported with the scene's text, and
// the switch it asked for runs once the player goes on.
TEST_F(SceneSwitch, AnUpdateThatAsksToLeaveAndThenFailsIsReportedAsItsScenesText)
{
    folder.put("data/chapters/ch7/ch7.datadef", "<Dataset/>");
    folder.put(
        "data/chapters/ch7/scenes/fail.scene",
        "function OnUpdate(dt) scene._queued_switchScene('ch2.c', 0, 'none') error('failed after leaving') "
        "end\n");
    Session::changeScene("ch7.fail", 0.0f, "none");
    ASSERT_EQ(Session::getActiveScene()->getFullName(), "ch7.fail");
    engine->frame(0.1f);
    EXPECT_GT(count("in function 'OnUpdate'\n\t<data/chapters/ch7/scenes/fail.scene>:1: in main chunk\n"
                    "Context: data/chapters/ch7/scenes/fail.scene"),
              0u)
        << engine->logText();
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch7.fail");
    frameAfterContinue(0.1f);
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch2.c");
    EXPECT_FALSE(Session::getChapter("ch7")->isLoaded());
}

// A scene shows its chapter's image of its name unless its script chose a background; a scene drawn by its
// objects alone has none, which the log only notes, naming the image and the chapter and no source file.
TEST_F(SceneSwitch, AScenesBackgroundIsTheImageOfItsNameOrWhatItsScriptChose)
{
    folder.put("data/chapters/ch3/pictured.png", harness::readFile(harness::anyPicture()));
    // A texture without images of its own is one image of its name.
    folder.put("data/chapters/ch3/ch3.datadef", "<Dataset><Texture filename=\"pictured\"/></Dataset>");
    folder.put("data/chapters/ch3/scenes/pictured.scene", "");
    folder.put("data/chapters/ch3/scenes/bare.scene", "");
    folder.put("data/chapters/ch3/scenes/chosen.scene", "scene.setBackground('pictured')");
    folder.put("data/chapters/ch3/scenes/null.scene", "");
    const struct
    {
        const char* scene;
        const char* shown; // the full name of the image the root shows, "" for none
        const char* noted;
    } scenes[] = {
        {"ch3.pictured", "ch3.pictured", nullptr},
        {"ch3.bare", "", "WARNING: Image doesn't exist: 'bare' in dataset 'ch3'"},
        {"ch3.chosen", "ch3.pictured", nullptr},
        {"ch3.null", "ch3.null", nullptr},
    };
    for (const auto& row : scenes)
    {
        SCOPED_TRACE(row.scene);
        Engine::log().clear();
        Session::changeScene(row.scene, 0.0f, "");
        ASSERT_EQ(std::string(Session::getActiveScene()->getFullName()), row.scene);
        EXPECT_EQ(std::string(Session::getActiveScene()->getRootObject()->getImageName()), row.shown);
        EXPECT_EQ(count("doesn't exist"), row.noted != nullptr ? 1u : 0u) << engine->logText();
        if (row.noted != nullptr)
        {
            EXPECT_EQ(count(row.noted), 1u) << engine->logText();
            EXPECT_EQ(count("WARNING: ["), 0u) << engine->logText();
        }
    }
}
