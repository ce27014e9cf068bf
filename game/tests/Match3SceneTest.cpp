#include "Match3SceneFixture.h"

using namespace vumo;

using match3test::Settings;

TEST_F(Match3SceneTest, ActivationBuildsAPlayableBoardThatTakesClicksOnceSettled)
{
    start();
    ASSERT_NE(scene(), nullptr) << engine->logText();
    for (int c = 0; c < 5; ++c)
    {
        for (int r = 0; r < 5; ++r)
        {
            ASSERT_NE(object(formatString("0x_%d_%d", c, r)), nullptr);
            EXPECT_EQ(scene()->getCell(c, r)->getClassName(), "Match3Element");
        }
    }
    EXPECT_FALSE(scene()->getBoard().hasRun());
    EXPECT_TRUE(scene()->getBoard().hasMove({"FFFF00"}));
    EXPECT_EQ(templarCount(), 1);
    EXPECT_EQ(scene()->getHealth(), 1000);

    // Before the first update and while the cells pop in, clicks do nothing.
    click(0, 0);
    EXPECT_FALSE(scene()->hasSelection());
    engine->frame(0.1f);
    click(0, 0);
    EXPECT_FALSE(scene()->hasSelection());

    ASSERT_TRUE(settle());
    for (int c = 0; c < 5; ++c)
    {
        EXPECT_EQ(scene()->getCell(c, 4)->getPosition(), kavtypes::Vector2(c * 16.0f, 64.0f));
        EXPECT_EQ(scene()->getCell(c, 4)->getScale(), kavtypes::Vector2(1.0f, 1.0f));
    }
    click(0, 0);
    EXPECT_TRUE(scene()->hasSelection());
    click(0, 0);
    EXPECT_FALSE(scene()->hasSelection());
}

TEST_F(Match3SceneTest, SwapsWithoutARunOrFromAfarChangeNothing)
{
    start();
    ASSERT_TRUE(settle());
    int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    ASSERT_TRUE(findSwap(false, c1, r1, c2, r2));
    const Match3Board before = scene()->getBoard();
    click(c1, r1);
    click(c2, r2);
    EXPECT_TRUE(scene()->hasSelection());
    EXPECT_FALSE(scene()->isBusy());
    click(c1 + 2 < 5 ? c1 + 2 : c1 - 2, r1);
    EXPECT_TRUE(scene()->hasSelection());
    for (int c = 0; c < 5; ++c)
    {
        for (int r = 0; r < 5; ++r)
        {
            EXPECT_EQ(scene()->getBoard().at(c, r), before.at(c, r));
        }
    }
}

TEST_F(Match3SceneTest, RunMakingSwapsScoreCollapseAndRefillUntilTheEnemyFalls)
{
    // Each positive run of three costs the enemy 400 of its 1000.
    start({{"positive_effect", "400"}});
    int swaps = 0;
    while (!scene()->isFinished() && swaps < 40)
    {
        ASSERT_TRUE(settle()) << "swap " << swaps;
        int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
        ASSERT_TRUE(findSwap(true, c1, r1, c2, r2)) << "no move left after swap " << swaps;
        click(c1, r1);
        click(c2, r2);
        ++swaps;
        EXPECT_TRUE(scene()->isBusy());
        for (int i = 0; i < 100 && scene()->isBusy() && !scene()->isFinished(); ++i)
        {
            engine->frame(0.1f);
        }
        if (!scene()->isFinished())
        {
            EXPECT_FALSE(scene()->getBoard().hasRun());
            EXPECT_TRUE(scene()->getBoard().hasMove({"FFFF00"}));
        }
    }
    ASSERT_TRUE(scene()->isFinished()) << engine->logText();
    EXPECT_EQ(scene()->getHealth(), 0);
    EXPECT_EQ(journal(), "solved");
    // Solved boards take no clicks, and a second solve within its pause runs nothing.
    click(0, 0);
    EXPECT_FALSE(scene()->hasSelection());
    scene()->solve();
    EXPECT_EQ(journal(), "solved");
    EXPECT_NE(engine->logText().find("ui.minigame_solved"), std::string::npos) << "the sound was asked for";
}

TEST_F(Match3SceneTest, ALargeBoardOfThreeTypesStartsWithoutARunAndScoresNothingByItself)
{
    // Whole-board rolls used to give up on this board and leave runs on it: the first swap then scored them
    // all in its cascade.
    start({{"columns", "10"},
           {"rows", "10"},
           {"positive", "'FF0000'"},
           {"neutral", "'0000FF'"},
           {"negative", "'FFFF00'"}});
    ASSERT_NE(scene(), nullptr) << engine->logText();
    EXPECT_FALSE(scene()->getBoard().hasRun());
    EXPECT_TRUE(scene()->getBoard().hasMove({"FFFF00"}));
    EXPECT_EQ(engine->logText().find("found no board"), std::string::npos) << engine->logText();
    ASSERT_TRUE(settle());
    EXPECT_EQ(scene()->getHealth(), 1000);
}

