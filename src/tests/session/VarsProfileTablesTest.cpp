#include "ui/DebugUI.h"
#include "EngineHarness.h"
#include "Profile.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    // The engine whose library script tries profile.load, profile.reset and profile.loadDiff at start-up, for
    // the vars, profile and debug tables.
    class VarsAndProfiles : public ::testing::Test
    {
    protected:
        GameFolder folder;
        std::unique_ptr<Engine> engine;

        void SetUp() override
        {
            folder.config("profile: Anna\n");
            folder.put("cfg/achievements.cfg", "key\nlamp\n");
            folder.put("data/ui/ui.dts", "<Dataset/>");
            folder.put("data/lib/ui.lua", "vars.create('score', 0)\nvars.create('word', 'x')\n"
                                          "early, earlyError = pcall(profile.load)\n"
                                          "_, resetError = pcall(profile.reset)\n"
                                          "_, diffError = pcall(profile.loadDiff, 'x')\n"
                                          "function attempt(f, ...) local ok, e = pcall(f, ...) "
                                          "return ok and 'ok' or e end\n");
            engine.reset(new Engine(folder));
            engine->start();
        }
        std::string lua(const std::string& expression) { return engine->lua(expression); }
        std::string user(const std::string& name) { return folder.userFile("EngineTest", name); }
    };

    ::testing::AssertionResult ends(const std::string& text, const std::string& end)
    {
        if (text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0)
        {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "'" << text << "' does not end with '" << end << "'";
    }
} // namespace

TEST_F(VarsAndProfiles, VarsReadNumbersAsNumbersAndRefuseUnknownNames)
{
    LuaInterface::execute("vars.score = 5; vars.word = 'apple'");
    EXPECT_EQ(lua("type(vars.score) .. ' ' .. type(vars.word) .. ' ' .. tostring(vars.score + 1)"),
              "number string 6");
    EXPECT_EQ(VariableDictionary::getGlobal().get("score").value(), "5");
    EXPECT_TRUE(ends(lua("attempt(function() return vars.nothing end)"),
                     "Attempting to evaluate state variable $nothing, variable not found."));
    EXPECT_TRUE(ends(lua("attempt(function() vars.nothing = 3 end)"),
                     "Attempting to set state variable $nothing: 3, variable not found."));
    EXPECT_TRUE(ends(lua("attempt(vars.set, 'nothing', 'v')"),
                     "Attempting to set state variable $nothing: v, variable not found."));
    EXPECT_TRUE(ends(lua("attempt(vars.create, 'score', 1)"),
                     "Unable to create new var 'score', var already exists."));
    EXPECT_TRUE(
        ends(lua("attempt(vars.create, 'late', 1)"),
             "Unable to create new variable 'late', dictionary locked. You can only create variables on "
             "system init."));
    EXPECT_EQ(lua("tostring(vars.exists('score')) .. tostring(vars.exists('nothing'))"), "truefalse");
    LuaInterface::execute("vars.set('word', 'pear', true)");
    EXPECT_EQ(lua("vars.table().word .. ' ' .. vars.table().score"), "pear 5");
    EXPECT_EQ(lua("type(vars.___index)"), "function");

    LuaInterface::execute("debug.registerItem('key'); debug.registerItem('key'); debug.registerVar('word')");
    EXPECT_EQ(DebugUI::getItemNames().size(), 1);
    EXPECT_EQ(DebugUI::getVarNames(), harray<hstring>({"score", "word"}));
}

