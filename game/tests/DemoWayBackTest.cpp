#include <algorithm>
#include <filesystem>

#include <orvalo/UpsellScreen.h>

#include "EngineHarness.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

namespace
{
    // Every scene the demo ships, as "chapter.scene", from its files: a new scene is checked too.
    std::vector<std::string> demoScenes()
    {
        std::vector<std::string> scenes;
        for (const auto& chapter :
             std::filesystem::directory_iterator(std::string(VUMO_DEMO_DIR) + "/data/chapters"))
        {
            const std::filesystem::path folder = chapter.path() / "scenes";
            if (!std::filesystem::is_directory(folder))
            {
                continue;
            }
            for (const auto& file : std::filesystem::directory_iterator(folder))
            {
                const std::string name = file.path().filename().string();
                scenes.push_back(chapter.path().filename().string() + "." + name.substr(0, name.find('.')));
            }
        }
        std::sort(scenes.begin(), scenes.end());
        return scenes;
    }

    bool inside(const kavtypes::Rectangle& rect, float width, float height)
    {
        return rect.w > 0 && rect.h > 0 && rect.x >= 0 && rect.y >= 0 && rect.x + rect.w <= width &&
               rect.y + rect.h <= height;
    }
} // namespace

// The demo as shipped: no scene traps a player, each leads back to the main menu by a click on screen.
class DemoWayBack : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.copyDemo();
        engine.reset(new Engine(folder));
        engine->startDemo("");
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    tesraui::Object* uiObject(const std::string& name)
    {
        return UI::getInstance()->getDataset()->tryGetObject(name);
    }
};

TEST_F(DemoWayBack, EveryScenesMenuButtonLeadsToTheMainMenu)
{
    const std::vector<std::string> scenes = demoScenes();
    ASSERT_GE(scenes.size(), 5u);
    for (const std::string& scene : scenes)
    {
        if (scene == "menu.MainMenu")
        {
            continue;
        }
        Session::changeScene(scene, 0.0f, "");
        ASSERT_TRUE(engine->settleAt(scene)) << scene;
        tesraui::Object* button = uiObject("menu_button");
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isDerivedVisible()) << scene;
        EXPECT_TRUE(inside(button->getBoundingRect(), 960, 540)) << scene;
        // A dialog under way does not hold the player either: the click that ends its line does only that,
        // and the next leads back.
        if (scene == "meadow.hills")
        {
            LuaInterface::execute("dialog.start('stranger')");
            engine->frame(0.1f);
            ASSERT_EQ(engine->lua("dialog.isActive()"), "true");
            ASSERT_TRUE(uiObject("dialog_panel")->isDerivedVisible());
            engine->clickObject(button);
            engine->frame(0.1f);
            EXPECT_EQ(active(), scene);
            EXPECT_TRUE(uiObject("reply1")->isDerivedVisible());
        }
        engine->clickObject(button);
        EXPECT_TRUE(engine->settleAt("menu.MainMenu")) << scene << " stays at " << active();
        EXPECT_EQ(engine->lua("dialog.isActive()"), "false") << scene;
        EXPECT_FALSE(uiObject("menu_button")->isVisible()) << "the menu needs no way to itself";
    }
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoWayBack, TheStoresLaterButtonLeadsBack)
{
    engine->clickObject(Session::getChapter("menu")->tryGetObject("menu_store"));
    ASSERT_TRUE(engine->settleAt("menu.StoreMenu"));
    ASSERT_NE(orvalo::getUpsellLaterButton(), nullptr);
    EXPECT_FALSE(uiObject("menu_button")->isVisible()) << "it would cover the store's own buttons";
    engine->clickObject(orvalo::getUpsellLaterButton());
    EXPECT_TRUE(engine->settleAt("menu.MainMenu")) << active();
}