TEST_F(Match3SceneTest, SkipEndsTheGameWithoutOnSolved)
{
    start();
    ASSERT_TRUE(settle());
    scene()->skip();
    engine->frame(0.1f);
    EXPECT_TRUE(scene()->isFinished());
    EXPECT_EQ(scene()->getHealth(), 0);
    EXPECT_EQ(journal(), "");
}

TEST_F(Match3SceneTest, RunningOutOfTimeFadesOutAndDealsANewBoard)
{
    start({{"time", "3"}}, "add_object('minigame_gui')\nadd_object('player_bar_progress')\n");
    EXPECT_EQ(templarCount(), 1);
    // The time runs once the dealt board can be played, from the frame its tiles rest in.
    engine->frame(0.1f);
    ASSERT_TRUE(scene()->isBusy());
    EXPECT_FLOAT_EQ(scene()->getTimeLeft(), 3.0f);
    ASSERT_TRUE(settle());
    for (int i = 0; i < 4; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_NEAR(scene()->getTimeLeft(), 2.5f, 1e-4);
    EXPECT_FLOAT_EQ(object("player_bar_progress")->getScaleY(), 2.5f / 3.0f);
    // Lost: the cells and the frame fade out, then the board is dealt anew with the full time.
    bool fadedOut = false;
    for (int i = 0; i < 100 && templarCount() < 2; ++i)
    {
        engine->frame(0.1f);
        fadedOut = fadedOut || object("minigame_gui")->getAlpha() < 128;
    }
    EXPECT_TRUE(fadedOut);
    EXPECT_EQ(templarCount(), 2);
    EXPECT_EQ(scene()->getHealth(), 1000);
    // Dealing the new board costs no time.
    EXPECT_FLOAT_EQ(scene()->getTimeLeft(), 3.0f);
    ASSERT_TRUE(settle());
    EXPECT_NEAR(scene()->getTimeLeft(), 2.9f, 1e-4);
}

TEST_F(Match3SceneTest, WithoutATimeLimitThePlayerNeverLosesAndTheBarStays)
{
    start({}, "add_object('player_bar_progress')\nadd_object('enemy_bar_progress')\n");
    object("player_bar_progress")->setScaleY(0.5f);
    for (int i = 0; i < 50; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_EQ(templarCount(), 1);
    EXPECT_FLOAT_EQ(object("player_bar_progress")->getScaleY(), 0.5f);
    EXPECT_FLOAT_EQ(object("enemy_bar_progress")->getScaleY(), 1.0f);
    scene()->skip();
    engine->frame(0.1f);
    EXPECT_FLOAT_EQ(object("enemy_bar_progress")->getScaleY(), 0.0f);
}

TEST_F(Match3SceneTest, MarkersShowLostHealthAndASideWithoutEffectHasNone)
{
    start({{"health_points", "1"}, {"positive_effect", "250"}, {"negative_effect", "0"}, {"time", "30"}},
          "for i = 0, 3 do add_object('enemy_health_' .. i) add_object('player_health_' .. i) end\n");
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_FALSE(object(formatString("enemy_health_%d", i))->isVisible()) << i;
        EXPECT_TRUE(object(formatString("player_health_%d", i))->isVisible()) << "untouched " << i;
    }
    scene()->skip();
    engine->frame(0.1f);
    // Health 0 shows every marker above 0 as lost.
    EXPECT_FALSE(object("enemy_health_0")->isVisible());
    for (int i = 1; i < 4; ++i)
    {
        EXPECT_TRUE(object(formatString("enemy_health_%d", i))->isVisible()) << i;
    }
}

TEST_F(Match3SceneTest, MarkersOfAHugeTimeAreOnlyTheOnesTheSceneHas)
{
    // Two billion seconds a marker at one second each: only the four markers there are get looked at.
    start({{"health_points", "1"}, {"negative_effect", "1"}, {"time", "2e9"}},
          "for i = 0, 3 do add_object('player_health_' .. i) end\nadd_object('player_health_x')\n");
    engine->frame(0.1f);
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_FALSE(object(formatString("player_health_%d", i))->isVisible()) << i;
    }
    EXPECT_TRUE(object("player_health_x")->isVisible());
}

TEST_F(Match3SceneTest, AMissingSolvedSoundIsReportedAndOnSolvedStillRuns)
{
    start();
    ASSERT_TRUE(settle());
    scene()->solve();
    EXPECT_EQ(journal(), "solved");
    EXPECT_NE(engine->logText().find("ui.minigame_solved"), std::string::npos);
}
