#include <cmath>

#include <tesraui/ImageBox.h>
#include <tesraui/ScrollArea.h>

#include "OrvaloTestSupport.h"

using orvalotest::Lines;
using orvalotest::LogCapture;

namespace
{
    class MoreGames : public orvalotest::OrvaloTest
    {
    protected:
        std::unique_ptr<orvalotest::Scene> scene;

        void start(const std::vector<std::string>& games = {"alpha", "beta", "gamma"})
        {
            this->writePromotionData(games);
            orvalo::initData("alpha", "system", "games");
            this->scene = std::make_unique<orvalotest::Scene>();
        }

        void TearDown() override
        {
            this->scene.reset();
            orvalotest::OrvaloTest::TearDown();
        }

        static tesraui::Dataset* screenDataset() { return tesraui::getDatasetByName("more_games"); }

        // The thumbnail buttons from the top down.
        static std::vector<tesraui::ImageBox*> buttons()
        {
            std::vector<tesraui::ImageBox*> result;
            for (tesraui::Object* child : screenDataset()->getObject("orvalo_mgs_scroll_area")->getChildren())
                result.push_back(dynamic_cast<tesraui::ImageBox*>(child));
            std::sort(result.begin(), result.end(), [](auto* a, auto* b) { return a->getY() < b->getY(); });
            return result;
        }

        static int indexOf(tesraui::Object* button)
        {
            return button->getName().replaced("orvalo_mgs_button_", "").toInt();
        }

        // Fixed steps of a sixtieth of a second.
        void frames(int count)
        {
            for (int i = 0; i < count; ++i)
            {
                tesraui::processEvents();
                tesraui::update(1.0f / 60.0f);
                this->scene->root->update(1.0f / 60.0f);
            }
        }

        static bool hasDataset(const hstring& name) { return tesraui::getDatasets().hasKey(name); }
    };
} // namespace

