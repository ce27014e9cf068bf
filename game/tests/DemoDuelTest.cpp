#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

#include <yim/AudioManager.h>
#include <yim/Buffer.h>
#include <yim/Sound.h>
#include <yim/yim.h>

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/UpsellScreen.h>
#include <quortypes/util.h>
#include <orvalo/orvalo.h>

#include "EngineHarness.h"
#include "Match3Scene.h"
#include "Profile.h"
#include "VumoPlayerTorvinOrvaloUI.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    const hstring positive[] = {"sword", "arrow"};

    bool isPositive(const hstring& type)
    {
        return type == positive[0] || type == positive[1];
    }

    // True when some line of three holds one positive type.
    bool hasPositiveRun(const Match3Board& board)
    {
        for (const Match3Board::Run& run : board.findMatches())
        {
            if (isPositive(board.at(run.column, run.row)))
            {
                return true;
            }
        }
        return false;
    }

    // Whether the sound's data has been decoded, which only a play of it does. Unlike asking whether it still
    // plays, this does not race the mixer through a short sound.
    bool decoded(const hstring& name)
    {
        yim::manager->_lock();
        yim::Sound* sound = yim::manager->getSound(name);
        const bool result = sound != nullptr && sound->getBuffer()->isLoaded();
        yim::manager->_unlock();
        return result;
    }
} // namespace

// The shipped demo played as a player would: through the landing page and the main menu into the duel
// or the store, every click through the window.
class DemoDuel : public harness::GameTest
{
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        folder.copyDemo();
        engine.reset(new Engine(folder));
    }
    Match3Scene* duel() { return dynamic_cast<Match3Scene*>(Session::getActiveScene()); }
    // Frames until the board rests, the duel ends or its scene is left. A swap's cascade can run for many
    // seconds, so the bound is a generous stretch of game time.
    void untilTheBoardRests()
    {
        for (float t = 0.0f; t < 120.0f && duel() != nullptr && duel()->isBusy() && !duel()->isFinished();
             t += 0.1f)
        {
            engine->frame(0.1f);
        }
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    // The swaps the surest player (a run of the templar's tiles whenever there is one) needs at least.
    static constexpr int minimumSwaps = 10;
    // Each bar drains from its top toward its foot, and its value is written below it.
    void expectTheBarsToShow()
    {
        tesraui::Dataset* tavern = Session::getChapter("tavern");
        const kavtypes::Rectangle health = tavern->getObject("enemy_bar_progress")->getBoundingRect();
        const kavtypes::Rectangle whole = tavern->getObject("enemy_bar")->getBoundingRect();
        EXPECT_NEAR(health.y + health.h, whole.y + whole.h, 0.5f) << "the foot stays";
        EXPECT_NEAR(health.h, whole.h * duel()->getHealth() / 1000.0f, 0.5f);
        EXPECT_EQ(std::string(tavern->getObject("enemy_bar_value")->getProperty("text")),
                  std::to_string(duel()->getHealth()) + " / 1000");
        // The time runs on between the script's reading and this one: a second either way.
        const std::string time = tavern->getObject("player_bar_value")->getProperty("text");
        int minutes = -1, seconds = -1;
        char word[8] = "";
        ASSERT_EQ(sscanf(time.c_str(), "%d:%d %7s", &minutes, &seconds, word), 3) << time;
        EXPECT_EQ(std::string(word), "left");
        EXPECT_NEAR(minutes * 60 + seconds, duel()->getTimeLeft(), 1.0f) << time;
    }

    // A neighbour swap that makes a run, one with a positive run first; false when there is none.
    bool findSwap(int& c1, int& r1, int& c2, int& r2)
    {
        Match3Board board = duel()->getBoard();
        bool found = false;
        for (int pass = 0; pass < 2 && !found; ++pass)
        {
            for (int c = 0; c < board.getColumns() && !found; ++c)
            {
                for (int r = 0; r < board.getRows() && !found; ++r)
                {
                    for (const std::pair<int, int>& step : {std::make_pair(1, 0), std::make_pair(0, 1)})
                    {
                        const int c2_ = c + step.first;
                        const int r2_ = r + step.second;
                        if (found || c2_ >= board.getColumns() || r2_ >= board.getRows())
                        {
                            continue;
                        }
                        board.swap(c, r, c2_, r2_);
                        found = (pass == 0 ? hasPositiveRun(board) : board.hasRun());
                        board.swap(c, r, c2_, r2_);
                        if (found)
                        {
                            c1 = c, r1 = r, c2 = c2_, r2 = r2_;
                        }
                    }
                }
            }
        }
        return found;
    }
};

