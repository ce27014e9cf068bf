#include <functional>

#include "Match3Moves.h"
#include "Match3SceneFixture.h"

using namespace vumo;

using match3test::Settings;

TEST_F(Match3SceneTest, LeftOutSettingsTakeTheirDefaultsAndTheBoardIsPlayable)
{
    Settings leftOut;
    for (const char* name :
         {"image_base", "x", "y", "image_width", "image_height", "neutral", "negative", "time",
          "positive_effect", "negative_effect", "health_points", "horizontal_bars"})
    {
        leftOut[name] = "nil";
    }
    leftOut["positive"] = "'FF0000,00FF00,0000FF,FFFF00'";
    start(leftOut, "add_object('player_bar_progress')\nadd_object('enemy_bar_progress')\n");
    ASSERT_NE(scene(), nullptr);
    EXPECT_EQ(engine->logText().find("has no board"), std::string::npos) << engine->logText();
    // No image base: the cells are named by their place alone.
    ASSERT_NE(object("_0_0"), nullptr);
    EXPECT_EQ(scene()->getCell(0, 0), object("_0_0"));
    EXPECT_FALSE(scene()->getBoard().hasRun());
    EXPECT_TRUE(scene()->getBoard().hasMove({}));
    ASSERT_TRUE(settle());
    EXPECT_EQ(scene()->getCell(2, 1)->getPosition(), kavtypes::Vector2(32.0f, 16.0f));
    // No time limit: the player never loses, and the enemy's bar shrinks along y.
    for (int i = 0; i < 20; ++i)
    {
        engine->frame(0.5f);
    }
    EXPECT_EQ(templarCount(), 1);
    scene()->skip();
    engine->frame(0.1f);
    EXPECT_FLOAT_EQ(object("enemy_bar_progress")->getScaleY(), 0.0f);
    EXPECT_FLOAT_EQ(object("player_bar_progress")->getScaleY(), 1.0f);
}

// A setting and the scales of the enemy's bar once the enemy has no health.
struct Match3BarCase
{
    Settings settings;
    float scaleX;
    float scaleY;
};

void PrintTo(const Match3BarCase& c, std::ostream* out)
{
    for (const auto& setting : c.settings)
    {
        *out << setting.first << "=" << setting.second << " ";
    }
}

class Match3SceneBooleanSetting : public Match3SceneTest, public ::testing::WithParamInterface<Match3BarCase>
{
};

TEST_P(Match3SceneBooleanSetting, TakesLuaBooleansNumbersAndWords)
{
    start(GetParam().settings, "add_object('enemy_bar_progress')\n");
    ASSERT_NE(scene()->getCell(0, 0), nullptr) << engine->logText();
    scene()->skip();
    engine->frame(0.1f);
    EXPECT_FLOAT_EQ(object("enemy_bar_progress")->getScaleX(), GetParam().scaleX);
    EXPECT_FLOAT_EQ(object("enemy_bar_progress")->getScaleY(), GetParam().scaleY);
}

INSTANTIATE_TEST_SUITE_P(
    Bars, Match3SceneBooleanSetting,
    ::testing::Values(Match3BarCase{{{"horizontal_bars", "true"}}, 0.0f, 1.0f},
                      Match3BarCase{{{"horizontal_bars", "false"}}, 1.0f, 0.0f},
                      Match3BarCase{{{"horizontal_bars", "1"}}, 0.0f, 1.0f},
                      Match3BarCase{{{"horizontal_bars", "'true'"}}, 0.0f, 1.0f},
                      Match3BarCase{{{"horizontal_bars", "'0'"}}, 1.0f, 0.0f},
                      // Markers instead of bars: the bar is left as it was.
                      Match3BarCase{{{"health_points", "true"}, {"horizontal_bars", "true"}}, 1.0f, 1.0f}));

