#include "EngineHarness.h"
#include "Match3Scene.h"
#include "Profile.h"
#include "ui/UI.h"

using harness::Engine;
using harness::GameFolder;

namespace
{
    // A neighbour swap that makes a run, one of the templar's colours first; false when there is none. The
    // board is only looked at, as a player looks at the screen.
    bool findSwap(const Match3Board& shown, int& c1, int& r1, int& c2, int& r2)
    {
        Match3Board board = shown;
        for (int pass = 0; pass < 2; ++pass)
        {
            for (int c = 0; c < board.getColumns(); ++c)
            {
                for (int r = 0; r < board.getRows(); ++r)
                {
                    for (const std::pair<int, int>& step : {std::make_pair(1, 0), std::make_pair(0, 1)})
                    {
                        const int cn = c + step.first;
                        const int rn = r + step.second;
                        if (cn >= board.getColumns() || rn >= board.getRows())
                        {
                            continue;
                        }
                        board.swap(c, r, cn, rn);
                        bool found = (pass == 1 && board.hasRun());
                        for (const Match3Board::Run& run : board.findMatches())
                        {
                            const hstring type = board.at(run.column, run.row);
                            found = found || type == "D04040" || type == "40C040";
                        }
                        board.swap(c, r, cn, rn);
                        if (found)
                        {
                            c1 = c, r1 = r, c2 = cn, r2 = rn;
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }
} // namespace

// The demo played from the landing page to its ending by clicks only, in one run or in two.
class DemoPlayThrough : public harness::GameTest
{
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        folder.copyDemo();
        engine.reset(new Engine(folder));
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    tesraui::Object* uiObject(const std::string& name)
    {
        return UI::getInstance()->getDataset()->tryGetObject(name);
    }
    std::string goal() { return uiObject("goal")->getProperty("text"); }
    void click(float x, float y)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_UP, x, y);
        engine->frame(0.016f);
    }
    // Clicks through the first half: the plank, the stranger, the sign and its key, the door.
    void playToTheLake()
    {
        ASSERT_EQ(active(), "meadow.hills");
        ASSERT_TRUE(uiObject("goal")->isDerivedVisible()) << "the goal is stated at the start";
        EXPECT_NE(goal().find("key"), std::string::npos) << goal();
        engine->clickObject(uiObject("plank_pickup"));
        engine->frame(0.016f);
        ASSERT_EQ(engine->lua("inventory.hasItem('plank')"), "true");
        ASSERT_TRUE(uiObject("reply1")->isVisible());
        engine->clickObject(uiObject("reply1"));
        for (int i = 0; i < 100 && engine->lua("dialog.isActive()") == "true"; ++i)
        {
            engine->frame(0.1f);
        }
        ASSERT_EQ(engine->lua("dialog.isActive()"), "false");
        click(480, 200);
        ASSERT_TRUE(engine->settleAt("meadow.sign"));
        click(820, 100); // the key
        for (int i = 0; i < 40 && engine->lua("vars.demo_key_found") != "1"; ++i)
        {
            engine->frame(0.1f);
        }
        ASSERT_EQ(engine->lua("vars.demo_key_found"), "1");
        engine->frame(0.016f);
        EXPECT_NE(goal().find("inn"), std::string::npos) << "the next goal shows: " << goal();
        ASSERT_TRUE(engine->settleAt("meadow.sign"));
        click(480, 400); // the door
        ASSERT_TRUE(engine->settleAt("lake.shore"));
    }
    // From the lake: the way to the inn, the duel won by swaps, the ending.
    void playFromTheLake()
    {
        ASSERT_EQ(active(), "lake.shore");
        ASSERT_TRUE(uiObject("inn_button")->isDerivedVisible()) << "the key opens the way to the inn";
        engine->clickObject(uiObject("inn_button"));
        ASSERT_TRUE(engine->settleAt("tavern.duel"));
        Match3Scene* duel = dynamic_cast<Match3Scene*>(Session::getActiveScene());
        ASSERT_NE(duel, nullptr);
        for (int swaps = 0; swaps < 150 && active() == "tavern.duel" && !duel->isFinished(); ++swaps)
        {
            for (int i = 0; i < 100 && duel->isBusy(); ++i)
            {
                engine->frame(0.1f);
            }
            int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
            ASSERT_TRUE(findSwap(duel->getBoard(), c1, r1, c2, r2)) << "no move after " << swaps;
            engine->clickObject(duel->getCell(c1, r1));
            engine->clickObject(duel->getCell(c2, r2));
            for (int i = 0; i < 100 && duel->isBusy() && !duel->isFinished(); ++i)
            {
                engine->frame(0.1f);
            }
        }
        ASSERT_TRUE(engine->settleAt("tavern.ending")) << active();
        EXPECT_TRUE(Profile::isAchievementUnlocked("duel_won"));
        EXPECT_TRUE(Profile::isAchievementUnlocked("demo_won"));
        EXPECT_TRUE(uiObject("menu_button")->isDerivedVisible());
        // The ending returns to the menu by itself, and the next game starts afresh.
        for (int i = 0; i < 200 && active() != "menu.MainMenu"; ++i)
        {
            engine->frame(0.1f);
        }
        ASSERT_TRUE(engine->settleAt("menu.MainMenu"));
        EXPECT_EQ(engine->lua("vars.demo_place"), "meadow.hills");
    }
};

TEST_F(DemoPlayThrough, FromTheLandingPageToTheEnding)
{
    engine->startDemo("menu_adventure");
    ASSERT_FALSE(HasFatalFailure());
    playToTheLake();
    ASSERT_FALSE(HasFatalFailure());
    playFromTheLake();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoPlayThrough, TheWayToTheInnWaitsForTheKeyAndThePlank)
{
    engine->startDemo("menu_adventure");
    ASSERT_FALSE(HasFatalFailure());
    // Straight through the sign's door, with nothing found.
    click(480, 200);
    ASSERT_TRUE(engine->settleAt("meadow.sign"));
    click(480, 400);
    ASSERT_TRUE(engine->settleAt("lake.shore"));
    EXPECT_FALSE(uiObject("inn_button")->isVisible());
    EXPECT_NE(goal().find("key"), std::string::npos) << goal();
    // Back for the key: the lake still waits for the plank.
    click(480, 200);
    ASSERT_TRUE(engine->settleAt("meadow.hills"));
    click(480, 200);
    ASSERT_TRUE(engine->settleAt("meadow.sign"));
    click(820, 100);
    for (int i = 0; i < 40 && engine->lua("vars.demo_key_found") != "1"; ++i)
    {
        engine->frame(0.1f);
    }
    ASSERT_TRUE(engine->settleAt("meadow.sign"));
    click(480, 400);
    ASSERT_TRUE(engine->settleAt("lake.shore"));
    EXPECT_FALSE(uiObject("inn_button")->isVisible());
    EXPECT_NE(goal().find("plank"), std::string::npos) << goal();
    // The plank lies on the shore too; with it the way opens at once.
    engine->clickObject(uiObject("plank_pickup"));
    engine->frame(0.016f);
    EXPECT_TRUE(uiObject("inn_button")->isVisible());
    EXPECT_NE(goal().find("inn"), std::string::npos) << goal();
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

// The first run quits at the lake through Escape's box; the second, the player itself on the same profile
// (the engine starts once in a process), finds the menu's Adventure button leading back there.
TEST_F(DemoPlayThrough, QuitAtTheLakeAndGoOnThereInTheNextRun)
{
    engine->startDemo("menu_adventure");
    ASSERT_FALSE(HasFatalFailure());
    playToTheLake();
    ASSERT_FALSE(HasFatalFailure());
    tesra::window->handleKeyEvent(tesra::Window::KEY_DOWN, 27, 0);
    tesra::window->handleKeyEvent(tesra::Window::KEY_UP, 27, 0);
    engine->frame(0.016f);
    UI* ui = UI::getInstance();
    ASSERT_EQ(ui->getActiveMessageBoxType(), "quit");
    tesraui::Object* yes = nullptr;
    for (const auto& pair : ui->getDataset()->getObjects())
    {
        if (pair.first.startsWith("msgbox_yes_button") &&
            pair.second->isDescendantOf(ui->getShownBox()->boxObject))
        {
            yes = pair.second;
        }
    }
    ASSERT_NE(yes, nullptr);
    engine->clickObject(yes);
    engine->frame(0.016f);
    ASSERT_FALSE(tesra::window->isRunning());
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
    engine.reset();

    folder.put("data/lib/zz_resume.lua", "local go = ui.init\n"
                                         "function ui.init()\n"
                                         "  go()\n"
                                         "  vumo.log('goes on at ' .. vars.demo_place .. ', key ' ..\n"
                                         "    tostring(vars.demo_key_found))\n"
                                         "  vumo.endProgram()\n"
                                         "end\n");
    ASSERT_EQ(harness::runPlayer(folder, "timeout -s KILL 120"), 0);
    const std::string out = harness::readFile(folder.path + "/out.txt");
    EXPECT_NE(out.find("goes on at lake.shore, key 1"), std::string::npos) << out;
}