TEST_F(DemoDuel, ThePlayerWinsTheDuelAndIsBackAtTheMenu)
{
    engine->startDemo("menu_duel");
    ASSERT_EQ(active(), "tavern.duel");
    ASSERT_NE(duel(), nullptr);
    EXPECT_EQ(duel()->getBoard().getColumns(), 8);
    EXPECT_EQ(duel()->getBoard().getRows(), 8);
    EXPECT_EQ(engine->lua("vars.inn_templar_count"), "1");
    ASSERT_NE(Session::getChapter("tavern")->tryGetObject("minigame_gui"), nullptr);
    ASSERT_NE(Session::getChapter("tavern")->tryGetObject("enemy_bar_progress"), nullptr);

    EXPECT_FALSE(decoded("ui.minigame_solved"));
    int swaps = 0;
    while (!duel()->isFinished() && swaps < 150)
    {
        untilTheBoardRests();
        ASSERT_NE(duel(), nullptr) << "swap " << swaps;
        if (duel()->isFinished())
        {
            break;
        }
        ASSERT_FALSE(duel()->isBusy()) << "swap " << swaps;
        int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
        ASSERT_TRUE(findSwap(c1, r1, c2, r2)) << "no move after swap " << swaps;
        engine->clickObject(duel()->getCell(c1, r1));
        engine->clickObject(duel()->getCell(c2, r2));
        ++swaps;
        untilTheBoardRests();
        ASSERT_NE(duel(), nullptr);
        if (!duel()->isFinished())
        {
            engine->frame(0.016f);
            expectTheBarsToShow();
        }
    }
    ASSERT_TRUE(duel()->isFinished()) << swaps << " swaps, health " << duel()->getHealth();
    // A duel is a contest of a few minutes, not won by a lucky cascade or two.
    EXPECT_GE(swaps, minimumSwaps);
    EXPECT_EQ(duel()->getHealth(), 0);
    EXPECT_GT(duel()->getTimeLeft(), 0.0f);
    EXPECT_TRUE(decoded("ui.minigame_solved")) << "the win chime was played";
    EXPECT_TRUE(Profile::isAchievementUnlocked("duel_won"));
    ASSERT_TRUE(engine->settleAt("menu.MainMenu"));
    // Back at the menu the win is told, and the achievement too.
    EXPECT_EQ(engine->lua("object.getProperty('ui.say', 'text')"), "You won the duel against the templar!");
    EXPECT_TRUE(UI::getInstance()->getDataset()->tryGetObject("say_panel")->isDerivedVisible());
    EXPECT_NE(engine->lua("object.getProperty('ui.notice', 'text')").find("Duellist"), std::string::npos);
    // Neither covers the menu: the line keeps below its buttons, the notice above its title.
    const kavtypes::Rectangle said =
        UI::getInstance()->getDataset()->getObject("say_panel")->getBoundingRect();
    for (const char* name : {"menu_adventure", "menu_lake", "menu_duel", "menu_store", "menu_place"})
    {
        const kavtypes::Rectangle button = Session::getChapter("menu")->getObject(name)->getBoundingRect();
        EXPECT_TRUE(said.y >= button.y + button.h || said.y + said.h <= button.y) << name;
    }
    const kavtypes::Rectangle notice =
        UI::getInstance()->getDataset()->getObject("notice_panel")->getBoundingRect();
    EXPECT_LE(notice.y + notice.h + 8,
              Session::getChapter("menu")->getObject("menu_title")->getBoundingRect().y);
    EXPECT_TRUE(harness::inOrder(
        engine->logText(), {"scripting: scene tavern.duel after 'menu.MainMenu'",
                            "Achievement unlocked: ", "scripting: scene menu.MainMenu after 'tavern.duel'"}));
    EXPECT_EQ(engine->logText().find("ERROR"), std::string::npos) << engine->logText();
}

