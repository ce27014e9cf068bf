#include <filesystem>

#include <orvalo/UpsellScreen.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "StoreMenu.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// The game's own UI with the demo's promotion data: a "menu" chapter with MainMenu, where the game starts,
// and a chapter "other" with one room.
class StoreScene : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: menu.MainMenu\norvalo_id: demo_game\n"
                      "upsell: data/orvalo/system/upsell/upsell.dts\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/menu/menu.datadef", "<Dataset/>");
        folder.put("data/chapters/menu/scenes/MainMenu.scene", "");
        folder.put("data/chapters/other/other.datadef", "<Dataset/>");
        folder.put("data/chapters/other/scenes/room.scene", "");
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/orvalo", folder.path + "/data/orvalo",
                              std::filesystem::copy_options::recursive);
        engine.reset(new Engine(folder));
        engine->start(&createGameUI);
        engine->frame();
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    size_t count(const std::string& text) { return engine->logCount(text); }
    // A script's switch, played through until no transition runs.
    void switchTo(const std::string& target)
    {
        LuaInterface::execute("scene.switch('" + target + "')");
        engine->frame(0.1f);
        for (int i = 0; i < 50 && Session::isTransitionRunning(); ++i)
        {
            engine->frame(0.1f);
        }
    }
};

TEST_F(StoreScene, IsFoundFromAnotherChapterBeforeTheMenuLoadsAgain)
{
    ASSERT_EQ(active(), "menu.MainMenu");
    for (int round = 0; round < 2; ++round)
    {
        switchTo("other.room");
        ASSERT_EQ(active(), "other.room") << round;
        ASSERT_FALSE(Session::getChapter("menu")->isLoaded()) << round;
        switchTo("menu.StoreMenu");
        EXPECT_EQ(active(), "menu.StoreMenu") << round;
        EXPECT_NE(dynamic_cast<StoreMenu*>(Session::getActiveScene()), nullptr) << round;
        EXPECT_NE(orvalo::getUpsellScreen(), nullptr) << round;
        EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown()) << engine->logText();
    }
}

TEST_F(StoreScene, LeavingOrResettingItTakesTheUpsellScreenDownCleanly)
{
    switchTo("menu.StoreMenu");
    ASSERT_NE(orvalo::getUpsellScreen(), nullptr);
    LuaInterface::execute("scene.reset()");
    engine->frame(0.1f);
    EXPECT_NE(orvalo::getUpsellScreen(), nullptr) << "a reset shows the screen anew";
    // Within the chapter, and out of it.
    switchTo("menu.MainMenu");
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
    switchTo("menu.StoreMenu");
    switchTo("other.room");
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
    EXPECT_EQ(count("Upsell Screen does not exist!"), 0u) << engine->logText();
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