TEST_F(MoreGames, ThumbnailsOfTheOtherGamesInShuffledOrder)
{
    this->start();
    orvalo::MoreGamesScreen* screen = orvalo::createMoreGamesScreen(this->scene->root);
    ASSERT_NE(screen, nullptr);
    const harray<orvalo::Game>& games = orvalo::getGames();
    std::vector<tesraui::ImageBox*> shown = buttons();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0]->getY(), 0.0f);
    EXPECT_EQ(shown[1]->getY(), 196.0f);
    // The buttons follow the shuffled list, skipping the current game, and name their place in it.
    harray<hstring> listed;
    for (const orvalo::Game& game : games)
        if (game.id != "alpha")
            listed.push_back(game.id);
    for (int k = 0; k < 2; ++k)
    {
        const orvalo::Game& game = games[indexOf(shown[k])];
        EXPECT_EQ(game.id, listed[k]);
        EXPECT_EQ(shown[k]->getImageName(), "orvalo_" + game.id + ".thumbnail/image");
    }
    EXPECT_EQ(screenDataset()->getObject("orvalo_mgs_scroll_area")->getHeight(), 392.0f);
    auto* logo = dynamic_cast<tesraui::ImageBox*>(screenDataset()->getObject("orvalo_mgs_game_logo"));
    EXPECT_EQ(logo->getImageName(), "orvalo_alpha.logo/image");
    EXPECT_EQ(logo->getSize(), kavtypes::Vector2(300, 150));

    // Fitted to the parent's aspect at the root's height, hidden, above the scene.
    tesraui::Object* container = this->scene->dataset->getObject("orvalo_mgs_container");
    EXPECT_EQ(container->getRect(), kavtypes::Rectangle(0, 0, 1280, 720));
    EXPECT_FALSE(container->isVisible());
    EXPECT_EQ(container->getZOrder(), 100000);
    EXPECT_EQ(screen->getRect(), kavtypes::Rectangle(0, 0, 1280, 720));
    EXPECT_EQ(screen->getZOrder(), 100000);
    EXPECT_EQ(screen->getAlpha(), 0);
    EXPECT_EQ(screen->getAppearSpeed(), 3.0f);
    EXPECT_EQ(screenDataset()->getRoot()->getWidth(), 1280.0f);
    EXPECT_EQ(screenDataset()->getRoot()->getParent(), screen);
    EXPECT_FALSE(orvalo::isMoreGamesScreenShown());

    // A second create is refused; a re-create shuffles again and the indices follow the new order.
    LogCapture log;
    EXPECT_EQ(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    EXPECT_EQ(log.take(), Lines({"ERROR: More-Games Screen already exists!"}));
    harray<hstring> first;
    for (const orvalo::Game& game : games)
        first.push_back(game.id);
    bool reordered = false;
    for (int attempt = 0; attempt < 10 && !reordered; ++attempt)
    {
        orvalo::destroyMoreGamesScreen();
        EXPECT_FALSE(hasDataset("more_games"));
        EXPECT_FALSE(this->scene->dataset->hasObject("orvalo_mgs"));
        ASSERT_NE(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
        harray<hstring> now;
        for (const orvalo::Game& game : games)
            now.push_back(game.id);
        reordered = now != first;
        for (tesraui::ImageBox* button : buttons())
            EXPECT_EQ(button->getImageName(), "orvalo_" + games[indexOf(button)].id + ".thumbnail/image");
    }
    EXPECT_TRUE(reordered);

    // Another parent: the root is widened to its aspect and the screen scaled to its height.
    orvalo::destroyMoreGamesScreen();
    orvalotest::Scene other(1024, 768, "other");
    screen = orvalo::createMoreGamesScreen(other.root);
    ASSERT_NE(screen, nullptr);
    EXPECT_FLOAT_EQ(screen->getWidth(), 960.0f);
    EXPECT_FLOAT_EQ(screen->getScaleY(), 768.0f / 720.0f);
    EXPECT_EQ(screen->getCenter(), kavtypes::Vector2(0, 0));
    orvalo::destroyMoreGamesScreen();
}

TEST_F(MoreGames, ClickingAThumbnailOpensItsStore)
{
    orvalotest::OpenerStub opener;
    this->writePromotionData();
    // beta has no store link: it warns, and a click on it opens nothing.
    this->folder.put("games/beta/game.cfg", "[Game]\nUrlRateMe:https://example.invalid/rate/beta\n");
    orvalo::initData("alpha", "system", "games");
    this->scene = std::make_unique<orvalotest::Scene>();
    LogCapture log;
    ASSERT_NE(orvalo::createAndShowMoreGamesScreen(this->scene->root), nullptr);
    EXPECT_TRUE(log.has("WARNING: No Store URL set for: beta"));
    std::vector<tesraui::ImageBox*> shown = buttons();
    std::sort(shown.begin(), shown.end(),
              [](auto* a, auto* b)
              { return orvalo::getGames()[indexOf(a)].id < orvalo::getGames()[indexOf(b)].id; });
    // beta first, then gamma: pressed and released with the pointer at each one's centre.
    for (tesraui::ImageBox* button : shown)
    {
        tesraui::setCursorPosition(button->getDerivedCenter());
        screenDataset()->clearChildUnderCursorCaches();
        this->scene->root->onMouseDown(1);
        this->scene->root->onMouseUp(1);
        frames(1);
    }
    EXPECT_EQ(opener.waitFor(1), "https://example.invalid/store/gamma\n");
}

TEST_F(MoreGames, SlidesInAndOutAtTheAppearSpeed)
{
    this->start();
    orvalo::MoreGamesScreen* screen = orvalo::createMoreGamesScreen(this->scene->root);
    ASSERT_TRUE(orvalo::showMoreGamesScreen());
    EXPECT_EQ(screen->getAlpha(), 255);
    EXPECT_TRUE(orvalo::isMoreGamesScreenShown());
    frames(10);
    // A quarter sine period in a third of a second: at a sixth, y = h (1 - sin 45 degrees).
    EXPECT_NEAR(screen->getY(), 720.0f * (1.0f - std::sqrt(0.5f)), 1.0f);
    EXPECT_FALSE(orvalo::hideMoreGamesScreen());
    frames(11);
    EXPECT_NEAR(screen->getY(), 0.0f, 0.01f);
    EXPECT_FALSE(screen->hasDynamicAnimators());
    EXPECT_FALSE(orvalo::showMoreGamesScreen());

    ASSERT_TRUE(orvalo::hideMoreGamesScreen());
    // The container goes at once; the screen slides down and fades.
    EXPECT_FALSE(orvalo::isMoreGamesScreenShown());
    EXPECT_FALSE(orvalo::showMoreGamesScreen());
    frames(10);
    EXPECT_NEAR(screen->getY(), 720.0f * (1.0f - std::sqrt(0.5f)), 1.0f);
    EXPECT_NEAR(screen->getAlpha(), 128, 6);
    frames(11);
    EXPECT_NEAR(screen->getY(), 720.0f, 0.01f);
    EXPECT_EQ(screen->getAlpha(), 0);
    EXPECT_FALSE(screen->hasDynamicAnimators());
    LogCapture log;
    EXPECT_FALSE(orvalo::hideMoreGamesScreen());
    orvalo::destroyMoreGamesScreen();
    EXPECT_FALSE(orvalo::showMoreGamesScreen());
    EXPECT_FALSE(orvalo::hideMoreGamesScreen());
    EXPECT_EQ(log.take(), Lines({"ERROR: More-Games Screen does not exist!",
                                 "ERROR: More-Games Screen does not exist!"}));
}

TEST_F(MoreGames, CreateAndShowStandsAtOnceAndPlayAndSplashHide)
{
    this->start();
    orvalo::MoreGamesScreen* screen = orvalo::createAndShowMoreGamesScreen(this->scene->root);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->getY(), 0.0f);
    EXPECT_EQ(screen->getAlpha(), 255);
    EXPECT_FALSE(screen->hasDynamicAnimators());
    // The splash acts as the play button, which hides the screen: at once without an appear speed.
    screenDataset()->getObject("orvalo_mgs_button_splash")->triggerEvent("Click", 0u);
    frames(1);
    EXPECT_FALSE(orvalo::isMoreGamesScreenShown());
    EXPECT_EQ(screen->getAlpha(), 0);
    EXPECT_EQ(screen->getY(), 720.0f);

    screen->setAppearSpeed(3.0f);
    ASSERT_TRUE(orvalo::showMoreGamesScreen());
    // Play does nothing while the screen moves.
    orvalo::getPlayButton()->triggerEvent("Click", 0u);
    frames(1);
    EXPECT_TRUE(orvalo::isMoreGamesScreenShown());
    frames(20);
    orvalo::getPlayButton()->triggerEvent("Click", 0u);
    frames(1);
    EXPECT_FALSE(orvalo::isMoreGamesScreenShown());
    EXPECT_TRUE(screen->hasDynamicAnimators());

    LogCapture log;
    EXPECT_EQ(orvalo::getMoreGamesScreenButton("orvalo_mgs_button_none", "None"), nullptr);
    orvalo::destroyMoreGamesScreen();
    EXPECT_EQ(orvalo::getPlayButton(), nullptr);
    EXPECT_EQ(log.take(), Lines({"ERROR: Could not get 'None' button!",
                                 "ERROR: Could not get 'Play' button, More-Games screen does not exist!"}));
}

