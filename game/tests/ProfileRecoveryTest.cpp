#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include <pirk/AchievementsStore.h>

#include "EngineHarness.h"
#include "Profile.h"
#include "Variables.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;
using harness::readFile;

namespace
{
    int logCount(const std::string& text)
    {
        int count = 0;
        for (const std::string& line : Engine::log())
        {
            count += line.find(text) != std::string::npos;
        }
        return count;
    }

    // A started engine whose players' files the tests damage; "score" is a game variable.
    class ProfileRecovery : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            harness::forgetSession();
            folder.config();
            folder.put("data/ui/ui.dts", "<Dataset/>");
            engine.reset(new Engine(folder));
            engine->start();
            harness::createGameVariable("score", "0");
        }
        std::string user(const std::string& name) { return folder.userFile("EngineTest", name); }
        void setScore(const hstring& value)
        {
            VariableDictionary::getGlobal().get("score").setValue(value, true);
        }
        hstring var(const hstring& name) { return VariableDictionary::getGlobal().get(name).value(); }
    };
} // namespace

TEST_F(ProfileRecovery, AnUnlockTheDiskRefusesStandsAndTheNextSaveWritesIt)
{
    Profile::changeProfile(Profile::create("Anna"));
    {
        // The store's writes fail as on a full disk.
        const harness::FileFault full("write", user("Anna/achievements.bin"), ENOSPC);
        EXPECT_EQ(engine->lua("select(2, pcall(profile.unlockAchievement, 'won'))"), "true");
        EXPECT_EQ(engine->lua("select('#', pcall(profile.clearAchievements))"), "1");
        EXPECT_EQ(engine->lua("profile.unlockAchievement('won')"), "true");
        EXPECT_EQ(logCount("Unable to save file '" + user("Anna/achievements.bin") + "'"), 3);
        EXPECT_THROW(Session::getProfile()->saveToFile(), quortypes::exception);
    }
    Session::getProfile()->saveToFile();
    EXPECT_EQ(readFile(user("Anna/achievements.bin")), pirk::encodeAchievementsStore({{"won", 100}}));
}

TEST_F(ProfileRecovery, AStoreThatCannotBeReadIsNamedWithWhatToDo)
{
    Profile::create("Bob");
    folder.put("xdg/Torvin Games/EngineTest/Bob/achievements.bin/inside", "keep");
    const std::string error = engine->lua("select(2, pcall(profile.change, 'Bob'))");
    EXPECT_NE(error.find("Unable to read achievements file '" + user("Bob/achievements.bin") +
                         "': Is a directory; profile 'Bob' was not opened. Make the file readable, or move "
                         "it out of the profile's folder"),
              std::string::npos)
        << error;
}

// A link to a device where the store should be: the rest of the profile opens, its achievements start
// afresh, and the link goes aside at the next write.
TEST_F(ProfileRecovery, AStoreThatIsNoFileGoesAsideAndTheProfileOpens)
{
    Profile::changeProfile(Profile::create("Anna"));
    setScore("7");
    Session::getProfile()->saveToFile();
    Profile::changeProfile(Profile::create("Bob"));
    std::filesystem::remove(user("Anna/achievements.bin"));
    std::filesystem::create_symlink("/dev/zero", user("Anna/achievements.bin"));

    EXPECT_NO_THROW(Profile::changeProfile("Anna"));
    EXPECT_EQ(var("profile_dir") + var("score"), "Anna7");
    EXPECT_EQ(logCount("Achievements file '" + user("Anna/achievements.bin") + "' is not a regular file"), 1);
    EXPECT_EQ(engine->lua("profile.unlockAchievement('won')"), "true");
    EXPECT_EQ(std::filesystem::read_symlink(user("Anna/achievements.bin.damaged")), "/dev/zero");
    EXPECT_EQ(readFile(user("Anna/achievements.bin")), pirk::encodeAchievementsStore({{"won", 100}}));
}

TEST_F(ProfileRecovery, AWholeDiffOfAnotherFolderGivesWayToTheBackup)
{
    Profile::changeProfile(Profile::create("Anna"));
    setScore("7");
    Session::getProfile()->saveToFile();
    setScore("8");
    Session::getProfile()->saveToFile();
    const std::string good = readFile(user("Anna/vars.diff.backup"));
    const std::string foreign = readFile(user(Profile::create("Bob") + "/vars.diff"));
    folder.put("xdg/Torvin Games/EngineTest/Anna/vars.diff", foreign);
    EXPECT_EQ(Profile::list().tryGet("Anna", ""), "Anna");
    Profile::changeProfile("Anna");
    EXPECT_EQ(var("score") + var("profile_dir"), "7Anna");
    // The foreign file goes aside at the next save; it never becomes the backup.
    setScore("9");
    EXPECT_TRUE(Session::getProfile()->saveToFile());
    EXPECT_EQ(readFile(user("Anna/vars.diff.damaged")), foreign);
    EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), good);
    // Without a backup of its own the folder stays closed, and the error names both folders.
    folder.put("xdg/Torvin Games/EngineTest/Carl/vars.diff.backup", foreign);
    const std::string error = engine->lua("select(2, pcall(profile.change, 'Carl'))");
    EXPECT_TRUE(error.find("'Carl'") != std::string::npos && error.find("'Bob'") != std::string::npos)
        << error;
}

