#include "DemoPlayer.h"
#include "Match3Scene.h"
#include "objects/InventoryPane.h"
#include "Profile.h"
#include "ui/UI.h"

#include <tesraparticle/Emitter.h>
#include <tesraparticle/System.h>
#include <tesrauiparticle/Particle.h>

using namespace vumo;

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
class DemoPlayThrough : public DemoPlayerTest
{
protected:
    std::string active() { return Session::getActiveScene()->getFullName(); }
    std::string goal() { return uiObject("goal")->getProperty("text"); }
    // Notches of the wheel over the point: a negative amount zooms in.
    void wheel(float x, float y, float amount, int notches)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->frame(0.016f);
        for (int i = 0; i < notches; ++i)
        {
            engine->mouse(tesra::Window::MOUSE_SCROLL, 0.0f, amount, 0);
            engine->frame(0.016f);
        }
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
        EXPECT_EQ(items(), "plank,rope") << "asking about the path gets the stranger's rope";
        EXPECT_FALSE(uiObject("talk_button")->isVisible()) << "nothing is left to ask";
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
        // The plank alone does not carry the player over.
        engine->clickObject(uiObject("inn_button"));
        ASSERT_TRUE(engine->settleAt("lake.shore"));
        EXPECT_NE(goal().find("rope"), std::string::npos) << goal();
        // The rope dropped on the plank in the pane ties them into the raft.
        dropOn("rope", "plank");
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(items(), "raft");
        EXPECT_NE(goal().find("water"), std::string::npos) << goal();
        // The water is rough until the sky has been watched: the raft comes back to the pane.
        EXPECT_NE(goal().find("sky"), std::string::npos) << goal();
        drag("raft", 880, 410);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(engine->settleAt("lake.shore"));
        EXPECT_EQ(items(), "raft");
        EXPECT_EQ(engine->lua("vars.demo_raft_afloat"), "0");
        // A click on the video starts the ball's crossing again; the water calms when it is seen out.
        click(480, 64); // the sky's video
        ASSERT_TRUE(engine->settleAt("lake.shore")) << "the sky is no way back to the hills";
        EXPECT_EQ(engine->lua("vars.demo_sky_watched"), "0") << "the crossing has only begun";
        for (float waited = 0.0f; engine->lua("vars.demo_sky_watched") != "1" && waited < 60.0f;
             waited += 0.1f)
        {
            engine->frame(0.1f);
        }
        ASSERT_EQ(engine->lua("vars.demo_sky_watched"), "1");
        EXPECT_EQ(goal().find("sky"), std::string::npos) << goal();
        // Without the oar the raft still stays in the pane; it lies under the hills' wooden piece.
        EXPECT_NE(goal().find("oar"), std::string::npos) << goal();
        drag("raft", 880, 410);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(engine->settleAt("lake.shore"));
        EXPECT_EQ(items(), "raft");
        click(480, 200);
        ASSERT_TRUE(engine->settleAt("meadow.hills"));
        click(72, 72); // the piece's face: it only lights up
        ASSERT_TRUE(engine->settleAt("meadow.hills"));
        EXPECT_EQ(engine->lua("vars.demo_oar_found"), "0") << "the piece covers the oar";
        engine->mouse(tesra::Window::MOUSE_MOVE, 60, 60);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_DOWN, 60, 60);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_MOVE, 160, 110);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_UP, 160, 110);
        engine->frame(0.016f);
        ASSERT_TRUE(engine->settleAt("meadow.hills")) << "a drag of the piece is no way on";
        click(72, 72); // the oar, uncovered
        for (float waited = 0.0f; engine->lua("vars.demo_oar_found") != "1" && waited < 10.0f; waited += 0.1f)
        {
            engine->frame(0.1f);
        }
        ASSERT_EQ(engine->lua("vars.demo_oar_found"), "1");
        EXPECT_NE(goal().find("water"), std::string::npos) << goal();
        ASSERT_TRUE(engine->settleAt("meadow.hills")) << "finding the oar walks nowhere";
        click(480, 200);
        ASSERT_TRUE(engine->settleAt("meadow.sign"));
        click(480, 400); // the door
        ASSERT_TRUE(engine->settleAt("lake.shore"));
        // The raft carried from the pane onto the water.
        drag("raft", 880, 410);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(engine->settleAt("lake.shore")) << "the water is no way back to the hills";
        EXPECT_EQ(items(), "");
        EXPECT_EQ(engine->lua("vars.demo_raft_afloat"), "1");
        EXPECT_EQ(engine->lua("ui.getSelectedItem()"), "");
        EXPECT_NE(goal().find("duel"), std::string::npos) << goal();
        ASSERT_TRUE(uiObject("inn_button")->isDerivedVisible());
        // The inn stays shut without its password, which only a zoomed-in look at the sign shows.
        engine->clickObject(uiObject("inn_button"));
        ASSERT_TRUE(engine->settleAt("lake.shore"));
        EXPECT_NE(goal().find("beacon"), std::string::npos) << goal();
        click(480, 200);
        ASSERT_TRUE(engine->settleAt("meadow.hills"));
        tesrauiparticle::Particle* beacon = nullptr;
        for (tesraui::Object* child : Session::getActiveScene()->getRootObject()->getChildren())
        {
            if (std::string(child->getName()).find("beacon") != std::string::npos)
            {
                beacon = dynamic_cast<tesrauiparticle::Particle*>(child);
            }
        }
        ASSERT_NE(beacon, nullptr);
        EXPECT_FALSE(beacon->isVisible()) << "the beacon is not lit yet";
        click(756, 398); // the beacon's wood
        ASSERT_TRUE(engine->settleAt("meadow.hills")) << "lighting the beacon walks nowhere";
        EXPECT_EQ(engine->lua("vars.demo_beacon_lit"), "1");
        EXPECT_TRUE(beacon->isVisible());
        ASSERT_TRUE(beacon->isLoaded());
        for (float waited = 0.0f; beacon->getSystem()->getEmitters()[0]->getAlive() == 0 && waited < 10.0f;
             waited += 0.1f)
        {
            engine->frame(0.1f);
        }
        EXPECT_GT(beacon->getSystem()->getEmitters()[0]->getAlive(), 0) << "the beacon's flames rise";
        EXPECT_NE(goal().find("password"), std::string::npos) << goal();
        click(480, 200);
        ASSERT_TRUE(engine->settleAt("meadow.sign"));
        click(124, 64); // where the password is carved, too small to see
        ASSERT_TRUE(engine->settleAt("meadow.sign"));
        EXPECT_EQ(engine->lua("vars.demo_password_found"), "0") << "nothing shows there unzoomed";
        wheel(124, 64, -1.0f, 8);
        click(124, 64);
        for (float waited = 0.0f; engine->lua("vars.demo_password_found") != "1" && waited < 10.0f;
             waited += 0.1f)
        {
            engine->frame(0.1f);
        }
        ASSERT_EQ(engine->lua("vars.demo_password_found"), "1");
        EXPECT_NE(goal().find("take the key"), std::string::npos) << goal();
        wheel(124, 64, 1.0f, 8);
        ASSERT_TRUE(engine->settleAt("meadow.sign"));
        click(480, 400); // the door
        ASSERT_TRUE(engine->settleAt("lake.shore"));
        ASSERT_TRUE(uiObject("inn_button")->isDerivedVisible());
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
        EXPECT_EQ(engine->lua("vars.demo_raft_afloat"), "0");
        EXPECT_EQ(engine->lua("vars.demo_sky_watched"), "0");
        EXPECT_EQ(engine->lua("vars.demo_password_found"), "0");
        EXPECT_EQ(engine->lua("vars.demo_oar_found"), "0");
        EXPECT_EQ(engine->lua("vars.demo_beacon_lit"), "0");
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