// Settings the board cannot be dealt from, and every problem the error overlay names for them at once.
struct Match3RefusalCase
{
    Settings settings;
    std::vector<std::string> problems;
    // Where the game stands once the overlay's Continue is clicked: back where the player came from, or,
    // when the duel is the first scene, still on it.
    bool fromLobby = true;
};

TEST_F(Match3SceneTest, ARefusedBoardNamesEveryProblemWithTheFileAndContinueLeadsBack)
{
    Settings everyKindWrong;
    for (const auto& setting : match3test::defaults)
    {
        everyKindWrong[setting.first] = "{}";
    }
    const std::string settle =
        "'_match3_positive', '_match3_neutral' and '_match3_negative' never deal a "
        "board without a run and with a move: that takes two different tile types, one "
        "of them not negative";
    const Match3RefusalCase cases[] = {
        {{{"columns", "nil"}, {"rows", "nil"}, {"width", "nil"}, {"height", "nil"}},
         {"'_match3_columns', '_match3_rows', '_match3_width' and '_match3_height' are not set"}},
        {{{"columns", "nil"}}, {"'_match3_columns' is not set"}},
        {{{"height", "nil"}, {"x", "'left'"}, {"positive", "true"}, {"horizontal_bars", "'yes'"}},
         {"'_match3_height' is not set", "'_match3_x' is 'left', not a number",
          "'_match3_positive' is a boolean, not text", "'_match3_horizontal_bars' is 'yes', not a boolean"}},
        {everyKindWrong,
         {"'_match3_image_base' is a table, not text", "'_match3_x' is a table, not a number",
          "'_match3_y' is a table, not a number", "'_match3_columns' is a table, not a number",
          "'_match3_rows' is a table, not a number", "'_match3_width' is a table, not a number",
          "'_match3_height' is a table, not a number", "'_match3_image_width' is a table, not a number",
          "'_match3_image_height' is a table, not a number", "'_match3_positive' is a table, not text",
          "'_match3_neutral' is a table, not text", "'_match3_negative' is a table, not text",
          "'_match3_time' is a table, not a number", "'_match3_positive_effect' is a table, not a number",
          "'_match3_negative_effect' is a table, not a number",
          "'_match3_health_points' is a table, not a boolean",
          "'_match3_horizontal_bars' is a table, not a boolean", settle}},
        {{{"time", "1/0"}}, {"'_match3_time' is inf, not a finite number"}},
        {{{"rows", "1e20"}}, {"'_match3_rows' is 1e+20, not from 1 to 32"}},
        {{{"columns", "88"}, {"rows", "9"}}, {"'_match3_columns' is 88, not from 1 to 32"}},
        {{{"columns", "8"}, {"rows", "8060"}}, {"'_match3_rows' is 8060, not from 1 to 32"}},
        {{{"columns", "0"}, {"rows", "-2"}},
         {"'_match3_columns' is 0, not from 1 to 32", "'_match3_rows' is -2, not from 1 to 32"}},
        {{{"columns", "2"}, {"rows", "2"}},
         {"a board of 2 x 2 never holds a move: that takes a side of 4, or sides of 3 and 2"}},
        {{{"columns", "1"}, {"rows", "3"}},
         {"a board of 1 x 3 never holds a move: that takes a side of 4, or sides of 3 and 2"}},
        {{{"positive", "'FF0000,FF0000'"}, {"neutral", "''"}, {"negative", "''"}}, {settle}},
        {{{"positive", "''"}, {"neutral", "''"}, {"negative", "'FF0000,00FF00'"}}, {settle}},
        {{{"positive", "''"}, {"neutral", "''"}, {"negative", "''"}}, {settle}},
        {{{"positive", "'FF0000'"}, {"neutral", "''"}, {"negative", "''"}}, {settle}},
        {{{"width", "nil"}}, {"'_match3_width' is not set"}, false},
    };
    const std::string file = "data/chapters/duel/scenes/board.match3.scene";
    for (const Match3RefusalCase& c : cases)
    {
        std::string problems;
        for (const std::string& problem : c.problems)
        {
            problems += (problems.empty() ? "" : ";\n") + problem;
        }
        SCOPED_TRACE(problems);
        startAfresh(c.settings, "", c.fromLobby);
        ASSERT_NE(scene(), nullptr);
        EXPECT_EQ(scene()->getCell(0, 0), nullptr);
        // Told once, all of it, a line a problem, in the overlay and the log; the game waits on the overlay.
        const std::string told =
            "Match-three scene 'duel.board' has no board, in file " + file + ":\n" + problems + ".";
        ASSERT_TRUE(UI::getInstance()->isErrorOverlayShown());
        tesraui::Object* label = UI::getUIDataset()->tryGetObject("vumo_ui_error_bg/label");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(std::string(label->getProperty("text")), told);
        EXPECT_EQ(engine->logCount("has no board"), 1) << engine->logText();
        EXPECT_EQ(engine->logCount("scripting: Scripting Error: " + told), 1) << engine->logText();
        for (int i = 0; i < 5; ++i)
        {
            engine->frame(0.1f);
        }
        EXPECT_TRUE(UI::getInstance()->isErrorOverlayShown());
        EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()), "duel.board");
        engine->clickObject(UI::getUIDataset()->tryGetObject("vumo_ui_error_bg/continue"));
        EXPECT_TRUE(engine->settleAt(c.fromLobby ? "duel.lobby" : "duel.board"));
        for (int i = 0; i < 10; ++i)
        {
            engine->frame(0.1f);
        }
        EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
        EXPECT_EQ(std::string(Session::getActiveScene()->getFullName()),
                  c.fromLobby ? "duel.lobby" : "duel.board");
        EXPECT_EQ(engine->logCount("has no board"), 1) << "refused once: " << engine->logText();
    }
}

