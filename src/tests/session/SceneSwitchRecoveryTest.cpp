#include <functional>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "Transitions.h"
#include "Variables.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

namespace
{
    const char* const hooks = "function ui.OnSceneTransitionBegan(t, e, d) note('began:' .. t) end\n"
                              "function ui.OnSceneTransitionEnded() note('ended') end\n"
                              "function ui.OnBeginLoading(c) end\n"
                              "function ui.OnFinishLoading(c) note('finish:' .. c) end\n";

    std::string sceneScript(const std::string& name)
    {
        return "function OnActivate() note('activate " + name + "') end\n";
    }

    // A scene whose own activation fails, as one missing a setting it needs.
    class BrokenScene : public Scene
    {
    public:
        using Scene::Scene;
        void onActivate() override
        {
            throw quortypes::exception("broken scene lacks its setting", __FILE__, __LINE__);
        }
    };

    Scene* makeBroken(Chapter* chapter, const hstring& name, const hstring& fileName)
    {
        return new BrokenScene(chapter, name, fileName);
    }

    // One that activates once and fails from then on, as one whose activation runs out of something.
    class OnceScene : public Scene
    {
    public:
        using Scene::Scene;
        void onActivate() override
        {
            if (++this->activations > 1)
            {
                throw quortypes::exception("once scene cannot come back", __FILE__, __LINE__);
            }
        }

    private:
        int activations = 0;
    };

    Scene* makeOnce(Chapter* chapter, const hstring& name, const hstring& fileName)
    {
        return new OnceScene(chapter, name, fileName);
    }
} // namespace

// ch1 holds a, b and the broken x; ch2 holds c and the broken y. The transition hooks write the journal.
class SwitchRecovery : public harness::GameTest
{
protected:
    void SetUp() override { write(""); }
    void write(const std::string& extraConfig)
    {
        folder.config("scene: ch1.a\n" + extraConfig);
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal(hooks);
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", sceneScript("a"));
        folder.put("data/chapters/ch1/scenes/b.scene", sceneScript("b"));
        folder.put("data/chapters/ch1/scenes/x.broken.scene", "");
        folder.put("data/chapters/ch1/scenes/z.once.scene", "");
        folder.put("data/chapters/ch2/ch2.datadef", "<Dataset/>");
        folder.put("data/chapters/ch2/scenes/c.scene", sceneScript("c"));
        folder.put("data/chapters/ch2/scenes/y.broken.scene", "");
    }
    void start()
    {
        engine.reset(new Engine(folder));
        Scene::registerFactory("broken.scene", &makeBroken);
        Scene::registerFactory("once.scene", &makeOnce);
        engine->start();
        clear();
    }
    void clear() { LuaInterface::execute("journal = {}"); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    std::string active()
    {
        return Session::getActiveScene() != nullptr ? Session::getActiveScene()->getFullName().c_str() : "";
    }
    size_t count(const std::string& text) { return engine->logCount(text); }
    tesraui::Object* overlay() { return UI::getUIDataset()->tryGetObject(Transitions::Fade::overlayName); }
    // Frames of 0.1 s, the player pressing Continue whenever the error overlay shows, until the transition
    // is over; then a few more, in which a transition left behind would show itself again.
    void playThrough()
    {
        // A transition asked for by a hook starts at the next frame's start: five quiet frames in a row end
        // the play.
        for (int i = 0, quiet = 0; i < 200 && quiet < 5; ++i)
        {
            if (UI::getInstance()->isErrorOverlayShown())
            {
                UI::getInstance()->onErrorContinue(nullptr);
            }
            engine->frame(0.1f);
            const bool busy = Session::isTransitionRunning() || UI::getInstance()->isErrorOverlayShown();
            quiet = (busy ? 0 : quiet + 1);
        }
    }
    std::string failure(const std::string& code) { return engine->failure(code, "<none>"); }
};

TEST_F(SwitchRecovery, AnActivationThatFailsInsideAFadeIsReportedOnceAndTheGameGoesOn)
{
    start();
    struct Case
    {
        const char* target;
        const char* landsOn;
        const char* journal;
    };
    // Within the chapter the old scene still stands and comes back; out of it, no scene is left.
    for (const Case& c : {Case{"ch1.x", "ch1.a", "began:ch1.x activate a ended"},
                          Case{"ch2.y", "", "began:ch2.y finish:ch2 ended"}})
    {
        const size_t failuresBefore = count("Scene switch failed: ");
        clear();
        Session::changeScene(c.target, 0.5f, "fade");
        playThrough();
        EXPECT_EQ(count("Scene switch failed: ") - failuresBefore, 1u) << c.target;
        EXPECT_EQ(count("scene name format is incorrect"), 0u) << c.target;
        EXPECT_FALSE(Session::isTransitionRunning()) << c.target;
        EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown()) << c.target;
        EXPECT_EQ(overlay(), nullptr) << c.target;
        EXPECT_EQ(active(), c.landsOn) << c.target;
        EXPECT_EQ(journal(), c.journal) << c.target;
    }
    // Usable: the next switch goes through.
    clear();
    Session::changeScene("ch2.c", 0.5f, "fade");
    playThrough();
    EXPECT_EQ(active(), "ch2.c");
    EXPECT_EQ(journal(), "began:ch2.c activate c ended");
}

