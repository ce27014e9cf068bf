#include <tesra/tesra.h>
#include <tesraui/tesraui.h>

#include "EngineTestSupport.h"

using namespace vumo;

using enginetest::GameFolder;
using enginetest::Lines;
using enginetest::LogCapture;
using enginetest::readFile;
using enginetest::thrownText;

namespace
{
    const std::string lineError =
        "', statements must be in format <key>: <value>. empty lines and #/-- comment lines are ignored.";

    // "key=value;" for every entry, in key order.
    std::string flatten(const hdict<hstring>& map)
    {
        std::string result;
        for (auto& entry : map)
        {
            result += entry.first + "=" + entry.second + ";";
        }
        return result;
    }

    // The map as flatten gives it, or the text of the error.
    std::string parsed(const char* text)
    {
        std::string result;
        std::string error = thrownText([&] { result = flatten(Session::parseConfigText(text)); });
        return error == "nothing thrown" ? result : error;
    }
} // namespace

TEST(ConfigParse, LinesSectionsCommentsAndErrors)
{
    const std::pair<const char*, std::string> cases[] = {
        // The first ": " splits; the value keeps the rest. A later key replaces an earlier one.
        {"url: http://x: y \nk: : v\nk: w", "k=w;url=http://x: y ;"},
        // Sections prefix the keys below; "[]" returns to plain keys; every bracket goes.
        {"[video]\nwidth: 800\n\n# c\n-- c\n[]\nwidth: 1\n[a[b]]\nk: v", "ab.k=v;video.width=800;width=1;"},
        // Comments only at the first column; lines are never trimmed.
        {" # note", "invalid cfg line ' # note" + lineError},
        {"k:v", "invalid cfg line 'k:v" + lineError},
        {" k: v ", " k=v ;"},
        // CRLF files read like the others, but only one "\r" goes.
        {"[s]\r\nk: v\r\n\r\n# c\r\n", "s.k=v;"},
        {"k: v\r\r\n", "k=v\r;"},
        // The start code's key begins with one dash: no comment.
        {"-e: print('started')\n-- c", "-e=print('started');"},
    };
    for (auto& c : cases)
    {
        EXPECT_EQ(parsed(c.first), c.second) << c.first;
    }
}

TEST(ConfigLoad, OverridesConditionalsAndDeclarations)
{
    GameFolder game;
    game.dir.put("cfg/vumo.cfg",
                 "title: Demo\nlang: de\nfont: plain\nlang/de.font: gothic\nlang/fr.font: serif\n"
                 "mode/x.a: 1\ncfg.fullscreen: 0\ncfg.volume: 80\nvolume: 50\nwidth: 1\n"
                 "odd/key: 3\nx.y/z: 4\ncfgnote: 1\n");
    game.dir.put("cfg/vumo.cfg.local", "width: 2\n");
    LogCapture log;
    ASSERT_TRUE(Session::loadConfig(false));
    // The condition "mode" was read with the index operation; every conditional key is gone.
    EXPECT_EQ(flatten(Session::getConfig()),
              "cfg.fullscreen=0;cfg.volume=80;cfgnote=1;font=gothic;fullscreen=0;"
              "lang=de;mode=;title=Demo;volume=50;width=2;");
    EXPECT_EQ(log.take(), (Lines{"vumo: WARNING: Ignoring malformed cfg key 'odd/key'",
                                 "vumo: WARNING: Ignoring malformed cfg key 'x.y/z'",
                                 "vumo: WARNING: Ignoring malformed cfg key 'cfgnote'"}));
    // The missing player's copy is written from the declarations, with the values in force.
    EXPECT_EQ(readFile(game.user("vumo.cfg")), "fullscreen: 0\nvolume: 50\n");

    // The player's copy wins over the base file and is not written again.
    game.dir.put("xdg/Torvin Games/Demo/vumo.cfg", "fullscreen: 1\r\nvolume: 70\r\n");
    ASSERT_TRUE(Session::loadConfig(false));
    EXPECT_EQ(Session::getConfigValue("fullscreen") + Session::getConfigValue("volume"), "170");
    EXPECT_EQ(readFile(game.user("vumo.cfg")), "fullscreen: 1\r\nvolume: 70\r\n");
}

