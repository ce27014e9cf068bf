#include <quortypes/harray.h>
#include <tesra/tesra.h>
#include <tesraui/tesraui.h>

#include "EngineTestSupport.h"

using enginetest::GameFolder;
using enginetest::Lines;
using enginetest::LogCapture;
using enginetest::thrownText;

namespace
{
    const char* const lineError =
        "', statements must be in format <key>: <value>. empty lines and #/-- comment "
        "lines are ignored.";

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

    std::string parsed(const std::string& text)
    {
        try
        {
            return flatten(Session::parseConfigText(text));
        }
        catch (quortypes::exception& e)
        {
            return "error: " + enginetest::messageText(e);
        }
    }
} // namespace

TEST(ConfigParse, LinesSectionsCommentsAndErrors)
{
    struct Case
    {
        const char* text;
        std::string expected;
    };
    const Case cases[] = {
        {"width: 800\nheight: 600", "height=600;width=800;"},
        // The first ": " splits; the value keeps the rest, blanks and colons included.
        {"url: http://x: y \nk: : v", "k=: v;url=http://x: y ;"},
        {"a: 1\na: 2", "a=2;"},
        // Sections prefix the keys below; "[]" returns to plain keys; every bracket goes.
        {"[video]\nwidth: 800\n[]\nwidth: 1", "video.width=800;width=1;"},
        {"[a[b]]\nk: v", "ab.k=v;"},
        {"[video]\n\n# note\n-- note\nk: v", "video.k=v;"},
        // Comments only at the first column; lines are never trimmed.
        {" # note", "error: invalid cfg line ' # note" + std::string(lineError)},
        {"k:v", "error: invalid cfg line 'k:v" + std::string(lineError)},
        {" k: v", " k=v;"},
        // CRLF files read like the others, but only one "\r" goes.
        {"[s]\r\nk: v\r\n\r\n# c\r\n", "s.k=v;"},
        {"k: v\r\r\n", "k=v\r;"},
        {"", ""},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(parsed(c.text), c.expected) << c.text;
    }
}

TEST(ConfigLoad, OverridesConditionalsAndDeclarations)
{
    GameFolder game;
    game.dir.put("cfg/vumo.cfg", "title: Demo\nlang: de\nfont: plain\nlang/de.font: gothic\nlang/fr.font: "
                                 "serif\ncfg.fullscreen: 0\ncfg.volume: 80\nvolume: 50\nwidth: 1\n");
    game.dir.put("cfg/vumo.cfg.local", "width: 2\n");
    LogCapture log;
    ASSERT_TRUE(Session::loadConfig(false));
    EXPECT_EQ(flatten(Session::getConfig()),
              "cfg.fullscreen=0;cfg.volume=80;font=gothic;fullscreen=0;lang=de;"
              "title=Demo;volume=50;width=2;");
    // The missing player's copy is written from the declarations, with the values now in force.
    EXPECT_EQ(enginetest::readFile(game.user("vumo.cfg")), "fullscreen: 0\nvolume: 50\n");
    EXPECT_EQ(log.take(), Lines{});

    // The player's copy wins over the base file and is not written again.
    std::ofstream(game.user("vumo.cfg"), std::ios::binary) << "fullscreen: 1\r\nvolume: 70\r\n";
    ASSERT_TRUE(Session::loadConfig(false));
    EXPECT_EQ(Session::getConfigValue("fullscreen"), "1");
    EXPECT_EQ(Session::getConfigValue("volume"), "70");
    EXPECT_EQ(enginetest::readFile(game.user("vumo.cfg")), "fullscreen: 1\r\nvolume: 70\r\n");
}

TEST(ConfigLoad, ConditionReadsCreateKeysAndMalformedKeysAreSkipped)
{
    GameFolder game;
    game.dir.put("cfg/vumo.cfg", "title: Demo\nmode/x.font: a\ncfgnote: 1\ncfg: 2\nodd/key: 3\nx.y/z: 4\n"
                                 "cfg.: 5\n");
    LogCapture log;
    ASSERT_TRUE(Session::loadConfig(false));
    // The condition's key is read with the index operation; every conditional key is gone.
    EXPECT_EQ(flatten(Session::getConfig()), "cfg=2;cfg.=5;cfgnote=1;mode=;title=Demo;");
    EXPECT_EQ(log.take(), (Lines{"vumo: WARNING: Ignoring malformed cfg key 'odd/key'",
                                 "vumo: WARNING: Ignoring malformed cfg key 'x.y/z'",
                                 "vumo: WARNING: Ignoring malformed cfg key 'cfg'",
                                 "vumo: WARNING: Ignoring malformed cfg key 'cfg.'",
                                 "vumo: WARNING: Ignoring malformed cfg key 'cfgnote'"}));
}