TEST_F(SwitchRecovery, ADeadLinkFoundLeavingAChapterBringsTheOldSceneBack)
{
    write("debug_mode: 1\n");
    start();
    ASSERT_TRUE(UI::getInstance()->isDebugModeEnabled());
    Chapter* ch1 = Session::getChapter("ch1");
    tesraui::ImageBox* stale = new tesraui::ImageBox("stale", kavtypes::Rectangle(0, 0, 4, 4));
    UI::getUIDataset()->registerObjects(stale);
    UI::getInstance()->getRootObject()->addChild(stale);
    stale->setImage(ch1->getImage("0x00FF00"));

    Session::changeScene("ch2.c", 0.5f, "fade");
    playThrough();
    EXPECT_EQ(count("Scene switch failed: "), 1u);
    EXPECT_GT(count("Dead resource link detected while unloading chapter 'ch1': Object 'stale'"), 0u);
    EXPECT_EQ(active(), "ch1.a");
    ASSERT_NE(Session::getActiveScene()->getRootObject(), nullptr);
    EXPECT_EQ(Session::getActiveScene()->getRootObject()->getParent(),
              (tesraui::Object*)Session::getViewport());
    EXPECT_EQ(VariableDictionary::getGlobal().get("active_scene").value(), "ch1.a");
    // What was loaded for the switch went again; the loading screen closed.
    EXPECT_FALSE(Session::getChapter("ch2")->isLoaded());
    EXPECT_EQ(journal(), "began:ch2.c activate a finish:ch2 ended");
    EXPECT_EQ(overlay(), nullptr);

    UI::getUIDataset()->destroyObject(stale);
    clear();
    Session::changeScene("ch2.c", 0.5f, "fade");
    playThrough();
    EXPECT_EQ(active(), "ch2.c");
    EXPECT_FALSE(ch1->isLoaded());
}

TEST_F(SwitchRecovery, EveryBeganGetsItsEnded)
{
    start();
    // A fade replaced by another fade, by an immediate switch, and one that ends by itself.
    Session::changeScene("b", 1.0f, "fade");
    engine->frame(0.1f);
    Session::changeScene("a", 1.0f, "crossfade");
    engine->frame(0.1f);
    Session::changeScene("b", 0.0f, "none");
    EXPECT_EQ(overlay(), nullptr);
    Session::changeScene("a", 0.5f, "fade");
    playThrough();
    EXPECT_EQ(journal(), "began:ch1.b ended began:ch1.a ended activate b began:ch1.a activate a ended");
}

TEST_F(SwitchRecovery, AFadeStartedAgainFromItsOwnEndRunsToItsEnd)
{
    start();
    LuaInterface::execute(
        "again = true\n"
        "function ui.OnSceneTransitionEnded()\n"
        "  note('ended')\n"
        "  if again then again = false scene._queued_switchScene('ch1.a', 0.5, 'fade') end\n"
        "end\n");
    Session::changeScene("b", 0.5f, "fade");
    playThrough();
    EXPECT_EQ(overlay(), nullptr);
    EXPECT_EQ(active(), "ch1.a");
    EXPECT_EQ(journal(), "began:ch1.b activate b ended began:ch1.a activate a ended");
}

TEST_F(SwitchRecovery, ADirectSwitchCallRaisesItsFailureAndAQueuedOneReportsIt)
{
    start();
    for (const char* call :
         {"scene._queued_switchScene('ch9.x', 0, 'none') | Chapter 'ch9' not found!",
          "scene._queued_switchScene('ch2.nowhere', 0.5, 'fade') | Scene 'nowhere' not "
          "found in chapter 'ch2'",
          "scene._queued_switchScene('9ch.x', 0, 'none') | Invalid chapter folder name '9ch'"})
    {
        const std::string text(call);
        const size_t bar = text.find(" | ");
        EXPECT_NE(failure(text.substr(0, bar)).find(text.substr(bar + 3)), std::string::npos) << call;
    }
    EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
    EXPECT_FALSE(Session::isTransitionRunning());
    EXPECT_EQ(active(), "ch1.a");
    EXPECT_EQ(journal(), "");
    // A chapter not loaded yet is found through its scene files; called outside the frame's queued
    // scripts, the switch happens at the next frame's start.
    EXPECT_EQ(failure("scene._queued_switchScene('ch2.c', 0, 'none')"), "<none>");
    EXPECT_EQ(active(), "ch1.a");
    engine->frame(0.1f);
    EXPECT_EQ(active(), "ch2.c");

    LuaInterface::execute("scene.switch('ch9.x')");
    engine->frame(0.1f);
    EXPECT_TRUE(UI::getInstance()->isErrorOverlayShown());
    EXPECT_EQ(active(), "ch2.c");
}

