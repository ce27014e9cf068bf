#include <string>
#include <vector>

#include "EngineHarness.h"
#include "Scene.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// ch1 holds a and b, ch2 holds c; the second line of "data/lib/go.lua" asks for every switch.
class DeferredSwitchPlace : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/go.lua", "function go(target, effect)\n"
                                      "  scene.switch{scene = target, time = 0.2, effect = effect}\n"
                                      "end\n");
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        folder.put("data/chapters/ch1/scenes/b.scene", "");
        folder.put("data/chapters/ch2/ch2.datadef", "<Dataset/>");
        folder.put("data/chapters/ch2/scenes/c.scene", "");
        Engine::log().clear();
        engine.reset(new Engine(folder));
        engine->start();
        engine->frame();
    }
};

// What a switch refuses without touching the scene is refused at the call, with the caller's file and line.
// A switch that fails only a frame after the call (the scene it names by a bare name is not in the chapter
// that a switch queued before it entered) reports the line that asked for it, and the game stays where the
// switch before it left it.
TEST_F(DeferredSwitchPlace, AFailureAtTheCallOrAFrameLaterNamesTheCallersFileAndLine)
{
    struct Case
    {
        std::string call;
        std::string cause;
    };
    const std::vector<Case> cases = {
        {"go('ch2.nowhere', 'fade')", "Scene 'nowhere' not found in chapter 'ch2'"},
        {"go('ch9.x', 'fade')", "Chapter 'ch9' not found!"},
        {"go('b', 'wipe')", "Transition effect 'wipe' not found!"},
    };
    for (const Case& c : cases)
    {
        Engine::log().clear();
        EXPECT_EQ(engine->failure(c.call), "[string \"data/lib/go.lua\"]:2: " + c.cause);
        engine->frame(0.05f);
        EXPECT_EQ(Engine::errorLines(), 0) << c.call;
        EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "ch1.a") << c.call;
    }
    Engine::log().clear();
    LuaInterface::execute("scene.switch{scene = 'ch2.c', time = 0, effect = 'none'} go('b', 'none')");
    EXPECT_EQ(Engine::errorLines(), 0) << "not before the next frame";
    engine->frame(0.05f);
    // Square brackets show as angle brackets in the overlay's text.
    const std::string log = engine->logText();
    EXPECT_NE(log.find("data/lib/go.lua>:2: scene.switch, deferred to the next frame: Can't switch to 'b', "
                       "scene not found in chapter 'ch2'"),
              std::string::npos)
        << log;
    ASSERT_TRUE(UI::getInstance()->isErrorOverlayShown());
    UI::getInstance()->onErrorContinue(nullptr);
    for (int i = 0; i < 10; ++i)
    {
        engine->frame(0.05f);
    }
    EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "ch2.c");
}