TEST(ConfigLoad, FailedReloadKeepsTheMapAndTheLog)
{
    GameFolder game;
    EXPECT_FALSE(Session::loadConfig(false));
    game.dir.put("cfg/vumo.cfg", "title: Demo\nwidth: 800\n");
    ASSERT_TRUE(Session::loadConfig(false));
    quortypes::Log::write("test", "first run");
    Session::setConfigValue("added", "1");
    const std::string before = flatten(Session::getConfig());

    // A bad line in the base file, then in an override, then a bad title.
    game.dir.put("cfg/vumo.cfg", "title: Demo\nwidth: 640\nbroken\n");
    LogCapture log;
    EXPECT_FALSE(Session::loadConfig(false));
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.take()[0].find("ERROR: [Config.cpp:"), std::string::npos);
    game.dir.put("cfg/vumo.cfg", "title: Demo\nwidth: 640\n");
    game.dir.put("cfg/vumo.cfg.local", "k:v\n");
    EXPECT_FALSE(Session::loadConfig(false));
    game.dir.put("cfg/vumo.cfg", "title: Demo!\n");
    EXPECT_EQ(thrownText([] { Session::loadConfig(false); }),
              "Invalid 'title' property in cfg file, only alphanumeric characters and ' ', '-' are allowed");
    EXPECT_EQ(flatten(Session::getConfig()), before);

    quortypes::Log::write("test", "second run");
    quortypes::Log::mergeSegments(true);
    std::string text = readFile(game.user("game.log"));
    EXPECT_LT(text.find("first run"), text.find("second run"));
    EXPECT_NE(text.find("second run"), std::string::npos);

    // With errors shown, the box ends the program.
    game.dir.put("cfg/vumo.cfg", "broken\n");
    enginetest::ScopedEnv answer(tesra::messageBoxAnswerVariable, "ok");
    EXPECT_EXIT(Session::loadConfig(true), testing::ExitedWithCode(1), "");
}

TEST(ConfigAccess, ValuesSysKeysLineBreaksAndTextureExtensions)
{
    GameFolder game;
    EXPECT_TRUE(Session::hasConfigValue("sys:anything"));
    EXPECT_EQ(Session::getConfigValue("width"), "");
    EXPECT_FALSE(Session::hasConfigValue("width"));
    Session::setConfigValue("title", "Demo");
    Session::setConfigValue("cfg.name", "x");
    Session::setConfigValue("name", "anna");
    for (const char* value : {"a\nb", "a\r"})
    {
        EXPECT_EQ(thrownText([&] { Session::setConfigValue("name", value); }),
                  "Unable to set cfg value 'name', line breaks are not allowed");
    }
    EXPECT_EQ(thrownText([] { Session::setConfigValue("cfg.x\ny", "1"); }),
              "Unable to set cfg value 'cfg.x\ny', line breaks are not allowed");
    Session::saveUserConfig();
    EXPECT_EQ(readFile(game.user("vumo.cfg")), "name: anna\n");

    EXPECT_EQ(Session::getParentPath("a/b\\c/d"), "a/b\\c");
    EXPECT_EQ(Session::getParentPath("a\\b") + Session::getParentPath("b"), "a");

    Session::setTextureExtensions("png:0.5,jpg");
    EXPECT_EQ(tesra::getTextureExtensions(), (harray<hstring>{"png", "jpg"}));
    EXPECT_EQ(tesraui::findTextureExtensionScale("a/b.png"), 0.5f);
    EXPECT_EQ(tesraui::findTextureExtensionScale("a/b.jpg"), 1.0f);
}