// The tiles fill their slots, so that a click near a tile's edge is the tile's; the first click marks its
// tile at once, a second one on it unmarks it.
TEST_F(DemoDuel, EveryPointOfTheBoardIsATileAndTheFirstClickMarksIt)
{
    engine->startDemo("menu_duel");
    ASSERT_NE(duel(), nullptr);
    for (int i = 0; i < 100 && duel()->isBusy(); ++i)
    {
        engine->frame(0.1f);
    }
    tesraui::Object* marker = Session::getChapter("tavern")->tryGetObject("selection_marker");
    ASSERT_NE(marker, nullptr);
    EXPECT_FALSE(marker->isVisible());
    for (int c = 0; c < 8; ++c)
    {
        for (int r = 0; r < 8; ++r)
        {
            const kavtypes::Rectangle rect = duel()->getCell(c, r)->getRect();
            EXPECT_EQ(rect, kavtypes::Rectangle(duel()->slotX(c), duel()->slotY(r), 64, 64)) << c << "," << r;
        }
    }
    // A click a pixel inside the corner where four tiles meet.
    const float x = duel()->slotX(3) + 1;
    const float y = duel()->slotY(5) + 1;
    engine->clickAt(x, y);
    engine->frame(0.016f);
    ASSERT_TRUE(duel()->hasSelection());
    EXPECT_TRUE(marker->isVisible());
    EXPECT_EQ(marker->getRect().getPosition(), kavtypes::Vector2(duel()->slotX(3), duel()->slotY(5)));
    engine->clickAt(duel()->slotX(4) - 1, duel()->slotY(6) - 1);
    engine->frame(0.016f);
    EXPECT_FALSE(duel()->hasSelection());
    EXPECT_FALSE(marker->isVisible());
}

// A new player's clicks: a tile picked, then one that is no neighbour of it picks that one instead; then a
// neighbour whose swap makes a line swaps the two. Every click on a tile clicks, as the demo's buttons do.
TEST_F(DemoDuel, AFarClickMovesTheSelectionAndANeighbourSwaps)
{
    engine->startDemo("menu_duel");
    ASSERT_NE(duel(), nullptr);
    untilTheBoardRests();
    ASSERT_FALSE(duel()->isBusy());
    tesraui::Object* marker = Session::getChapter("tavern")->getObject("selection_marker");
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    ASSERT_TRUE(findSwap(c1, r1, c2, r2));
    // Three columns from the pair's first tile, on its row: no neighbour of it.
    const int farColumn = (c1 >= 4 ? c1 - 3 : c1 + 3);
    std::string journal;
    const auto clickTile = [&](int column, int row, const std::string& what)
    {
        // The last click is stopped and its sound freed, so that only a new play decodes it again.
        yim::manager->stop("ui.click");
        yim::manager->clearMemory();
        ASSERT_FALSE(decoded("ui.click"));
        engine->clickObject(duel()->getCell(column, row));
        engine->frame(0.016f);
        journal += what + ": " +
                   (duel()->hasSelection()
                        ? formatString("picked %d,%d", duel()->getSelectedColumn(), duel()->getSelectedRow())
                        : std::string("none picked")) +
                   (marker->isVisible() && marker->getRect().getPosition() ==
                                               kavtypes::Vector2(duel()->slotX(duel()->getSelectedColumn()),
                                                                 duel()->slotY(duel()->getSelectedRow()))
                        ? ", marked"
                        : (marker->isVisible() ? ", marked elsewhere" : ", unmarked")) +
                   (duel()->isBusy() ? ", swapping" : "") + (decoded("ui.click") ? ", clicked" : "") + "\n";
    };
    clickTile(farColumn, r1, "far tile");
    clickTile(c1, r1, "pair's first tile");
    const hstring first = duel()->getBoard().at(c1, r1);
    const hstring second = duel()->getBoard().at(c2, r2);
    clickTile(c2, r2, "its neighbour");
    EXPECT_EQ(journal, formatString("far tile: picked %d,%d, marked, clicked\n", farColumn, r1) +
                           formatString("pair's first tile: picked %d,%d, marked, clicked\n", c1, r1) +
                           "its neighbour: none picked, unmarked, swapping, clicked\n");
    EXPECT_EQ(duel()->getBoard().at(c1, r1), second);
    EXPECT_EQ(duel()->getBoard().at(c2, r2), first);
    // The tile first picked stopped pulsing and is back at its size.
    const Match3Element* dropped = duel()->getCell(farColumn, r1);
    for (float t = 0.0f; t < 5.0f && dropped->getScale() != kavtypes::Vector2(1.0f, 1.0f); t += 0.05f)
    {
        engine->frame(0.05f);
    }
    EXPECT_EQ(dropped->getScale(), kavtypes::Vector2(1.0f, 1.0f));
}