TEST_F(VarsAndProfiles, ProfilesThroughScripts)
{
    EXPECT_EQ(lua("tostring(early)"), "false");
    EXPECT_TRUE(ends(lua("earlyError"), "Unable to load profile before ui.setup() finishes."));
    EXPECT_TRUE(ends(lua("resetError"), "Unable to reset profile before ui.setup() finishes."));
    EXPECT_TRUE(ends(lua("diffError"), "Unable to load a variables diff before ui.setup() finishes."));
    // No profile of the configured name yet: logged, not raised.
    EXPECT_EQ(lua("tostring(profile.load())"), "false");
    EXPECT_EQ(lua("profile.create('Anna')"), "Anna");
    EXPECT_EQ(lua("tostring(profile.load())"), "true");
    EXPECT_EQ(lua("profile.getName() .. ' ' .. vars.profile_dir"), "Anna Anna");
    EXPECT_EQ(lua("profile.list().Anna"), "Anna");
    for (const char* name : {"..", ".", "a/b", ""})
    {
        EXPECT_NE(lua(std::string("attempt(profile.change, '") + name + "')"), "ok") << name;
        EXPECT_NE(lua(std::string("attempt(profile.remove, '") + name + "')"), "ok") << name;
    }
    LuaInterface::execute("vars.score = 12; profile.save()");
    EXPECT_EQ(Engine::log().back(), "scripting: Profile 'Anna' saved successfully.");
    LuaInterface::execute("profile.save()");
    EXPECT_NE(Engine::log().back().find("wasn't saved, no change since last save detected"),
              std::string::npos);
    {
        const harness::FileFault full("write", user("Anna/vars.diff.backup"), ENOSPC);
        LuaInterface::execute("vars.score = 13");
        EXPECT_NE(lua("attempt(profile.save)"), "ok");
    }

    LuaInterface::execute("vars.score = 14; profile.sync('score'); vars.score = 15; vars.revertToProfile()");
    EXPECT_EQ(lua("vars.score"), "14");
    EXPECT_EQ(
        lua("tostring(profile.unlockAchievement('key')) .. tostring(profile.isAchievementUnlocked('key')) .. "
            "profile.getNumUnlockedAchievements() .. profile.getAchievementServiceName()"),
        "truetrue1OfflineAchievementsService");
    LuaInterface::execute("profile.remove('Anna')");
    EXPECT_EQ(lua("profile.getName()"), "DummyProfile");
    EXPECT_FALSE(std::filesystem::exists(user("Anna")));
}

// A name the game's list lacks is unlocked as asked, and reported once with its name.
TEST_F(VarsAndProfiles, AnAchievementTheListLacksIsReportedOnceByName)
{
    EXPECT_EQ(lua("profile.create('Anna')"), "Anna");
    EXPECT_EQ(lua("tostring(profile.load())"), "true");
    struct Case
    {
        std::string name;
        size_t warnings;
    };
    for (const Case& c : {Case{"lamp", 0}, Case{"no_such", 1}})
    {
        for (int i = 0; i < 2; ++i)
        {
            EXPECT_EQ(lua("tostring(profile.unlockAchievement('" + c.name + "'))"),
                      i == 0 ? "true" : "false");
        }
        EXPECT_EQ(lua("tostring(profile.isAchievementUnlocked('" + c.name + "'))"), "true");
        EXPECT_EQ(engine->logCount("Achievement '" + c.name + "' is not named in cfg/achievements.cfg"),
                  c.warnings)
            << engine->logText();
    }
}

// A profile made and chosen by a library script, before the engine has declared its variables.
TEST(VarsAndProfilesEarly, AChangeInALibraryScriptIsAScriptError)
{
    GameFolder folder;
    folder.config();
    folder.put("data/ui/ui.dts", "<Dataset/>");
    folder.put("data/lib/ui.lua", "pcall(profile.create, 'Early')\n"
                                  "_, changeError = pcall(profile.change, 'Early')\n");
    Engine engine(folder);
    engine.start();
    EXPECT_TRUE(ends(engine.lua("changeError"), "Unable to change profile before ui.setup() finishes."));
    EXPECT_EQ(engine.lua("profile.getName()"), "DummyProfile");
    EXPECT_EQ(Engine::errorLines(), 0) << engine.logText();
}
