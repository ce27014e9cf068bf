#include <filesystem>
#include <functional>
#include <string>

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/UpsellScreen.h>
#include <orvalo/orvalo.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "EngineHarness.h"
#include "OrvaloStart.h"
#include "StoreMenu.h"
#include "Transitions.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    struct GamesPathCase
    {
        const char* configured;
        std::vector<std::string> folders;
        const char* expected;
    };

    std::ostream& operator<<(std::ostream& out, const GamesPathCase& c)
    {
        out << "'" << c.configured << "' with";
        for (const std::string& folder : c.folders)
        {
            out << " " << folder;
        }
        return out;
    }
} // namespace

class GamesPathChoice : public ::testing::TestWithParam<GamesPathCase>
{
};

TEST_P(GamesPathChoice, FollowsTheConfigurationThenTheFolders)
{
    GameFolder folder;
    for (const std::string& name : GetParam().folders)
    {
        std::filesystem::create_directories(folder.path + "/data/orvalo/games/" + name);
    }
    // A file beside the folders is no game folder.
    folder.put("data/orvalo/games/notes.txt", "");
    Engine engine(folder);
    Session::getConfig().clear();
    if (std::string(GetParam().configured) != "")
    {
        Session::setConfigValue("orvalo_games_path", GetParam().configured);
    }
    EXPECT_EQ(VumoPlayerTorvinOrvaloUI::chooseGamesPath(), hstring(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GamesPathChoice,
    ::testing::Values(GamesPathCase{"", {}, ""}, GamesPathCase{"", {"only"}, "data/orvalo/games/only"},
                      GamesPathCase{"", {"b", "test", "a"}, "data/orvalo/games/test"},
                      GamesPathCase{"", {"test"}, "data/orvalo/games/test"},
                      GamesPathCase{"", {"zeta", "Beta", "alpha"}, "data/orvalo/games/Beta"},
                      GamesPathCase{"mine/path", {"test", "other"}, "mine/path"}));

// A game with a "menu" chapter (MainMenu and Options) and, unless asked otherwise, the demo's promotion data,
// started with the game's own UI. Scripts note what they do in a journal.
class GameShell : public harness::GameTest
{
protected:
    void write(const std::string& extraConfig = "", bool promotion = true)
    {
        folder.config("scene: menu.MainMenu\norvalo_id: demo_game\n"
                      "upsell: data/orvalo/system/upsell/upsell.dts\n" +
                      extraConfig);
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/lib/game.lua", "journal = {}\nfunction note(x) journal[#journal + 1] = x end\n");
        folder.put("data/chapters/menu/menu.datadef", "<Dataset/>");
        folder.put("data/chapters/menu/scenes/MainMenu.scene", "function OnActivate() note('main') end\n");
        folder.put("data/chapters/menu/scenes/Options.scene", "");
        if (promotion)
        {
            std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/orvalo", folder.path + "/data/orvalo",
                                  std::filesystem::copy_options::recursive);
        }
    }
    void start()
    {
        engine.reset(new Engine(folder));
        engine->start(&createGameUI);
        engine->frame();
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    bool has(const std::string& line) { return engine->logText().find(line) != std::string::npos; }
    // Frames of 0.1 s until no transition runs.
    void settle()
    {
        for (int i = 0; i < 50; ++i)
        {
            engine->frame(0.1f);
            if (!Session::isTransitionRunning())
            {
                engine->frame(0.1f);
                if (!Session::isTransitionRunning())
                {
                    return;
                }
            }
        }
    }
    void toStore()
    {
        Session::changeScene("StoreMenu", 0.0f, "");
        settle();
        ASSERT_EQ(active(), "menu.StoreMenu");
    }
};

TEST_F(GameShell, WithoutASystemFolderTheGameStartsAtItsSceneWithoutPromotion)
{
    write("landing_page: 1\n", false);
    start();
    EXPECT_TRUE(has("vumoplayer: Unable to find orvalo games path, disabling orvalo features."));
    EXPECT_EQ(engine->lua("type(orvalo)"), "nil");
    EXPECT_EQ(active(), "menu.MainMenu");
    EXPECT_EQ(Session::getConfigValue("scene"), "menu.MainMenu");
    EXPECT_EQ(orvalo::getSystemPath(), "");
}

TEST_F(GameShell, PromotionStartsWithGamesAppendedToTheChosenPath)
{
    write();
    start();
    EXPECT_EQ(orvalo::getSystemPath(), "data/orvalo/system");
    EXPECT_EQ(orvalo::getGamesPath(), "data/orvalo/games/demo/games");
    EXPECT_EQ(orvalo::getCurrentGame().id, "demo_game");
    EXPECT_EQ(orvalo::getUpsellFilename(), "data/orvalo/system/upsell/upsell.dts");
    EXPECT_EQ(engine->lua("type(orvalo)"), "table");
    // Without a landing page the game starts where it is configured to.
    EXPECT_EQ(active(), "menu.MainMenu");
    EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());
}

TEST_F(GameShell, AConfiguredGamesPathGetsGamesAppendedToo)
{
    write("orvalo_games_path: data/orvalo/games/demo\n");
    std::filesystem::create_directories(folder.path + "/data/orvalo/games/test");
    start();
    EXPECT_EQ(orvalo::getGamesPath(), "data/orvalo/games/demo/games");
}

TEST_F(GameShell, TheLandingPagePassesOnToTheStartSceneOnceThePlayerPlays)
{
    write("landing_page: 1\n");
    start();
    EXPECT_EQ(active(), "menu.OrvaloStart");
    EXPECT_EQ(Session::getConfigValue("scene"), "menu.OrvaloStart");
    EXPECT_EQ(OrvaloStart::savedStartScene(), "menu.MainMenu");
    ASSERT_TRUE(orvalo::isMoreGamesScreenShown());
    EXPECT_EQ(orvalo::getMoreGamesScreen()->getZOrder(), 0);
    for (int i = 0; i < 10; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_EQ(active(), "menu.OrvaloStart") << "the page waits for the player";
    EXPECT_EQ(journal(), "");

    ASSERT_NE(orvalo::getPlayButton(), nullptr);
    orvalo::getPlayButton()->triggerEvent("Click", 0u);
    bool transitionSeen = false;
    for (int i = 0; i < 100 && active() != "menu.MainMenu"; ++i)
    {
        engine->frame(0.05f);
        transitionSeen = transitionSeen || Session::isTransitionRunning();
    }
    EXPECT_EQ(active(), "menu.MainMenu");
    EXPECT_TRUE(transitionSeen);
    EXPECT_EQ(Session::getConfigValue("scene"), "menu.MainMenu");
    EXPECT_EQ(OrvaloStart::savedStartScene(), "");
    EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());
    settle();
    EXPECT_EQ(journal(), "main");
}

namespace
{
    // A piece of the landing page taken away, what the game maker is told, and where the game goes on.
    struct LandingPiece
    {
        const char* piece;
        std::function<void(const GameFolder&)> takeAway;
        // Each is in the error overlay's text, or in the log when no overlay shows.
        std::vector<std::string> says;
        // The page or the overlay, then the scene the game stands in once the player has gone on.
        const char* journal;
    };
} // namespace

// Every piece the landing page needs, taken away in turn: the page says what is missing and in which file,
// and once the player has read it the game goes on to its start scene.
TEST(LandingPageMissingPieces, SayWhatIsMissingAndTheGameGoesOnToItsStartScene)
{
    const std::string gui = "data/orvalo/system/more-games/more_games.gui";
    const auto remove = [](const std::string& name)
    { return [name](const GameFolder& f) { std::filesystem::remove_all(f.path + "/" + name); }; };
    const std::vector<LandingPiece> pieces = {
        {"nothing", [](const GameFolder&) {}, {}, "page, then menu.MainMenu"},
        {"the screen's dataset",
         remove(gui),
         {"The landing page (landing_page: 1 in cfg/vumo.cfg) cannot be shown",
          "'" + gui + "' does not exist"},
         "overlay, then menu.MainMenu"},
        {"the logo and the play button",
         [gui](const GameFolder& f)
         {
             f.put(gui, "<Dataset><Object type=\"Container\" name=\"root\" rect=\"0,0,960,720\">"
                        "<Object type=\"ScrollArea\" name=\"orvalo_mgs_scroll_area\" rect=\"0,0,400,584\"/>"
                        "<Object type=\"Container\" name=\"orvalo_mgs_game_logo\" rect=\"0,0,8,8\"/>"
                        "<Object type=\"Container\" name=\"orvalo_mgs_button_splash\" rect=\"0,0,8,8\"/>"
                        "</Object></Dataset>");
         },
         {"'" + gui + "' lacks what the screen needs",
          "no object 'orvalo_mgs_button_play'; 'orvalo_mgs_game_logo' is of type Container, not ImageBox"},
         "overlay, then menu.MainMenu"},
        {"the games",
         remove("data/orvalo/games"),
         {"data/orvalo/games holds no folder"},
         "overlay, then menu.MainMenu"},
        {"the chapter menu",
         [](const GameFolder& f)
         {
             std::filesystem::remove_all(f.path + "/data/chapters/menu");
             f.config("scene: other.room\norvalo_id: demo_game\nlanding_page: 1\n");
         },
         {"The landing page (landing_page: 1) needs the chapter 'menu' (data/chapters/menu/menu.datadef)"},
         "other.room"},
    };
    std::string journal, expected;
    for (const LandingPiece& row : pieces)
    {
        SCOPED_TRACE(row.piece);
        GameFolder folder;
        folder.config("scene: menu.MainMenu\norvalo_id: demo_game\nlanding_page: 1\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/menu/menu.datadef", "<Dataset/>");
        folder.put("data/chapters/menu/scenes/MainMenu.scene", "");
        folder.put("data/chapters/other/other.datadef", "<Dataset/>");
        folder.put("data/chapters/other/scenes/room.scene", "");
        std::filesystem::copy(std::string(VUMO_DEMO_DIR) + "/data/orvalo", folder.path + "/data/orvalo",
                              std::filesystem::copy_options::recursive);
        row.takeAway(folder);
        harness::forgetSession();
        Engine engine(folder);
        Engine::log().clear();
        engine.start(&createGameUI);
        for (int i = 0; i < 5; ++i)
        {
            engine.frame(0.05f);
        }
        std::string line;
        const bool overlay = UI::getInstance()->isErrorOverlayShown();
        std::string told;
        for (const std::string& logged : Engine::log())
        {
            const bool shown = logged.rfind("scripting: Scripting Error: ", 0) == 0;
            if (overlay ? shown : logged.find("ERROR: ") != std::string::npos)
            {
                told += logged + "\n";
            }
        }
        for (const std::string& words : row.says)
        {
            EXPECT_NE(told.find(words), std::string::npos) << words << "\n" << told;
        }
        if (orvalo::isMoreGamesScreenShown())
        {
            line += "page, then ";
            orvalo::getPlayButton()->triggerEvent("Click", 0u);
        }
        if (overlay)
        {
            line += "overlay, then ";
            UI::getInstance()->onErrorContinue(nullptr);
        }
        EXPECT_TRUE(engine.settleAt(""));
        line += std::string(Session::getActiveScene()->getFullName());
        EXPECT_EQ(Session::getConfigValue("scene"), Session::getActiveScene()->getFullName())
            << "the configuration names the real start scene again";
        journal += std::string(row.piece) + ": " + line + "\n";
        expected += std::string(row.piece) + ": " + row.journal + "\n";
    }
    EXPECT_EQ(journal, expected);
}

TEST_F(GameShell, AStoreMenuFileIsReplacedByTheStoreSceneAtEveryMenuLoad)
{
    write();
    folder.put("data/chapters/menu/scenes/StoreMenu.scene", "note('file')\n");
    folder.put("data/chapters/other/other.datadef", "<Dataset/>");
    folder.put("data/chapters/other/scenes/room.scene", "");
    start();
    EXPECT_NE(dynamic_cast<StoreMenu*>(Session::getChapter("menu")->getScene("StoreMenu")), nullptr);
    Session::changeScene("other.room", 0.0f, "");
    settle();
    Session::changeScene("menu.MainMenu", 0.0f, "");
    settle();
    EXPECT_NE(dynamic_cast<StoreMenu*>(Session::getChapter("menu")->getScene("StoreMenu")), nullptr);
    toStore();
    EXPECT_EQ(journal(), "main main");
    EXPECT_NE(orvalo::getUpsellScreen(), nullptr);
}

TEST_F(GameShell, TheStoreCanBeTheStartScene)
{
    write();
    folder.config(
        "scene: menu.StoreMenu\norvalo_id: demo_game\nupsell: data/orvalo/system/upsell/upsell.dts\n");
    start();
    settle();
    EXPECT_EQ(active(), "menu.StoreMenu");
    EXPECT_NE(orvalo::getUpsellScreen(), nullptr);
    EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
}

TEST_F(GameShell, LaterFadesBackToTheMainMenu)
{
    write();
    start();
    toStore();
    ASSERT_NE(orvalo::getUpsellLaterButton(), nullptr);
    orvalo::getUpsellLaterButton()->triggerEvent("Click", 0u);
    engine->frame(0.1f);
    ASSERT_TRUE(Session::isTransitionRunning());
    EXPECT_NE(dynamic_cast<Transitions::Fade*>(Session::getRunningTransition()), nullptr);
    EXPECT_EQ(Session::getRunningTransition()->getTarget(), hstring("menu.MainMenu"));
    settle();
    EXPECT_EQ(active(), "menu.MainMenu");
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr) << "the screen goes with the store scene";
    // Restore does nothing.
    toStore();
    orvalo::getUpsellRestoreButton()->triggerEvent("Click", 0u);
    settle();
    EXPECT_EQ(active(), "menu.StoreMenu");
}

TEST_F(GameShell, UnlockWithoutOnBuyIsLoggedAndIgnored)
{
    write();
    start();
    toStore();
    orvalo::getUpsellUnlockButton()->triggerEvent("Click", 0u);
    settle();
    EXPECT_TRUE(has("TorvinStoreMenu: chapter.onBuy() not defined, ignoring buy button click event."));
    EXPECT_EQ(active(), "menu.StoreMenu");
}

TEST_F(GameShell, UnlockRunsTheChaptersOnBuy)
{
    write();
    folder.put("data/chapters/menu/lib/store.lua", "function menu.onBuy() note('buy') end\n");
    start();
    toStore();
    orvalo::getUpsellUnlockButton()->triggerEvent("Click", 0u);
    settle();
    EXPECT_EQ(journal(), "main buy");
    EXPECT_FALSE(has("chapter.onBuy() not defined"));
}

TEST_F(GameShell, AnUpsellScreenThatCannotBeMadeShowsTheOverlay)
{
    write("upsell: data/missing.dts\n");
    start();
    toStore();
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
    EXPECT_TRUE(UI::getInstance()->isErrorOverlayShown());
    EXPECT_TRUE(has("Unable to show StoreMenu, failed creating UpsellScreen object."));
    // The game goes on: the overlay's continue leaves the player in the store with no buttons.
    UI::getInstance()->onErrorContinue(nullptr);
    Session::changeScene("MainMenu", 0.0f, "");
    settle();
    EXPECT_EQ(active(), "menu.MainMenu");
}

// A click that comes in the same frame as the pointer's jump to it ("xdotool mousemove X Y click 1", every
// tap on a touch screen) goes to what is under it, whatever the pointer hovered before: the landing page's
// Play after a promoted game, a message box's button after its other one, the store's Later after Unlock.
TEST_F(GameShell, AClickThatComesWithThePointersJumpGoesToWhatIsUnderIt)
{
    write("landing_page: 1\n");
    folder.put("data/chapters/menu/lib/store.lua", "function menu.onBuy() note('buy') end\n");
    start();
    const auto middle = [](tesraui::Object* object)
    {
        const kavtypes::Rectangle rect = object->getBoundingRect();
        return kavtypes::Vector2(rect.x + rect.w / 2, rect.y + rect.h / 2);
    };
    const auto boxButton = [](const hstring& parameter) -> tesraui::Object*
    {
        for (const auto& pair : UI::getInstance()->getDataset()->getObjects())
        {
            if (pair.first.startsWith("msgbox_" + parameter))
            {
                return pair.second;
            }
        }
        return nullptr;
    };
    struct Case
    {
        const char* what;
        std::function<void()> before;
        std::function<tesraui::Object*()> hovered, clicked;
    };
    const Case cases[] = {
        {"the landing page's Play after a promoted game", [] {},
         [] {
             return tesraui::getDatasetByName("more_games")
                 ->getObject("orvalo_mgs_scroll_area")
                 ->getChildren()[0];
         },
         [] { return orvalo::getPlayButton(); }},
        {"a message box's no after its yes",
         [this]
         {
             LuaInterface::execute(
                 "ui.messageBox{type = 'ask', text = '{%s} {Go?}', yes_button = \"note('yes')\", "
                 "no_button = \"note('no')\"}");
             engine->frame();
         },
         [&] { return boxButton("yes_button"); }, [&] { return boxButton("no_button"); }},
        {"the store's Later after Unlock", [this] { toStore(); },
         [] { return orvalo::getUpsellUnlockButton(); }, [] { return orvalo::getUpsellLaterButton(); }},
    };
    std::string seen;
    for (const Case& c : cases)
    {
        c.before();
        tesraui::Object* hovered = c.hovered();
        tesraui::Object* clicked = c.clicked();
        ASSERT_TRUE(hovered != nullptr && clicked != nullptr) << c.what;
        // Hovered as a move and a frame leave it; then the jump and the click in one go.
        const kavtypes::Vector2 from = middle(hovered), to = middle(clicked);
        engine->mouse(tesra::Window::MOUSE_MOVE, from.x, from.y);
        engine->frame();
        for (auto type : {tesra::Window::MOUSE_MOVE, tesra::Window::MOUSE_DOWN, tesra::Window::MOUSE_UP})
        {
            tesra::window->queueMouseEvent(type, to.x, to.y, 1);
        }
        tesra::window->checkEvents();
        settle();
        seen += std::string(c.what) + ": " + active() + ", " + journal() + "\n";
    }
    EXPECT_EQ(seen, "the landing page's Play after a promoted game: menu.MainMenu, main\n"
                    "a message box's no after its yes: menu.MainMenu, main no\n"
                    "the store's Later after Unlock: menu.MainMenu, main no main\n");
}

// The promotion library's screens are held by it: a script's destroy of them, or of a tree holding them, is
// refused naming the library, and the library's own ends of them (a script's, the landing page's, the
// store's) free each screen once.
TEST_F(GameShell, APromotionScreenIsTheLibrarysAndAScriptCannotDestroyIt)
{
    const std::string held = "belongs to the engine (held by the promotion library) and cannot be destroyed";
    const struct
    {
        const char* what;
        bool landingPage;
        const char* code;
        std::string refusal;
    } rows[] = {
        {"the landing page's screen", true, "object.destroy('ui.orvalo_mgs')",
         "object.destroy: object 'ui.orvalo_mgs' " + held},
        {"the landing page's container", true, "object.destroy('ui.orvalo_mgs_container')",
         "object.destroy: object 'ui.orvalo_mgs_container' " + held},
        {"the store's screen", false, "object.destroy('upsell.orvalo_us')",
         "object.destroy: object 'upsell.orvalo_us' " + held},
        {"the store scene's objects", false, "object.destroyChildren(menu.StoreMenu.root_object)",
         "object.destroyChildren: object 'menu.menu.StoreMenu_sceneRootObject' holds 'upsell.orvalo_us', "
         "which " +
             held},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        engine.reset();
        harness::forgetSession();
        Engine::log().clear();
        std::filesystem::remove_all(folder.path + "/data/orvalo");
        write(row.landingPage ? "landing_page: 1\n" : "");
        start();
        if (row.landingPage)
        {
            ASSERT_TRUE(orvalo::isMoreGamesScreenShown());
        }
        else
        {
            toStore();
        }
        EXPECT_EQ(engine->failure(row.code), row.refusal);
        engine->frame();
        if (row.landingPage)
        {
            // The landing page then sees the screen gone and passes on.
            EXPECT_EQ(engine->failure("orvalo.destroyMoreGamesScreen()"), "ok");
        }
        else
        {
            ASSERT_NE(orvalo::getUpsellLaterButton(), nullptr);
            orvalo::getUpsellLaterButton()->triggerEvent("Click", 0u);
        }
        settle();
        EXPECT_EQ(active(), "menu.MainMenu");
        EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());
        EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
        EXPECT_EQ(Engine::errorLines(), 0) << engine->logText();
    }
}
