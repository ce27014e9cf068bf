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

// Settings and the start of the message that refuses them.
struct Match3RefusalCase
{
    Settings settings;
    std::string message;
};

void PrintTo(const Match3RefusalCase& c, std::ostream* out)
{
    for (const auto& setting : c.settings)
    {
        *out << setting.first << "=" << setting.second << " ";
    }
}

class Match3SceneRefusesItsBoard : public Match3SceneTest,
                                   public ::testing::WithParamInterface<Match3RefusalCase>
{
};

TEST_P(Match3SceneRefusesItsBoard, NamingTheSettingAndRunsOn)
{
    start(GetParam().settings);
    ASSERT_NE(scene(), nullptr);
    EXPECT_EQ(scene()->getCell(0, 0), nullptr);
    EXPECT_NE(engine->logText().find(std::string("Match-three scene 'duel.board' has no board: ") +
                                     GetParam().message),
              std::string::npos)
        << engine->logText();
    for (int i = 0; i < 5; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_EQ(Session::getActiveScene(), scene());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Match3SceneRefusesItsBoard,
    ::testing::Values(
        Match3RefusalCase{Settings{{"columns", "nil"}}, "'_match3_columns' is not set."},
        Match3RefusalCase{Settings{{"x", "'left'"}}, "'_match3_x' is 'left', not a number."},
        Match3RefusalCase{Settings{{"time", "1/0"}}, "'_match3_time' is inf, not a finite number."},
        Match3RefusalCase{Settings{{"rows", "1e20"}}, "'_match3_rows' is 1e+20, out of range."},
        Match3RefusalCase{Settings{{"health_points", "{}"}},
                          "'_match3_health_points' is a table, not a boolean."},
        Match3RefusalCase{Settings{{"horizontal_bars", "'yes'"}},
                          "'_match3_horizontal_bars' is 'yes', not a boolean."},
        Match3RefusalCase{Settings{{"positive", "true"}}, "'_match3_positive' is a boolean, not text."},
        Match3RefusalCase{Settings{{"columns", "88"}, {"rows", "9"}},
                          "'_match3_columns' is 88, not from 1 to 32."},
        Match3RefusalCase{Settings{{"columns", "8"}, {"rows", "8060"}},
                          "'_match3_rows' is 8060, not from 1 to 32."},
        Match3RefusalCase{Settings{{"columns", "2"}, {"rows", "2"}}, "a board of 2 x 2 never holds a move"},
        Match3RefusalCase{Settings{{"columns", "1"}, {"rows", "3"}}, "a board of 1 x 3 never holds a move"},
        Match3RefusalCase{Settings{{"positive", "'FF0000,FF0000'"}, {"neutral", "''"}, {"negative", "''"}},
                          "'_match3_positive', '_match3_neutral' and '_match3_negative' never deal a board"},
        Match3RefusalCase{
            Settings{{"positive", "''"}, {"neutral", "''"}, {"negative", "'FF0000,00FF00'"}},
            "'_match3_positive', '_match3_neutral' and '_match3_negative' never deal a board"}));
