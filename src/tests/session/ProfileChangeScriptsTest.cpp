#include <string>

#include "EngineHarness.h"
#include "ItemPaneGame.h"

using namespace vumo;

// Alpha keeps door_open 111 and no item, Beta door_open 222 and the key. Changing from Alpha to Beta sets
// the items, and the pane asks the key's count; whatever that count does with profiles acts on Beta, the
// active profile by then, and each profile's files keep only its own data.
class ProfileChangeScripts : public harness::GameTest
{
protected:
    void SetUp() override
    {
        harness::forgetSession();
        harness::putItemPaneGame(folder, "<Object type='InventoryPane' name='bag' rect='0,60,160,40'/>");
        folder.put("data/lib/vars.lua", "vars.create('door_open', 0)\n");
        folder.put("cfg/achievements.cfg", "rich\n");
        engine.reset(new harness::Engine(folder));
        engine->start();
    }
    std::string diffOf(const std::string& profile)
    {
        return harness::readFile(folder.userFile("EngineTest", profile + "/vars.diff"));
    }
    // The lines of a profile's diff that tell whose data it holds.
    std::string dataOf(const std::string& profile)
    {
        std::string found;
        for (const char* line :
             {"door_open: 111", "door_open: 222", "items: key", "profile_dir: Alpha", "profile_dir: Beta"})
        {
            if (diffOf(profile).find(line) != std::string::npos)
            {
                found += std::string(found.empty() ? "" : ", ") + line;
            }
        }
        return found;
    }
};

TEST_F(ProfileChangeScripts, ACountAskedBecauseOfTheChangeActsOnTheNewProfile)
{
    const struct
    {
        const char* name;
        const char* action;
        const char* unlocked;
    } cases[] = {
        {"a sync", "profile.sync()", "false"},
        {"the variables reverted", "vars.revertToProfile()", "false"},
        {"an achievement unlocked", "profile.unlockAchievement('rich')", "true"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        LuaInterface::execute("item_key_count = nil\n"
                              "if profile.list().Alpha then\n"
                              "  profile.change(profile.create('Spare')) profile.remove('Alpha') "
                              "profile.remove('Beta')\n"
                              "end\n"
                              "profile.change(profile.create('Alpha')) vars.door_open = 111 profile.save()\n"
                              "profile.change(profile.create('Beta')) vars.door_open = 222\n"
                              "inventory.addItem('key') profile.save()\n"
                              "profile.change('Alpha')");
        ASSERT_EQ(engine->lua("vars.items"), "");
        LuaInterface::execute(std::string("function item_key_count() note(profile.getName()) ") + c.action +
                              " return 3 end");
        harness::takeJournal(*engine);
        EXPECT_EQ(engine->luaOrError("profile.change('Beta')"), "<none>");
        engine->frame();
        engine->frame();
        EXPECT_EQ(harness::takeJournal(*engine), "Beta");
        EXPECT_EQ(engine->lua("profile.getName()"), "Beta");
        EXPECT_EQ(engine->lua("vars.door_open .. '/' .. vars.items"), "222/key");
        EXPECT_EQ(engine->lua("tostring(profile.isAchievementUnlocked('rich'))"), c.unlocked);
        LuaInterface::execute("profile.save() profile.change('Alpha')");
        EXPECT_EQ(engine->lua("vars.door_open .. '/' .. vars.items"), "111/");
        EXPECT_EQ(engine->lua("tostring(profile.isAchievementUnlocked('rich'))"), "false");
        LuaInterface::execute("profile.change('Beta')");
        EXPECT_EQ(engine->lua("tostring(profile.isAchievementUnlocked('rich'))"), c.unlocked);
        EXPECT_EQ(dataOf("Alpha"), "door_open: 111, profile_dir: Alpha");
        EXPECT_EQ(dataOf("Beta"), "door_open: 222, items: key, profile_dir: Beta");
        EXPECT_EQ(engine->lua("vars.door_open .. '/' .. vars.items"), "222/key");
    }
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
