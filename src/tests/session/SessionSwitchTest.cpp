#include "Chapter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "Session.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// ch1 holds a and b, ch2 holds c; the game starts on ch1.a.
class SessionSwitch : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal("function ui.OnSceneChanged(n, p) note('changed:' .. n) end\n");
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        folder.put("data/chapters/ch1/scenes/b.scene", "");
        folder.put("data/chapters/ch2/ch2.datadef", "<Dataset/>");
        folder.put("data/chapters/ch2/scenes/c.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        LuaInterface::execute("journal = {}");
    }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    std::string active() { return Session::getActiveScene()->getFullName(); }
};

TEST_F(SessionSwitch, ARequestedNameIsRefusedOnlyWhenItCannotBeResolved)
{
    struct Case
    {
        const char* name;
        const char* error;
    };
    for (const Case& c :
         {Case{"b", ""}, Case{"ch2.c", ""},
          // Whether a full name exists is found when the switch resolves it.
          Case{"ch9.x", ""}, Case{"zz", "Can't switch to 'zz', scene not found in chapter 'ch1'"},
          Case{"ui.menu", "Unable to switch scene to UI chapter (ui.menu), not permitted."}})
    {
        EXPECT_EQ(Session::getSwitchNameError(c.name), hstring(c.error)) << c.name;
    }
}

TEST_F(SessionSwitch, AFailedSwitchSaysSoAndKeepsTheSceneAndAGoodOneChangesIt)
{
    EXPECT_FALSE(Session::switchScene("ch9.x"));
    EXPECT_EQ(active(), "ch1.a");
    EXPECT_TRUE(UI::getInstance()->isErrorOverlayShown());
    UI::getInstance()->onErrorContinue(nullptr);
    EXPECT_EQ(journal(), "");

    EXPECT_TRUE(Session::switchScene("ch2.c"));
    EXPECT_EQ(active(), "ch2.c");
    EXPECT_FALSE(Session::getChapter("ch1")->isLoaded());
    EXPECT_EQ(journal(), "changed:ch2.c");
    // Only a full name: the bare ones are resolved when the switch is asked for.
    EXPECT_THROW(Session::switchScene("c"), quortypes::exception);
    EXPECT_EQ(active(), "ch2.c");
}
