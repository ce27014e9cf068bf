#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/UpsellScreen.h>

#include "DemoPlayer.h"
#include "Match3Scene.h"
#include "VumoPlayerTorvinOrvaloUI.h"

using namespace vumo;

// The demo as shipped: the same drawn pointer on every screen, an arrow whose tip is the point clicked, and
// a hand, its fingertip on that point, over everything that answers a click, with the thing's name beside
// it.
class DemoPointer : public DemoPlayerTest
{
protected:
    struct Case
    {
        const char* scene;
        float x, y;
        bool hand;
        const char* name;
        const char* what;
    };

    void check(const Case& c)
    {
        moveTo(c.x, c.y);
        if (c.hand)
        {
            EXPECT_TRUE(handAt(c.x, c.y)) << c.what;
        }
        else
        {
            EXPECT_TRUE(arrowAt(c.x, c.y)) << c.what;
        }
        EXPECT_EQ(hoverName(), c.name) << c.what;
    }
    void checkAll(const std::vector<Case>& cases)
    {
        for (const Case& c : cases)
        {
            if (active() != c.scene)
            {
                Session::changeScene(c.scene, 0.0f, "");
                ASSERT_TRUE(engine->settleAt(c.scene)) << c.what;
            }
            check(c);
        }
    }
    static kavtypes::Vector2 middle(tesraui::Object* object)
    {
        const kavtypes::Rectangle rect = object->getBoundingRect();
        return kavtypes::Vector2(rect.x + rect.w / 2, rect.y + rect.h / 2);
    }
};

