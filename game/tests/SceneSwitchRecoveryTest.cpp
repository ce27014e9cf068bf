#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "Transitions.h"
#include "Variables.h"
#include "ui/UI.h"

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
        folder.put("data/chapters/ch2/ch2.datadef", "<Dataset/>");
        folder.put("data/chapters/ch2/scenes/c.scene", sceneScript("c"));
        folder.put("data/chapters/ch2/scenes/y.broken.scene", "");
    }
    void start()
    {
        engine.reset(new Engine(folder));
        Scene::registerFactory("broken.scene", &makeBroken);
        engine->start();
        clear();
    }
    void clear() { LuaInterface::execute("journal = {}"); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    size_t count(const std::string& text)
    {
        const std::string log = engine->logText();
        size_t found = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
        {
            ++found;
        }
        return found;
    }
    tesraui::Object* overlay() { return UI::getUIDataset()->tryGetObject(Transitions::Fade::overlayName); }
    // Frames of 0.1 s, the player pressing Continue whenever the error overlay shows, until the transition
    // is over; then a few more, in which a transition left behind would show itself again.
    void playThrough()
    {
        for (int i = 0;
             i < 40 && (Session::isTransitionRunning() || UI::getInstance()->isErrorOverlayShown()); ++i)
        {
            if (UI::getInstance()->isErrorOverlayShown())
            {
                UI::getInstance()->onErrorContinue(nullptr);
            }
            engine->frame(0.1f);
        }
        for (int i = 0; i < 5; ++i)
        {
            engine->frame(0.1f);
        }
    }
    std::string failure(const std::string& code)
    {
        std::string text = engine->lua("select(2, pcall(function() " + code + " end))");
        const size_t at = text.find("]:1: ");
        return at == std::string::npos ? text : text.substr(at + 5);
    }
};

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
