#include <functional>
#include <string>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "Session.h"

using namespace vumo;

// A scene ch1.a whose script and hooks keep objects across a reset and meddle with them while they are kept;
// each case is its own game. The scripts note their steps in a journal.
class SceneResetRetained : public harness::GameTest
{
protected:
    void startOn(const std::string& script)
    {
        engine.reset();
        harness::forgetSession();
        harness::Engine::log().clear();
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal();
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", script);
        engine.reset(new harness::Engine(folder));
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
    }
    // Frames of 0.05 s for a second: the resets the scripts ask for are done and the game ran on after them.
    void runOn()
    {
        for (int i = 0; i < 20; ++i)
        {
            engine->frame(0.05f);
        }
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    tesraui::Object* object(const char* name) { return Session::getChapter("ch1")->tryGetObject(name); }
    tesraui::Object* root() { return Session::getActiveScene()->getRootObject(); }
};

TEST_F(SceneResetRetained, AKeptObjectComesBackWithItsPartsOrGoesAsTheScriptsSay)
{
    // Resets once, from the scene's update after 0.3 s, after the given code.
    const auto resetOnce = [](const std::string& before)
    {
        return "function OnUpdate(dt)\n"
               "  _G.t = (_G.t or 0) + dt\n"
               "  if not _G.reset_asked and _G.t > 0.3 then _G.reset_asked = true; " +
               before +
               " scene.reset() end\n"
               "end\n";
    };
    const struct
    {
        const char* what;
        std::string script;
        std::string journal;
        std::function<void()> check;
    } rows[] = {
        {"a kept pane keeps the parts it works with",
         "note('run')\n"
         "object.create('InventoryPane', 'bag__retain', nil, {x = 0, y = 60, w = 100, h = 40})\n" +
             resetOnce(""),
         "run run",
         [this]
         {
             tesraui::Object* pane = object("bag__retain");
             ASSERT_NE(pane, nullptr);
             EXPECT_EQ(pane->getParent(), root());
             for (const char* part : {"bag__retain/container", "bag__retain/scrollarea"})
             {
                 ASSERT_NE(object(part), nullptr) << part;
                 EXPECT_TRUE(object(part)->isDescendantOf(pane)) << part;
             }
         }},
        {"a kept box destroyed by OnDeactivate is made anew",
         "note('run')\n"
         "object.create('Container', 'box__retain', nil, {x = 0, y = 0, w = 10, h = 10})\n"
         "function OnDeactivate()\n"
         "  if object.exists('box__retain') then object.destroy('box__retain'); note('destroyed') end\n"
         "end\n" +
             resetOnce(""),
         "run destroyed run",
         [this]
         {
             ASSERT_NE(object("box__retain"), nullptr);
             EXPECT_EQ(object("box__retain")->getParent(), root());
         }},
        {"a kept box the script destroys instead of taking it back",
         "_G.n = (_G.n or 0) + 1\n"
         "note('run' .. _G.n)\n"
         "if _G.n == 1 then object.create('Container', 'box__retain', nil, {x = 0, y = 0, w = 10, h = 10})\n"
         "elseif object.exists('box__retain') then object.destroy('box__retain'); note('destroyed') end\n" +
             resetOnce(""),
         "run1 run2 destroyed", [this] { EXPECT_EQ(object("box__retain"), nullptr); }},
        {"a kept destructor whose queued deletion names a parent the reset destroyed",
         "note('run')\n"
         "if _G.reset_asked then object.create('ObjectDestructor', 'od__retain', nil, {delay = 0}) end\n" +
             resetOnce("object.create('Container', 'x', nil, {x = 0, y = 0, w = 10, h = 10}); "
                       "object.create('ObjectDestructor', 'od__retain', 'x', {delay = 0});"),
         "run run",
         [this]
         {
             EXPECT_EQ(object("x"), nullptr);
             ASSERT_NE(object("od__retain"), nullptr);
             EXPECT_EQ(object("od__retain")->getParent(), root());
         }},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        ASSERT_NO_FATAL_FAILURE(startOn(row.script));
        runOn();
        EXPECT_EQ(journal(), row.journal);
        row.check();
        EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
    }
}