// New tiles fall in from above the board; nothing of them shows above its top edge, over the screen's top
// strip: that strip looks as it did before the swap, while a new tile is there.
TEST_F(DemoDuel, NewTilesShowOnlyOverTheBoard)
{
    engine->startDemo("menu_duel");
    ASSERT_NE(duel(), nullptr);
    untilTheBoardRests();
    engine->frame(0.016f);
    std::unique_ptr<tesra::Image> before(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
    const float top = duel()->slotY(0);
    ASSERT_GT(top, 4.0f) << "the board leaves a strip above it";
    ASSERT_EQ(before->width, 960) << "window pixels are the scene's";
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    ASSERT_TRUE(findSwap(c1, r1, c2, r2));
    engine->clickObject(duel()->getCell(c1, r1));
    engine->clickObject(duel()->getCell(c2, r2));
    // Frames until a new tile stands across the strip, which it does as soon as the run is cleared.
    const Match3Element* falling = nullptr;
    for (float t = 0.0f; t < 30.0f && falling == nullptr; t += 1.0f / 60)
    {
        engine->frame(1.0f / 60);
        for (int c = 0; c < 8 && falling == nullptr; ++c)
        {
            const Match3Element* cell = duel()->getCell(c, 0);
            if (cell->getY() < top - 1.0f && cell->getY() + cell->getHeight() > 1.0f && cell->getAlpha() > 0)
            {
                falling = cell;
            }
        }
    }
    ASSERT_NE(falling, nullptr) << "a tile fell in";
    std::unique_ptr<tesra::Image> during(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
    int changed = 0;
    const int from = std::max(0, (int)falling->getY());
    for (int y = from; y < (int)top - 1; ++y)
    {
        for (int x = (int)falling->getX() + 2; x < (int)(falling->getX() + falling->getWidth()) - 2; ++x)
        {
            const size_t at = (size_t)(y * before->width + x) * 4;
            changed += (std::memcmp(before->data.get() + at, during->data.get() + at, 3) != 0);
        }
    }
    EXPECT_EQ(changed, 0) << "pixels of the strip above the board changed, under a tile at y "
                          << falling->getY();
}

// As soon as the tiles stand still at their slots after a swap and whatever it set off, the next swap is
// taken: nothing but the tiles' own motion keeps the board busy.
TEST_F(DemoDuel, ASwapIsTakenAsSoonAsTheBoardRests)
{
    quortypes::seedRandom(5);
    engine->startDemo("menu_duel");
    ASSERT_NE(duel(), nullptr);
    auto resting = [this]
    {
        for (int c = 0; c < 8; ++c)
        {
            for (int r = 0; r < 8; ++r)
            {
                const Match3Element* cell = duel()->getCell(c, r);
                // A mover ends a hair's breadth from its target.
                if (std::fabs(cell->getX() - duel()->slotX(c)) > 0.01f ||
                    std::fabs(cell->getY() - duel()->slotY(r)) > 0.01f ||
                    cell->getScale() != kavtypes::Vector2(1.0f, 1.0f) || cell->getAlpha() != 255 ||
                    cell->hasDynamicAnimators())
                {
                    return false;
                }
            }
        }
        return true;
    };
    for (int swaps = 0; swaps < 6 && !duel()->isFinished(); ++swaps)
    {
        for (int i = 0; i < 600 && !resting(); ++i)
        {
            engine->frame(1.0f / 60);
        }
        ASSERT_TRUE(resting()) << "swap " << swaps;
        int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
        ASSERT_TRUE(findSwap(c1, r1, c2, r2));
        engine->clickObject(duel()->getCell(c1, r1));
        engine->clickObject(duel()->getCell(c2, r2));
        engine->frame(1.0f / 60);
        EXPECT_TRUE(duel()->isBusy()) << "swap " << swaps << " was ignored";
    }
}

// Time running out loses the round: the scene says so over the board, which waits, its time standing, until
// the player has clicked on from it; then a new board with the full time comes, whose time runs once it can
// be played. The time of the first board too runs only from then. The duel is given three seconds.
TEST_F(DemoDuel, ALostDuelSaysSoAndDealsANewBoard)
{
    const std::string file = "data/chapters/tavern/scenes/duel.match3.scene";
    std::string scene = harness::readFile(std::string(VUMO_DEMO_DIR) + "/" + file);
    const size_t at = scene.find("_match3_time = 360");
    ASSERT_NE(at, std::string::npos);
    folder.put(file, scene.replace(at, 18, "_match3_time = 3"));
    engine->startDemo("menu_duel");
    ASSERT_NE(duel(), nullptr);
    tesraui::Object* told = UI::getInstance()->getDataset()->tryGetObject("dialog_line");
    std::string journal;
    auto note = [&](const std::string& what)
    {
        journal +=
            what + ": time " + formatString("%.1f", duel()->getTimeLeft()) +
            (duel()->isDealt() ? ", dealt" : "") + (duel()->hasSelection() ? ", picked" : "") +
            (told->isDerivedVisible() ? ", told '" + std::string(told->getProperty("text")) + "'" : "") +
            "\n";
    };
    note("entered");
    for (int i = 0; i < 100 && duel()->isBusy(); ++i)
    {
        engine->frame(0.1f);
    }
    note("rested");
    engine->clickObject(duel()->getCell(2, 2));
    for (int i = 0; i < 100 && duel()->getTimeLeft() > 0.0f; ++i)
    {
        engine->frame(0.1f);
    }
    for (int i = 0; i < 50; ++i)
    {
        engine->frame(0.1f);
    }
    note("lost, five seconds on");
    // The click that goes on lands on a tile: it only goes on.
    engine->clickObject(duel()->getCell(3, 3));
    engine->frame(0.1f);
    note("gone on");
    for (int i = 0; i < 100 && (engine->lua("vars.inn_templar_count") != "2" || !duel()->isDealt()); ++i)
    {
        engine->frame(0.1f);
    }
    note("dealt again");
    EXPECT_EQ(journal,
              "entered: time 3.0\n"
              "rested: time 2.9, dealt\n"
              "lost, five seconds on: time 0.0, dealt, told 'Time is up: the templar wins this round. A "
              "new board is dealt; try again.'\n"
              "gone on: time 0.0, dealt\n"
              "dealt again: time 2.9, dealt\n");
    EXPECT_FALSE(Session::getChapter("tavern")->tryGetObject("selection_marker")->isVisible());
    EXPECT_EQ(active(), "tavern.duel");
    EXPECT_EQ(engine->lua("vars.inn_templar_count"), "2");
}

TEST_F(DemoDuel, TheStoreShowsTheUpsellAndLaterLeadsBack)
{
    engine->startDemo("menu_store");
    ASSERT_EQ(active(), "menu.StoreMenu");
    ASSERT_NE(orvalo::getUpsellScreen(), nullptr);
    // The carousel's slide in front draws a chapter on offer, a scene of many colours, not a plain card.
    for (int i = 0; i < 10; ++i)
    {
        engine->frame(0.1f);
    }
    std::unique_ptr<tesra::Image> shot(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
    std::set<int> colours;
    for (int y = 55; y < 95; ++y)
    {
        for (int x = 440; x < 520; ++x)
        {
            const unsigned char* p = shot->data.get() + (y * shot->width + x) * 4;
            colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
        }
    }
    EXPECT_GT(colours.size(), 30u);
    engine->clickObject(orvalo::getUpsellUnlockButton());
    engine->frame(0.016f);
    EXPECT_NE(engine->logText().find("scripting: The demo has nothing to unlock."), std::string::npos);
    EXPECT_NE(engine->lua("object.getProperty('ui.say', 'text')").find("nothing to unlock"),
              std::string::npos);
    // Nor do the captions turning above the buttons promise what Unlock does not give.
    const std::string captions = harness::readFile(folder.path + "/data/orvalo/system/texts/orvalo.txt");
    ASSERT_NE(captions.find("upsell_text_0"), std::string::npos);
    EXPECT_EQ(captions.find("nlock"), std::string::npos) << captions;
    engine->clickObject(orvalo::getUpsellRestoreButton());
    engine->frame(0.016f);
    EXPECT_EQ(engine->lua("object.getProperty('ui.say', 'text')"),
              "Nothing to restore: the demo sells nothing.");
    engine->clickObject(orvalo::getUpsellLaterButton());
    ASSERT_TRUE(engine->settleAt("menu.MainMenu"));
    EXPECT_EQ(orvalo::getUpsellScreen(), nullptr);
}

class DemoQuit : public DemoDuel, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(DemoQuit, EndsCleanly)
{
    if (std::string(GetParam()) == "")
    {
        Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
        engine->start(&createGameUI);
        engine->frame();
        EXPECT_TRUE(orvalo::isMoreGamesScreenShown());
    }
    else
    {
        engine->startDemo(GetParam());
    }
    engine->frame();
    engine->stop();
    EXPECT_NE(engine->logText().find("vumo: VUMO destroyed"), std::string::npos);
}

// On the landing page, in the duel and in the store.
INSTANTIATE_TEST_SUITE_P(Where, DemoQuit, ::testing::Values("", "menu_duel", "menu_store"));
