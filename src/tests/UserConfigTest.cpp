#include <filesystem>

#include "EngineTestSupport.h"

using namespace vumo;

using enginetest::GameFolder;
using enginetest::LogCapture;
using enginetest::readFile;

TEST(UserConfig, ADamagedPlayersCopyIsKeptAsideAndTheGamesConfigurationStands)
{
    struct Case
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a line cut short", "fullscreen: 1\nmaster_volu"},
        {"random bytes", std::string("\x9c\xff\x01\x00gar\xe2\x82\n\x7f\x1b[1", 14)},
        {"a comment indented", "fullscreen: 1\n # note\n"},
    };
    for (const Case& c : cases)
    {
        GameFolder game;
        game.dir.put("cfg/vumo.cfg", "title: Demo\ncfg.fullscreen: 0\nwidth: 640\n");
        game.dir.put("xdg/Torvin Games/Demo/vumo.cfg", c.bytes);
        // An older damaged copy gives way to the newer one.
        game.dir.put("xdg/Torvin Games/Demo/vumo.cfg.damaged", "older");
        LogCapture log;
        ASSERT_TRUE(Session::loadConfig(false)) << c.what;
        EXPECT_EQ(Session::getConfigValue("fullscreen") + Session::getConfigValue("width"), "0640") << c.what;
        EXPECT_EQ(readFile(game.user("vumo.cfg.damaged")), c.bytes) << c.what;
        EXPECT_EQ(readFile(game.user("vumo.cfg")), "fullscreen: 0\n") << c.what;
        int warnings = 0;
        for (const std::string& line : log.take())
        {
            warnings += line.rfind("vumo: WARNING: '" + game.user("vumo.cfg") +
                                       "' is damaged, kept aside as '" + game.user("vumo.cfg.damaged") + "'",
                                   0) == 0;
        }
        EXPECT_EQ(warnings, 1) << c.what;
        // The next start reads the fresh copy and leaves the kept one alone.
        ASSERT_TRUE(Session::loadConfig(false)) << c.what;
        EXPECT_EQ(readFile(game.user("vumo.cfg.damaged")), c.bytes) << c.what;
    }
}

TEST(UserConfig, ACopyThatCannotBeKeptAsideIsNeitherReadNorReplaced)
{
    GameFolder game;
    game.dir.put("cfg/vumo.cfg", "title: Demo\ncfg.fullscreen: 0\n");
    game.dir.put("xdg/Torvin Games/Demo/vumo.cfg", "fullscr");
    // A folder in the way of the rename, as a read-only folder would refuse it.
    game.dir.put("xdg/Torvin Games/Demo/vumo.cfg.damaged/inside", "keep");
    LogCapture log;
    EXPECT_FALSE(Session::loadConfig(false));
    EXPECT_EQ(readFile(game.user("vumo.cfg")), "fullscr");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("unable to keep '" + game.user("vumo.cfg") + "' aside"), std::string::npos)
        << log.lines[0];
    // The game's own file stays the game's to mend.
    std::filesystem::remove_all(game.user("vumo.cfg.damaged"));
    game.dir.put("cfg/vumo.cfg", "title: Demo\nbroken\n");
    EXPECT_FALSE(Session::loadConfig(false));
    EXPECT_EQ(readFile(game.user("vumo.cfg")), "fullscr");
}