TEST_F(DemoPointer, AnArrowOnEveryScreenAndAHandOverItsButtons)
{
    Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
    engine->start(&createGameUI);
    engine->frame();
    ASSERT_NE(orvalo::getPlayButton(), nullptr);
    for (int i = 0; i < 10; ++i)
    {
        engine->frame(0.1f);
    }
    const kavtypes::Vector2 play = middle(orvalo::getPlayButton());
    check({"", 880, 500, false, "", "the landing page's background"});
    check({"", play.x, play.y, true, "", "the landing page's Play"});
    const kavtypes::Vector2 banner =
        middle(orvalo::getMoreGamesScreenButton("orvalo_mgs_button_splash", "the banner"));
    check({"", banner.x, banner.y, true, "Play the demo", "the landing page's banner"});
    // The promoted games' thumbnails open their store pages, which the name and a click's answer say, naming
    // the game; a double click opens the page once.
    const std::string game = engine->lua("ui.promotedGame(ui.objectAt('ui.root', 180, 100), "
                                         "ui.objectAt('ui.root', 180, 100).__name:match('%.(.*)$'))");
    ASSERT_TRUE(game == "Forest Tale" || game == "River Quest") << game;
    check({"", 180, 100, true, (game + ": opens its page in the store").c_str(), "a promoted game"});
    folder.put("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + folder.path + "/opened.txt'\n");
    std::filesystem::permissions(folder.path + "/bin/xdg-open", std::filesystem::perms::owner_all);
    const std::string path = getenv("PATH");
    setenv("PATH", (folder.path + "/bin:" + path).c_str(), 1);
    engine->doubleClickAt(180, 100);
    engine->frame(0.016f);
    EXPECT_EQ(answer(), "The page of " + game + " in the store opens in your web browser.");
    EXPECT_EQ(engine->logCount("Opening URL: https://example.invalid/store/"), 1u)
        << "a double click opens once";
    for (int i = 0; i < 500 && harness::readFile(folder.path + "/opened.txt") == ""; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    setenv("PATH", path.c_str(), 1);
    std::string id = game;
    std::transform(id.begin(), id.end(), id.begin(),
                   [](char c) { return c == ' ' ? '_' : (char)tolower(c); });
    EXPECT_EQ(harness::readFile(folder.path + "/opened.txt").rfind("https://example.invalid/store/" + id, 0),
              0u);
    engine->clickObject(orvalo::getPlayButton());
    ASSERT_TRUE(engine->settleAt("menu.MainMenu"));
    const kavtypes::Vector2 store = middle(thing("menu_store"));
    check({"", 480, 420, false, "", "the menu's background"});
    check({"", store.x, store.y, true, "", "the menu's Store"});
    engine->clickObject(thing("menu_store"));
    ASSERT_TRUE(engine->settleAt("menu.StoreMenu"));
    for (int i = 0; i < 10; ++i)
    {
        engine->frame(0.1f);
    }
    const kavtypes::Vector2 later = middle(orvalo::getUpsellLaterButton());
    check({"", 100, 100, false, "", "the store's background"});
    check({"", later.x, later.y, true, "", "the store's Later"});
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoPointer, AHandWithANameOverEveryWayAndThingOfTheAdventure)
{
    engine->startDemo();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(active(), "meadow.hills");
    checkAll({
        {"meadow.hills", 268, 380, true, "The stranger: talk to him", "the stranger"},
        {"meadow.hills", 376, 430, true, "A plank: take it", "the plank"},
        {"meadow.hills", 596, 392, true, "A heavy crate: drag it", "the crate"},
        {"meadow.hills", 768, 312, true, "The beacon's wood: light it", "the beacon's wood"},
        {"meadow.hills", 900, 330, true, "To the sign", "the way to the sign"},
        {"meadow.hills", 480, 150, false, "", "the open sky"},
        {"meadow.hills", 100, 420, false, "", "the grass"},
        // The goal's panel lets the pointer through to the sky.
        {"meadow.hills", 480, 40, false, "", "the goal"},
        {"meadow.sign", 480, 400, true, "The door: to the lake", "the door's foot"},
        {"meadow.sign", 300, 300, false, "", "the wood beside the door"},
        {"meadow.sign", 824, 128, true, "A golden key: take it", "the key on the sign"},
        {"meadow.sign", 112, 120, false, "", "the password, too small to see"},
        {"meadow.sign", 70, 480, true, "Back to the hills", "the way back to the hills"},
        {"lake.shore", 880, 410, true, "The lake's water", "the water"},
        {"lake.shore", 480, 130, true, "The sky: watch the ball cross it", "the sky"},
        {"lake.shore", 200, 450, false, "", "the beach"},
        {"lake.shore", 66, 350, true, "Back to the hills", "the way back to the hills"},
        {"lake.shore", 900, 500, true, "", "the Menu button"},
    });
    // Taken, the key is no longer there to click.
    Session::changeScene("meadow.sign", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("meadow.sign"));
    click(824, 128);
    ASSERT_TRUE(waitFor("vars.demo_key_found", "1"));
    check({"meadow.sign", 825, 129, false, "", "where the key was"});
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoPointer, AHandOverTheDuelsTilesAndTheMessageBoxsButtons)
{
    engine->startDemo("menu_duel");
    ASSERT_FALSE(HasFatalFailure());
    Match3Scene* duel = dynamic_cast<Match3Scene*>(Session::getActiveScene());
    ASSERT_NE(duel, nullptr);
    for (int i = 0; i < 100 && duel->isBusy(); ++i)
    {
        engine->frame(0.1f);
    }
    const kavtypes::Rectangle first = duel->getCell(0, 0)->getBoundingRect();
    check({"", first.x + 2, first.y + 2, true, "", "a tile's corner"});
    check({"", 112, 200, false, "", "the templar's bar"});
    key(27);
    engine->frame(0.1f);
    ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
    for (int i = 0; i < 5; ++i)
    {
        engine->frame(0.1f);
    }
    // The box covers the board: no hand over the tiles it hides, one over its buttons.
    check({"", first.x + 2, first.y + 2, false, "", "a tile under the box"});
    check({"", 367, 320, true, "", "the box's No"});
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