TEST_F(MoreGames, OnlyTheCurrentGameLeavesAnEmptyList)
{
    this->start({"alpha"});
    ASSERT_NE(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    EXPECT_EQ(buttons().size(), 0u);
    EXPECT_EQ(screenDataset()->getObject("orvalo_mgs_scroll_area")->getHeight(), 0.0f);
    auto* logo = dynamic_cast<tesraui::ImageBox*>(screenDataset()->getObject("orvalo_mgs_game_logo"));
    EXPECT_EQ(logo->getImageName(), "orvalo_alpha.logo/image");
}

TEST_F(MoreGames, RefusalsLeaveNothingBehind)
{
    this->start();
    const int datasets = tesraui::getDatasets().size();
    LogCapture log;
    // A broken screen file: the loader's message, no screen, nothing added anywhere.
    this->folder.put("system/more-games/more_games.gui", "<Dataset><Object type=\"ImageBox\"</Dataset>");
    EXPECT_EQ(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    EXPECT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], "Creating More-Games Screen.");
    EXPECT_EQ(log.lines[1].rfind("ERROR: ", 0), 0u);
    // A screen file without the objects the screen needs.
    log.take();
    this->folder.put(
        "system/more-games/more_games.gui",
        "<Dataset><Object type=\"Container\" name=\"orvalo_mgs_root\" rect=\"0,0,960,720\"/></Dataset>");
    EXPECT_EQ(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    EXPECT_EQ(log.take().size(), 2u);
    EXPECT_EQ(tesraui::getDatasets().size(), datasets);
    EXPECT_EQ(this->scene->root->getChildren().size(), 0);
    EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());

    // A parent outside any dataset could own neither object.
    this->writePromotionData();
    tesraui::Container loose("loose", kavtypes::Rectangle(0, 0, 1280, 720));
    EXPECT_EQ(orvalo::createMoreGamesScreen(&loose), nullptr);
    EXPECT_EQ(log.take().size(), 2u);
    EXPECT_EQ(loose.getChildren().size(), 0);
    EXPECT_EQ(tesraui::getDatasets().size(), datasets);
    EXPECT_FALSE(fintu::renderer->hasFont("orvalo"));

    this->folder.put("system/more-games/more_games.gui", "");
    std::filesystem::remove(this->folder / "system/more-games/more_games.gui");
    EXPECT_EQ(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    orvalo::initData("alpha", "", "games");
    EXPECT_EQ(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    orvalo::initData("alpha", "system", "");
    EXPECT_EQ(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    EXPECT_EQ(log.take(),
              Lines({"Initializing Orvalo.", "ERROR: Can't create More-Games Screen, system path not set!",
                     "Initializing Orvalo.", "ERROR: No games have been loaded!"}));
}

TEST_F(MoreGames, AGameWhoseImagesFailIsSkipped)
{
    this->start();
    this->folder.put("games/beta/images.tex", "<Dataset><Texture");
    LogCapture log;
    ASSERT_NE(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    std::vector<tesraui::ImageBox*> shown = buttons();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(orvalo::getGames()[indexOf(shown[0])].id, "gamma");
    EXPECT_FALSE(hasDataset("orvalo_beta"));
    EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                            [](const std::string& line) { return line.rfind("ERROR: ", 0) == 0; }),
              1);
    EXPECT_EQ(screenDataset()->getObject("orvalo_mgs_scroll_area")->getHeight(), 196.0f);

    // Images that load but lack the thumbnail skip the game; a current game without its logo leaves the
    // logo empty.
    orvalo::destroyMoreGamesScreen();
    this->writePromotionData();
    this->folder.put("games/gamma/images.tex", "<Dataset/>");
    this->folder.put("games/alpha/images.tex", "<Dataset/>");
    log.take();
    ASSERT_NE(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    shown = buttons();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(orvalo::getGames()[indexOf(shown[0])].id, "beta");
    EXPECT_EQ(
        dynamic_cast<tesraui::ImageBox*>(screenDataset()->getObject("orvalo_mgs_game_logo"))->getImage(),
        nullptr);
    EXPECT_TRUE(log.has("ERROR: No thumbnail image in 'games/gamma/images.tex'!"));
}

TEST_F(MoreGames, AScreenDeletedWithItsParentIsForgotten)
{
    this->start();
    orvalo::MoreGamesScreen* screen = orvalo::createAndShowMoreGamesScreen(this->scene->root);
    ASSERT_NE(screen, nullptr);
    // The scene's dataset goes first, with the container and the screen in it.
    this->scene.reset();
    EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());
    EXPECT_FALSE(orvalo::isMoreGamesScreenShown());
    EXPECT_FALSE(hasDataset("more_games"));
    EXPECT_FALSE(hasDataset("orvalo_beta"));
    LogCapture log;
    orvalo::destroyMoreGamesScreen();
    EXPECT_EQ(log.take(), Lines({"ERROR: More-Games Screen does not exist!"}));
    this->scene = std::make_unique<orvalotest::Scene>();
    ASSERT_NE(orvalo::createMoreGamesScreen(this->scene->root), nullptr);

    // A game's image dataset deleted by someone else is not deleted again.
    delete tesraui::getDatasetByName("orvalo_gamma");
    tesraui::update(0.1f);
    orvalo::destroyMoreGamesScreen();
    EXPECT_FALSE(hasDataset("orvalo_beta"));

    // The framework's shut-down deletes every dataset in name order: here the scene's first, whose screen
    // takes its own datasets with it.
    this->scene = std::make_unique<orvalotest::Scene>(1280, 720, "a_scene");
    ASSERT_NE(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
    tesraui::destroy();
    this->scene->dataset = nullptr;
    this->scene.reset();
    EXPECT_FALSE(orvalo::isMoreGamesScreenCreated());
    tesraui::init();
    this->scene = std::make_unique<orvalotest::Scene>();
    EXPECT_NE(orvalo::createMoreGamesScreen(this->scene->root), nullptr);
}