TEST_F(SwitchRecovery, AChapterThatIncludesAFileOutsideTheGameIsNotEnteredAndTheGameStays)
{
    folder.put("data/chapters/ch3/ch3.datadef",
               "<Dataset>\n<Include path='../../../../../../../../../../etc/passwd'/></Dataset>");
    folder.put("data/chapters/ch3/scenes/d.scene", sceneScript("d"));
    start();
    Session::changeScene("ch3.d", 0.5f, "fade");
    playThrough();
    // Once, in the switch's own line; the bracket names the loader's source line, which moves with its code.
    const std::string refusal = "] Include path '../../../../../../../../../../etc/passwd' leads out of the "
                                "game's folder, in file data/chapters/ch3/ch3.datadef, line 2";
    const std::string log = engine->logText();
    const size_t at = log.find("Scene switch failed: [Dataset:");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_EQ(log.compare(log.find(']', at), refusal.size(), refusal), 0) << log.substr(at, 200);
    EXPECT_EQ(count("Scene switch failed: [Dataset:"), 1u);
    EXPECT_EQ(active(), "ch1.a");
    EXPECT_EQ(count("Parsing dataset file: ../"), 0u);
    Session::changeScene("ch2.c", 0.5f, "fade");
    playThrough();
    EXPECT_EQ(active(), "ch2.c");
}

TEST_F(SwitchRecovery, LockingTheSceneReleasesTheHeldItemAtOnce)
{
    start();
    UI::getInstance()->selectItem("key");
    LuaInterface::execute("scene.lock()");
    EXPECT_EQ(UI::getInstance()->getSelectedItem(), "");
    EXPECT_TRUE(Session::isSceneLocked());
    EXPECT_TRUE(harness::inOrder(engine->logText(), {"Scene Locked"}));
    LuaInterface::execute("scene.lock()");
    EXPECT_TRUE(
        harness::inOrder(engine->logText(), {"Scene Locked", "Scene Locked (was previously locked)"}));
}

// Every way a scene is activated, its activation failing: the scene is taken down again and no scene stays
// active (the old one comes back only when its own activation holds), the failure is shown, and the game
// goes on to the next switch.
TEST_F(SwitchRecovery, ASceneWhoseActivationThrowsIsNeverLeftActive)
{
    const struct
    {
        const char* what;
        const char* startScene;
        std::function<void()> act;
        const char* failure;
        const char* landsOn;
    } rows[] = {
        {"the start scene", "ch1.x", [] {}, "broken scene lacks its setting", ""},
        {"a switch out of the chapter", "ch1.a", [] { Session::changeScene("ch2.y", 0.0f, "none"); },
         "broken scene lacks its setting", ""},
        {"a switch within the chapter", "ch1.a", [] { Session::changeScene("ch1.x", 0.0f, "none"); },
         "broken scene lacks its setting", "ch1.a"},
        {"a switch whose old scene fails to come back", "ch1.z",
         [] { Session::changeScene("ch1.x", 0.0f, "none"); }, "once scene cannot come back", ""},
        {"a reset", "ch1.z", [] { LuaInterface::execute("scene.reset()"); }, "once scene cannot come back",
         ""},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        engine.reset();
        harness::forgetSession();
        Engine::log().clear();
        write("");
        folder.config(std::string("scene: ") + row.startScene + "\n");
        start();
        row.act();
        playThrough();
        EXPECT_GE(count(row.failure), 1u) << engine->logText();
        EXPECT_EQ(active(), row.landsOn);
        Chapter* ch1 = Session::getChapter("ch1");
        for (const char* name : {"x", "z"})
        {
            if (ch1->isLoaded())
            {
                EXPECT_EQ(ch1->getScene(name)->isActive(), ch1->getScene(name) == Session::getActiveScene())
                    << name << " stands beside the active scene";
            }
        }
        clear();
        Session::changeScene("ch2.c", 0.0f, "none");
        playThrough();
        EXPECT_EQ(active(), "ch2.c");
        EXPECT_EQ(journal().rfind("activate c", 0), 0u) << journal();
    }
}