TEST(ConfigLoad, FailedReloadKeepsTheMapAndTheLog)
{
    GameFolder game;
    game.dir.put("cfg/vumo.cfg", "title: Demo\nwidth: 800\n");
    ASSERT_TRUE(Session::loadConfig(false));
    quortypes::Log::write("test", "first run");
    Session::setConfigValue("added", "1");
    std::string before = flatten(Session::getConfig());

    // A bad line, in the base file and in an override.
    game.dir.put("cfg/vumo.cfg", "title: Demo\nwidth: 640\nbroken\n");
    LogCapture log;
    EXPECT_FALSE(Session::loadConfig(false));
    Lines lines = log.take();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("ERROR: "), std::string::npos);
    EXPECT_NE(lines[0].find("invalid cfg line 'broken" + std::string(lineError)), std::string::npos);
    game.dir.put("cfg/vumo.cfg", "title: Demo\nwidth: 640\n");
    game.dir.put("cfg/vumo.cfg.local", "k:v\n");
    EXPECT_FALSE(Session::loadConfig(false));
    EXPECT_EQ(flatten(Session::getConfig()), before);

    // A bad title leaves the load to its caller, and the map as it was.
    game.dir.put("cfg/vumo.cfg", "title: Demo!\nwidth: 640\n");
    EXPECT_EQ(thrownText([] { Session::loadConfig(false); }),
              "Invalid 'title' property in cfg file, only alphanumeric characters and ' ', '-' are allowed");
    EXPECT_EQ(flatten(Session::getConfig()), before);

    // The log was not emptied by the later loads.
    quortypes::Log::write("test", "second run");
    quortypes::Log::mergeSegments(true);
    std::string text = enginetest::readFile(game.user("game.log"));
    EXPECT_NE(text.find("first run"), std::string::npos);
    EXPECT_NE(text.find("second run"), std::string::npos);
}

TEST(ConfigLoad, MissingBaseFileWithErrorsShownEndsTheProgram)
{
    GameFolder game;
    EXPECT_FALSE(Session::loadConfig(false));
    enginetest::ScopedEnv answer(tesra::messageBoxAnswerVariable, "ok");
    EXPECT_EXIT(Session::loadConfig(true), testing::ExitedWithCode(1), "");
}

TEST(ConfigAccess, ValuesSysKeysAndLineBreaks)
{
    GameFolder game;
    EXPECT_TRUE(Session::hasConfigValue("sys:anything"));
    EXPECT_FALSE(Session::hasConfigValue("width"));
    EXPECT_EQ(Session::getConfigValue("width"), "");
    EXPECT_FALSE(Session::hasConfigValue("width"));
    Session::getConfig()["width"];
    EXPECT_TRUE(Session::hasConfigValue("width"));

    Session::setConfigValue("title", "Demo");
    Session::setConfigValue("cfg.name", "x");
    Session::setConfigValue("name", "anna");
    EXPECT_EQ(thrownText([] { Session::setConfigValue("name", "a\nb"); }),
              "Unable to set cfg value 'name', line breaks are not allowed");
    EXPECT_EQ(thrownText([] { Session::setConfigValue("name", "a\r"); }),
              "Unable to set cfg value 'name', line breaks are not allowed");
    EXPECT_EQ(thrownText([] { Session::setConfigValue("cfg.x\ny", "1"); }),
              "Unable to set cfg value 'cfg.x\ny', line breaks are not allowed");
    EXPECT_EQ(Session::getConfigValue("name"), "anna");
    Session::saveUserConfig();
    EXPECT_EQ(enginetest::readFile(game.user("vumo.cfg")), "name: anna\n");
}

TEST(ConfigAccess, TextureExtensionsWithScales)
{
    Session::setTextureExtensions("png:0.5,jpg");
    EXPECT_EQ(tesra::getTextureExtensions(), (harray<hstring>{"png", "jpg"}));
    EXPECT_EQ(tesraui::getTextureExtensionScale("png"), 0.5f);
    EXPECT_EQ(tesraui::getTextureExtensionScale("jpg"), 1.0f);
    EXPECT_EQ(tesraui::findTextureExtensionScale("a/b.png"), 0.5f);
}