// The folder a diff names is the "profile_dir" its load would leave: the last line of that name, without
// the "\r" of a CRLF ending, skipping comments, lines with a stray "\r" in the value and names that only
// begin so. "{self}" stands for the profile's own folder.
TEST_F(ProfileRecovery, TheFolderADiffNamesIsTheOneItsLoadWouldLeave)
{
    struct Case
    {
        const char* what;
        const char* body;
        const char* owner;
    };
    const Case cases[] = {
        {"one line", "profile_dir: {self}\n", "{self}"},
        {"crlf ending", "score: 5\r\nprofile_dir: {self}\r\nzeta: 1\r\n", "{self}"},
        {"first line of the body, no line feed", "profile_dir: {self}", "{self}"},
        {"the last of two", "profile_dir: Bob\nprofile_dir: {self}\n", "{self}"},
        {"the last of two, another", "profile_dir: {self}\nprofile_dir: Bob\n", "Bob"},
        {"a stray return skipped", "profile_dir: {self}\nprofile_dir: Bo\rb\n", "{self}"},
        {"a return ending the last line", "profile_dir: Bob\nprofile_dir: {self}\r", "{self}"},
        {"comments", "#profile_dir: Bob\nprofile_dir: {self}\n# profile_dir: Carl\n", "{self}"},
        {"longer names", "xprofile_dir: Bob\nprofile_dirs: Carl\nprofile_dir: {self}\n", "{self}"},
        {"no space after the colon", "score: 5\nprofile_dir:{self}\n", ""},
        {"a colon in the value", "profile_dir: {self}: x\n", "{self}: x"},
        {"an empty value last", "profile_dir: {self}\nprofile_dir: \n", ""},
        {"none", "score: 5\n", ""},
    };
    for (const Case& c : cases)
    {
        const hstring self = Profile::create("Dora");
        hstring body = hstring(c.body).replaced("{self}", self);
        const hstring owner = hstring(c.owner).replaced("{self}", self);
        folder.put("xdg/Torvin Games/EngineTest/" + self + "/vars.diff", "crc: ignore\n" + body);
        const std::string error = engine->lua("select(2, pcall(profile.change, '" + self + "'))");
        if (owner == self)
        {
            EXPECT_EQ(Session::getProfile()->getFolder(), self) << c.what << ": " << error;
        }
        else
        {
            EXPECT_NE(error.find("its file '" + user(self + "/vars.diff") +
                                 "' belongs to the profile folder '" + owner +
                                 "', and it has no backup file"),
                      std::string::npos)
                << c.what << ": " << error;
        }
    }
}

TEST_F(ProfileRecovery, ANamedPipeInPlaceOfTheDiffIsNamedAndNeitherReadNorReplaced)
{
    Profile::changeProfile(Profile::create("Anna"));
    setScore("7");
    Session::getProfile()->saveToFile();
    setScore("8");
    Session::getProfile()->saveToFile();
    const std::string backup = readFile(user("Anna/vars.diff.backup"));
    Profile::changeProfile(Profile::create("Bob"));
    std::filesystem::remove(user("Anna/vars.diff"));
    ASSERT_EQ(mkfifo(user("Anna/vars.diff").c_str(), 0644), 0);
    // Opening the pipe would wait for a writer that never comes: nothing here may open it.
    Profile::changeProfile("Anna");
    EXPECT_EQ(logCount("Unable to read file '" + user("Anna/vars.diff") + "': not a regular file"), 1);
    EXPECT_EQ(var("score") + var("profile_dir"), "7Anna");
    setScore("9");
    std::string refused = "nothing thrown";
    try
    {
        Session::getProfile()->saveToFile();
    }
    catch (const quortypes::exception& e)
    {
        refused = e.getMessage();
    }
    EXPECT_NE(refused.find("Unable to save file '" + user("Anna/vars.diff") +
                           "': something that is not a regular file is in its place"),
              std::string::npos)
        << refused;
    EXPECT_TRUE(std::filesystem::is_fifo(user("Anna/vars.diff")));
    EXPECT_FALSE(std::filesystem::exists(user("Anna/vars.diff.damaged")));
    EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), backup);
}

TEST(DemoProfileRecovery, AProfileThatDoesNotOpenGivesWayToANewOneAndTheDemoSaysWhy)
{
    GameFolder folder;
    folder.copyDemo();
    auto run = [&folder](const std::function<void(Engine&)>& check)
    {
        harness::forgetSession();
        Engine engine(folder);
        engine.start();
        check(engine);
    };
    run([](Engine&) {});
    const std::string store = folder.userFile("VumoDemo", "Player/achievements.bin");
    std::filesystem::remove(store);
    std::filesystem::create_directories(store + "/inside");
    const int errors = Engine::errorLines();
    run(
        [&](Engine& engine)
        {
            EXPECT_EQ(engine.lua("profile.getName()"), "Player");
            EXPECT_NE(engine.lua("vars.profile_dir"), "Player");
            // The box comes up once a scene transition under way has ended.
            for (int i = 0; i < 100 && engine.lua("ui.getActiveMessageBoxType()") == "nil"; ++i)
            {
                engine.frame(0.05f);
            }
            EXPECT_EQ(engine.lua("ui.getActiveMessageBoxType()"), "profile_refused");
            EXPECT_EQ(Engine::errorLines(), errors) << engine.logText();
        });
    EXPECT_TRUE(std::filesystem::is_directory(store + "/inside"));
}