// Numbers beyond what the board's arithmetic holds (a slot is the origin plus up to 32 spacings, a run scores
// up to 30 times an effect): each is held at the end of its range with a warning naming the file and the
// setting, and the board plays on from the held number.
TEST_F(Match3SceneTest, AFarNumberIsHeldAtItsEndWithAWarning)
{
    const auto far = [](const hstring& number) { return formatString("%.6g", (double)number.toFloat()); };
    const auto position = [this, far](int column, int row)
    {
        const kavtypes::Vector2 at = scene()->getCell(column, row)->getPosition();
        return far(hstring(at.x)) + "," + far(hstring(at.y));
    };
    const auto positive = [](const hstring& type) { return type == "FF0000" || type == "00FF00"; };
    const auto negative = [](const hstring& type) { return type == "FFFF00" || type == "0000FF"; };
    // Swaps a line of the kind in by clicks and plays on until the board rests; what it scored, told.
    const auto swapLine = [this](const std::function<bool(const hstring&)>& kind) -> std::string
    {
        int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
        if (!settle() || !match3test::findLineSwap(scene()->getBoard(), kind, c1, r1, c2, r2, true))
        {
            return "no such line to swap";
        }
        click(c1, r1);
        click(c2, r2);
        for (int i = 0; i < 300 && scene()->isBusy() && !scene()->isFinished(); ++i)
        {
            engine->frame(0.1f);
        }
        return formatString("health %d, boards %d, ", scene()->getHealth(), templarCount()) + "journal '" +
               journal() + "'";
    };
    const struct
    {
        Settings settings;
        // The warning after the scene's name; empty when none is due.
        std::string warning;
        std::function<std::string()> observe;
        std::string seen;
    } cases[] = {
        {{{"width", "1e9"}},
         "'_match3_width' is 1000000000, not from -33554431 to 33554431, held at 33554431",
         [&] { return position(4, 0); },
         "1.34218e+08,0"},
        {{{"x", "-3e9"}},
         "'_match3_x' is -3000000000, not from -1073741823 to 1073741823, held at -1073741823",
         [&] { return position(4, 0); },
         "-1.07374e+09,0"},
        {{{"y", "'-2000000000'"}},
         "'_match3_y' is -2000000000, not from -1073741823 to 1073741823, held at -1073741823",
         [&] { return position(0, 4); },
         "0,-1.07374e+09"},
        {{{"height", "-1e10"}},
         "'_match3_height' is -10000000000, not from -33554431 to 33554431, held at -33554431",
         [&] { return position(0, 4); },
         "0,-1.34218e+08"},
        {{{"y", "2147483647"}, {"height", "33554431"}},
         "'_match3_y' is 2147483647, not from -1073741823 to 1073741823, held at 1073741823",
         [&] { return position(0, 4); },
         "0,1.20796e+09"},
        {{{"x", "10.75"}}, "", [&] { return position(0, 0); }, "10,0"},
        {{{"image_width", "1e10"}},
         "'_match3_image_width' is 10000000000, not from -2147483648 to 2147483647, held at 2147483647",
         [&] { return far(hstring(scene()->getCell(0, 0)->getWidth())); },
         "2.14748e+09"},
        {{{"positive_effect", "-2147483648"}},
         "'_match3_positive_effect' is -2147483648, not from 0 to 71582788, held at 0",
         [&] { return swapLine(positive); },
         "health 1000, boards 1, journal ''"},
        {{{"positive_effect", "1e12"}},
         "'_match3_positive_effect' is 1000000000000, not from 0 to 71582788, held at 71582788",
         [&] { return swapLine(positive); },
         "health 0, boards 1, journal 'solved'"},
        {{{"positive_effect", "71582788"}},
         "",
         [&] { return swapLine(positive); },
         "health 0, boards 1, journal 'solved'"},
        // Held at 0, a line of the player's tiles would otherwise give 500 seconds more than the 30.
        {{{"negative_effect", "-500"}, {"time", "30"}, {"negative", "'FFFF00,0000FF'"}, {"neutral", "''"}},
         "'_match3_negative_effect' is -500, not from 0 to 71582788, held at 0",
         [&]
         {
             const std::string scored = swapLine(negative);
             return scored + (scene()->getTimeLeft() <= 30.0f ? ", no time gained" : ", time gained");
         },
         "health 1000, boards 1, journal '', no time gained"},
        // All of the time at once: the round is lost and a second board dealt.
        {{{"negative_effect", "1e20"}, {"time", "30"}, {"negative", "'FFFF00,0000FF'"}, {"neutral", "''"}},
         "'_match3_negative_effect' is 1e+20, not from 0 to 71582788, held at 71582788",
         [&] { return swapLine(negative); },
         "health 1000, boards 2, journal ''"},
        {{{"time", "1e39"}},
         "'_match3_time' is 1e+39, not from -3.40282e+38 to 3.40282e+38, held at 3.40282e+38",
         [&]
         {
             engine->frame(0.1f);
             return far(hstring(object("player_bar_progress")->getScaleY()));
         },
         "1"},
    };
    const std::string file = "data/chapters/duel/scenes/board.match3.scene";
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.settings.begin()->first + " = " + c.settings.begin()->second);
        startAfresh(c.settings, "add_object('player_bar_progress')\n");
        ASSERT_NE(scene(), nullptr);
        ASSERT_NE(scene()->getCell(0, 0), nullptr) << engine->logText();
        EXPECT_EQ(engine->logCount("Match-three scene 'duel.board': "), c.warning.empty() ? 0u : 1u)
            << engine->logText();
        if (!c.warning.empty())
        {
            EXPECT_EQ(engine->logCount("WARNING: Match-three scene 'duel.board': " + c.warning +
                                       ", in file " + file + "\n"),
                      1u)
                << engine->logText();
        }
        EXPECT_EQ(c.observe(), c.seen);
        // The fixture's game has no sound for a win: that error is the only one due.
        EXPECT_EQ(engine->errorLines(), (int)engine->logCount("ui.minigame_solved")) << engine->logText();
    }
}
