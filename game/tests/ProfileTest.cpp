#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include <quortypes/FileFaults.h>
#include <pirk/pirk.h>

#include "EngineHarness.h"
#include "Profile.h"
#include "Variables.h"

using namespace vumo;

using harness::Engine;
using harness::FileFault;
using harness::GameFolder;
using harness::readFile;

namespace
{
    // The message of the quortypes exception the call throws, or "no exception".
    template <typename Call> std::string errorOf(Call call)
    {
        try
        {
            call();
        }
        catch (const quortypes::exception& e)
        {
            return e.getMessage();
        }
        return "no exception";
    }

    ::testing::AssertionResult holds(const std::string& text, const std::string& part)
    {
        if (text.find(part) != std::string::npos)
        {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "'" << text << "' does not hold '" << part << "'";
    }

    // A started engine on a game folder of its own, with helpers to reach the per-user files.
    class Profiles : public ::testing::Test
    {
    protected:
        GameFolder folder;
        std::unique_ptr<Engine> engine;

        void start(const std::string& config = "")
        {
            // A restart in the same process starts from nothing, as a new process would.
            harness::forgetSession();
            folder.config(config);
            folder.put("data/ui/ui.dts", "<Dataset/>");
            folder.put("data/lib/ui.lua",
                       "unlocked = {}\n"
                       "function ui.OnAchievementUnlocked(n) unlocked[#unlocked + 1] = n end\n");
            engine.reset(new Engine(folder));
            engine->start();
            harness::createGameVariable("score", "0");
        }
        void SetUp() override { start(); }
        std::string user(const std::string& name) { return folder.userFile("EngineTest", name); }
        bool exists(const std::string& name) { return std::filesystem::exists(user(name)); }
        void setScore(const hstring& value)
        {
            VariableDictionary::getGlobal().get("score").setValue(value, true);
        }
        // Makes a profile of that name and makes it the active one.
        hstring play(const hstring& name)
        {
            const hstring dir = Profile::create(name);
            Profile::changeProfile(dir);
            return dir;
        }
        int logCount(const std::string& text)
        {
            int count = 0;
            for (const std::string& line : Engine::log())
            {
                count += line.find(text) != std::string::npos;
            }
            return count;
        }
    };
} // namespace

TEST_F(Profiles, FolderNamesFollowTheDisplayNameAndNeverClash)
{
    EXPECT_EQ(Session::getProfile()->getName(), "DummyProfile");
    EXPECT_EQ(Profile::create("Anna"), "Anna");
    EXPECT_EQ(Profile::create("Anna"), "Anna0950B5");
    EXPECT_EQ(Profile::create("Anna"), "Anna0950B6");
    const hstring umlauts = Profile::create("\xC3\x96lf\xC3\xA4\xC3\x9F 12");
    EXPECT_TRUE(umlauts.startsWith("lf12") && umlauts.size() == 10) << umlauts;
    const hstring eleven = Profile::create("Abcdefghijk");
    EXPECT_TRUE(eleven.startsWith("Abcdefghij") && eleven.size() == 16) << eleven;
    EXPECT_EQ(Profile::create("12345"), "XYZ12345");
    const hstring second = Profile::create("12345");
    EXPECT_NE(second, "XYZ12345");
    EXPECT_EQ(Profile::readNameOfFolder("XYZ12345"), "12345");
    EXPECT_EQ(Profile::readNameOfFolder(second), "12345");
    EXPECT_EQ(Profile::create(""), "XYZ000000");
    EXPECT_EQ(Profile::create(""), "XYZ000001");
    EXPECT_EQ(Profile::readNameOfFolder("XYZ000000"), "");
    EXPECT_NE(readFile(user("Anna/vars.diff")).find("profile_name: 416e6e61\n"), std::string::npos);
    EXPECT_EQ(Profile::readNameOfFolder("Missing"), "<Missing>");

    EXPECT_EQ(Profile::encodeName("Anna"), "416e6e61");
    EXPECT_EQ(Profile::decodeName("416e6e61"), "Anna");
    EXPECT_EQ(Profile::decodeName("416"), "A");
    EXPECT_EQ(Profile::decodeName(Profile::encodeName("\xC3\x96lf")), "\xC3\x96lf");
    Profile::changeProfile("XYZ000000");
    EXPECT_EQ(Session::getProfile()->getName(), "<no-name>");
}

TEST_F(Profiles, SavingBacksUpTheLastFileAndAnUnchangedSaveWritesNothing)
{
    const hstring dir = play("Anna");
    const std::string created = readFile(user("Anna/vars.diff"));
    Profile* profile = Session::getProfile();
    EXPECT_FALSE(profile->saveToFile());
    EXPECT_FALSE(exists("Anna/vars.diff.backup"));
    setScore("5");
    EXPECT_TRUE(profile->saveToFile());
    EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), created);
    EXPECT_NE(readFile(user("Anna/vars.diff")).find("score: 5\n"), std::string::npos);
    const auto stamp = std::filesystem::last_write_time(user("Anna/vars.diff"));
    EXPECT_FALSE(profile->saveToFile());
    EXPECT_EQ(std::filesystem::last_write_time(user("Anna/vars.diff")), stamp);
    EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), created);

    // A write that cannot happen throws, changes no file and keeps the change to save later.
    const FileFault full("write", user("Anna/vars.diff.backup"), ENOSPC);
    setScore("6");
    const std::string saved = readFile(user("Anna/vars.diff"));
    EXPECT_THROW(profile->saveToFile(), quortypes::exception);
    EXPECT_TRUE(profile->isChanged());
    EXPECT_EQ(readFile(user("Anna/vars.diff")), saved);
    EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), created);
    // Shut-down's save fails the same way: logged, not thrown out of the destructor.
    engine->stop();
    EXPECT_EQ(logCount("Unable to save profile 'Anna'"), 1);
}

TEST_F(Profiles, ANewFileThatCannotBeWrittenLeavesTheBackupAsItWas)
{
    play("Anna");
    Profile* profile = Session::getProfile();
    setScore("5");
    EXPECT_TRUE(profile->saveToFile());
    const std::string saved = readFile(user("Anna/vars.diff"));
    const std::string backup = readFile(user("Anna/vars.diff.backup"));
    {
        // The new file's write fails while the backup's succeeds.
        const FileFault full("write", user("Anna/vars.diff"), ENOSPC);
        setScore("6");
        EXPECT_TRUE(holds(errorOf([&] { profile->saveToFile(); }),
                          "Unable to save file '" + user("Anna/vars.diff") + "', cannot write"));
        EXPECT_TRUE(profile->isChanged());
        EXPECT_EQ(readFile(user("Anna/vars.diff")), saved);
        EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), backup);
        EXPECT_FALSE(exists("Anna/vars.diff.backup.tmp"));
        EXPECT_FALSE(exists("Anna/vars.diff.tmp"));
    }
    EXPECT_TRUE(profile->saveToFile());
    EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), saved);
    EXPECT_NE(readFile(user("Anna/vars.diff")).find("score: 6\n"), std::string::npos);
}

// Whatever a crash, a tool or the player left under a save's temporary names is stepped around: every save
// goes through, and nothing left there goes but an empty folder.
TEST_F(Profiles, LeftoversUnderTheTemporaryNamesNeverBlockASave)
{
    struct Leftover
    {
        const char* name;
        const char* kind;
    };
    const Leftover leftovers[] = {
        {"vars.diff.tmp", "empty folder"},      {"vars.diff.tmp", "folder"},
        {"vars.diff.backup.tmp", "folder"},     {"vars.diff.tmp", "link"},
        {"vars.diff.backup.tmp", "named pipe"}, {"vars.diff.tmp", "two folders"},
    };
    play("Anna");
    Profile* profile = Session::getProfile();
    // A default value is no line of the diff: every score the test looks for differs from it.
    int score = 1;
    setScore("1");
    profile->saveToFile();
    for (const Leftover& leftover : leftovers)
    {
        SCOPED_TRACE(std::string(leftover.kind) + " " + leftover.name);
        const std::string path = user(std::string("Anna/") + leftover.name);
        const std::string kind = leftover.kind;
        if (kind == "empty folder")
        {
            std::filesystem::create_directories(path);
        }
        else if (kind == "folder" || kind == "two folders")
        {
            folder.put("outside", "");
            std::filesystem::create_directories(path);
            std::ofstream(path + "/keep", std::ios::binary) << "player's";
        }
        else if (kind == "link")
        {
            folder.put("outside", "player's");
            std::filesystem::create_symlink(folder.path + "/outside", path);
        }
        else
        {
            ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
        }
        if (kind == "two folders")
        {
            std::filesystem::create_directories(user("Anna/vars.diff.1.tmp/keep"));
        }
        // Every save, not only the first.
        for (int save = 0; save < 2; ++save)
        {
            setScore(std::to_string(++score));
            EXPECT_EQ(errorOf([&] { profile->saveToFile(); }), "no exception");
            EXPECT_TRUE(holds(readFile(user("Anna/vars.diff")), "score: " + std::to_string(score) + "\n"));
            EXPECT_TRUE(
                holds(readFile(user("Anna/vars.diff.backup")), "score: " + std::to_string(score - 1) + "\n"));
        }
        if (kind == "empty folder")
        {
            EXPECT_FALSE(std::filesystem::exists(path));
        }
        else
        {
            EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(path)));
            EXPECT_EQ(readFile(kind == "link" ? folder.path + "/outside" : path + "/keep"),
                      kind == "named pipe" ? "" : "player's");
            std::filesystem::remove_all(path);
        }
        if (kind == "two folders")
        {
            EXPECT_TRUE(std::filesystem::exists(user("Anna/vars.diff.1.tmp/keep")));
            std::filesystem::remove_all(user("Anna/vars.diff.1.tmp"));
        }
        // The temporary file that stepped around it became the saved file.
        for (const auto& entry : std::filesystem::directory_iterator(user("Anna")))
        {
            EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
        }
    }
}

TEST_F(Profiles, ShutDownSavesAndProgressOutlivesARestart)
{
    play("Anna");
    setScore("42");
    Session::getProfile()->syncIfAllowed();
    engine.reset();
    EXPECT_NE(readFile(user("Anna/vars.diff")).find("score: 42\n"), std::string::npos);
    start();
    EXPECT_EQ(VariableDictionary::getGlobal().get("score").value(), "0");
    Profile::changeProfile("Anna");
    EXPECT_EQ(VariableDictionary::getGlobal().get("score").value(), "42");
    EXPECT_EQ(VariableDictionary::getGlobal().get("profile_dir").value(), "Anna");
}

TEST_F(Profiles, ACorruptFileFallsBackToTheBackupAndTwoCorruptOnesKeepTheOldProfile)
{
    play("Anna");
    setScore("7");
    Session::getProfile()->saveToFile();
    setScore("8");
    Session::getProfile()->saveToFile();
    Profile::changeProfile(play("Bob"));
    std::string bytes = readFile(user("Anna/vars.diff"));
    bytes[bytes.size() - 2] ^= 1;
    folder.put("xdg/Torvin Games/EngineTest/Anna/vars.diff", bytes);
    Profile::changeProfile("Anna");
    EXPECT_EQ(logCount("WARNING: profile '" + user("Anna/vars.diff") + "' is corrupt"), 1);
    EXPECT_EQ(VariableDictionary::getGlobal().get("score").value(), "7");

    Profile::changeProfile("Bob");
    Profile* bob = Session::getProfile();
    folder.put("xdg/Torvin Games/EngineTest/Anna/vars.diff.backup", "crc: 0\nscore: 9\n");
    try
    {
        Profile::changeProfile("Anna");
        ADD_FAILURE() << "no exception";
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_NE(e.getMessage().find(
                      "ERROR: unable to load profile from backup file 'Anna', backup file is corrupt!"),
                  std::string::npos);
    }
    EXPECT_EQ(Session::getProfile(), bob);
    std::filesystem::remove(user("Anna/vars.diff.backup"));
    EXPECT_THROW(Profile::changeProfile("Anna"), quortypes::exception);
}

TEST_F(Profiles, ListSkipsForeignAndUnloadableFolders)
{
    Profile::create("Anna");
    Profile::create("Bob");
    std::filesystem::copy(user("Bob"), user("Copy"));
    std::filesystem::create_directories(user("Junk"));
    folder.put("xdg/Torvin Games/EngineTest/Junk/vars.diff", "not a diff");
    std::filesystem::create_directories(user("odd.name"));
    const hdict<hstring> profiles = Profile::list();
    EXPECT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles.tryGet("Anna", ""), "Anna");
    EXPECT_EQ(profiles.tryGet("Bob", ""), "Bob");
}

TEST_F(Profiles, SyncWaitsForLockPauseAndTheScriptsPermission)
{
    play("Anna");
    Profile* profile = Session::getProfile();
    auto syncsWith = [&](const hstring& value)
    {
        setScore(value);
        profile->syncIfAllowed();
        return profile->getSnapshot().getVariables().tryGet("score", Variable()).value() == value;
    };
    Session::lockScene();
    EXPECT_FALSE(syncsWith("1"));
    Session::unlockScene();
    Session::setPaused(true);
    EXPECT_FALSE(syncsWith("2"));
    Session::setPaused(false);
    EXPECT_TRUE(syncsWith("3"));
    for (const char* answer : {"0", "true", "'1', 1", "nil"})
    {
        LuaInterface::execute(hstring("function ui.canSaveGame() return ") + answer + " end");
        EXPECT_FALSE(syncsWith(hstring("x") + answer)) << answer;
    }
    LuaInterface::execute("function ui.canSaveGame() return 1 end");
    EXPECT_TRUE(syncsWith("4"));
    LuaInterface::execute("function ui.canSaveGame() return '1' end");
    EXPECT_TRUE(syncsWith("5"));
    EXPECT_TRUE(profile->isChanged());
    EXPECT_THROW(profile->syncVar("nothing"), quortypes::exception);
}

// Each second of play the autosave asks the game once whether it may take the variables, also in the second
// that writes them: the save's own sync is that one question, and the file holds what it allowed.
TEST_F(Profiles, TheAutosaveAsksTheGameOnceASecondAlsoWhenItSaves)
{
    play("Anna");
    LuaInterface::execute("asked = 0\nfunction ui.canSaveGame() asked = asked + 1 return 1 end");
    std::vector<int> asksPerSecond;
    for (int second = 1; logCount("Game state autosaved") == 0 && second <= 300; ++second)
    {
        setScore(hstring(second));
        const int before = std::stoi(engine->lua("asked"));
        Session::update(1.0001f);
        asksPerSecond.push_back(std::stoi(engine->lua("asked")) - before);
    }
    ASSERT_EQ(logCount("Game state autosaved"), 1);
    EXPECT_EQ(asksPerSecond, std::vector<int>(asksPerSecond.size(), 1));
    const std::string diff = harness::readFile(user("Anna/vars.diff"));
    EXPECT_TRUE(holds(diff, "score: " + std::to_string(asksPerSecond.size()) + "\n"));
}

TEST_F(Profiles, FolderNamesFromScriptsStayInsideTheUserFolder)
{
    folder.put("xdg/Torvin Games/sentinel", "keep");
    play("Anna");
    for (const char* name : {"..", ".", "a/b", "", "../EngineTest", " "})
    {
        EXPECT_THROW(Profile::changeProfile(name), quortypes::exception) << name;
        EXPECT_THROW(Profile::remove(name), quortypes::exception) << name;
    }
    try
    {
        Profile::remove("");
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_NE(e.getMessage().find("Unabel to remove profile, profile name is empty!"), std::string::npos);
    }
    try
    {
        Profile::remove("..");
    }
    catch (const quortypes::exception& e)
    {
        EXPECT_NE(e.getMessage().find("'..'"), std::string::npos);
    }
    EXPECT_THROW(Profile::readNameOfFolder(".."), quortypes::exception);
    EXPECT_EQ(readFile(folder.path + "/xdg/Torvin Games/sentinel"), "keep");
    EXPECT_TRUE(exists("Anna/vars.diff"));

    // Removing the active profile leaves a dummy and nothing of the folder, even after shut-down.
    setScore("3");
    Profile::remove("Anna");
    EXPECT_EQ(Session::getProfile()->getName(), "DummyProfile");
    EXPECT_FALSE(exists("Anna"));
    engine->stop();
    EXPECT_FALSE(exists("Anna"));
}

TEST_F(Profiles, AchievementsAreStoredUnderThePrefixAndUnlockedOnce)
{
    engine.reset();
    start("achievement_prefix: ep1_\n");
    play("Anna");
    EXPECT_TRUE(Profile::unlockAchievement("key"));
    EXPECT_FALSE(Profile::unlockAchievement("key"));
    EXPECT_TRUE(Profile::isAchievementUnlocked("key"));
    EXPECT_EQ(engine->lua("table.concat(unlocked, ' ')"), "key");
    std::unique_ptr<pirk::Achievement> stored(
        pirk::getAchievementsService()->createAchievement("ep1_key", 0));
    EXPECT_TRUE(pirk::getAchievementsService()->updateAchievement(stored.get()));
    EXPECT_TRUE(stored->isCompleted());
    EXPECT_EQ(Session::getProfile()->getNumUnlockedAchievements(), 1);
    Profile::clearAchievements();
    EXPECT_FALSE(Profile::isAchievementUnlocked("key"));
}

TEST_F(Profiles, AKilledSaveLeavesOneWholeIteration)
{
    play("Anna");
    VariableDictionary& variables = VariableDictionary::getGlobal();
    variables.setLocked(false);
    for (int i = 0; i < 1000; ++i)
    {
        variables.create("v" + hstring(i), "0");
    }
    std::mt19937 random(22);
    for (int round = 0; round < 50; ++round)
    {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            for (int iteration = 1;; ++iteration)
            {
                for (int i = 0; i < 1000; ++i)
                {
                    variables.get("v" + hstring(i)).setValue(hstring(iteration), true);
                }
                Session::getProfile()->saveToFile();
            }
        }
        usleep(std::uniform_int_distribution<int>(1000, 40000)(random));
        ::kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        const int warnings = logCount("is corrupt");
        Profile::changeProfile("Anna");
        ASSERT_EQ(logCount("is corrupt"), warnings) << round;
        const hstring first = variables.get("v0").value();
        for (int i = 1; i < 1000; ++i)
        {
            ASSERT_EQ(variables.get("v" + hstring(i)).value(), first) << round << " " << i;
        }
    }
}

TEST(DemoProfile, TheDemoMakesAProfileAndItsRunsOutliveARestart)
{
    GameFolder folder;
    folder.copyDemo();
    for (int run = 1; run <= 2; ++run)
    {
        harness::forgetSession();
        Engine engine(folder);
        engine.start();
        EXPECT_EQ(engine.lua("profile.getName()"), "Player");
        EXPECT_EQ(engine.lua("vars.demo_runs"), std::to_string(run));
    }
    EXPECT_TRUE(std::filesystem::exists(folder.userFile("VumoDemo", "Player/vars.diff")));
}

TEST_F(Profiles, AChangeToAProfileWhoseStoreCannotBeReadKeepsTheOldProfileWhole)
{
    play("Anna");
    setScore("5");
    EXPECT_TRUE(Profile::unlockAchievement("won"));
    Profile* anna = Session::getProfile();
    Profile::create("Bob");
    const std::string bob = readFile(user("Bob/vars.diff"));
    // A folder where the store should be cannot be read, as a file without permissions or on a failing
    // drive cannot.
    folder.put("xdg/Torvin Games/EngineTest/Bob/achievements.bin/inside", "keep");
    const std::string error = errorOf([] { Profile::changeProfile("Bob"); });
    EXPECT_TRUE(holds(error, "Unable to read achievements file '" + user("Bob/achievements.bin") +
                                 "': Is a directory"));
    EXPECT_FALSE(holds(error, "different case"));

    EXPECT_EQ(Session::getProfile(), anna);
    VariableDictionary& variables = VariableDictionary::getGlobal();
    EXPECT_EQ(variables.get("profile_dir").value(), "Anna");
    EXPECT_EQ(variables.get("score").value(), "5");
    EXPECT_EQ(pirk::getAchievementsService()->getFilename(), user("Anna/achievements.bin"));
    EXPECT_TRUE(Profile::isAchievementUnlocked("won"));
    setScore("6");
    EXPECT_TRUE(anna->saveToFile());
    EXPECT_TRUE(holds(readFile(user("Anna/vars.diff")), "profile_dir: Anna\n"));
    EXPECT_TRUE(holds(readFile(user("Anna/vars.diff")), "score: 6\n"));
    EXPECT_EQ(readFile(user("Bob/vars.diff")), bob);
    EXPECT_EQ(Profile::list().size(), 2u);
    engine->stop();
    EXPECT_EQ(readFile(user("Bob/achievements.bin/inside")), "keep");
}

TEST_F(Profiles, DamagedFilesAreKeptAsideAndTheGoodBackupStays)
{
    play("Anna");
    setScore("7");
    Session::getProfile()->saveToFile();
    setScore("8");
    Session::getProfile()->saveToFile();
    EXPECT_TRUE(Profile::unlockAchievement("first"));
    const std::string good = readFile(user("Anna/vars.diff.backup"));
    Profile::changeProfile(play("Bob"));
    std::string diff = readFile(user("Anna/vars.diff"));
    diff[diff.size() - 2] ^= 1;
    folder.put("xdg/Torvin Games/EngineTest/Anna/vars.diff", diff);
    const std::string store = readFile(user("Anna/achievements.bin")) + "trailing";
    folder.put("xdg/Torvin Games/EngineTest/Anna/achievements.bin", store);

    Profile::changeProfile("Anna");
    EXPECT_EQ(VariableDictionary::getGlobal().get("score").value(), "7");
    EXPECT_TRUE(Profile::isAchievementUnlocked("first"));
    setScore("9");
    Session::getProfile()->saveToFile();
    EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), good);
    EXPECT_EQ(readFile(user("Anna/vars.diff.damaged")), diff);
    EXPECT_TRUE(holds(readFile(user("Anna/vars.diff")), "score: 9\n"));
    EXPECT_EQ(logCount("'" + user("Anna/vars.diff") + "' was damaged, kept aside as '" +
                       user("Anna/vars.diff.damaged") + "'"),
              1);
    EXPECT_TRUE(Profile::unlockAchievement("second"));
    EXPECT_EQ(readFile(user("Anna/achievements.bin.damaged")), store);
    EXPECT_EQ(Session::getProfile()->getNumUnlockedAchievements(), 2);
}

TEST_F(Profiles, ACopiedFolderIsRefusedAndRemovalKnowsTheActiveProfileByItsFolder)
{
    play("Anna");
    Profile::create("Bob");
    std::filesystem::copy(user("Bob"), user("Copy"));
    Profile* anna = Session::getProfile();
    const std::string error = errorOf([] { Profile::changeProfile("Copy"); });
    EXPECT_TRUE(holds(error, "'Copy'")) << error;
    EXPECT_TRUE(holds(error, "'Bob'")) << error;
    EXPECT_EQ(Session::getProfile(), anna);
    EXPECT_EQ(VariableDictionary::getGlobal().get("profile_dir").value(), "Anna");

    // A script may write "profile_dir"; it does not make another profile the active one.
    VariableDictionary::getGlobal().get("profile_dir").setValue("Bob", true);
    Profile::remove("Bob");
    EXPECT_FALSE(exists("Bob"));
    EXPECT_EQ(Session::getProfile(), anna);
    Profile::remove("Anna");
    EXPECT_EQ(Session::getProfile()->getName(), "DummyProfile");
    EXPECT_FALSE(exists("Anna"));
}

TEST_F(Profiles, AReadOnlyFolderAndAFullDiskFailLoudlyAndLeaveNothingHalfDone)
{
    play("Anna");
    Profile::create("Bob");
    {
        FileFault readOnly("remove", user("Bob"), EROFS);
        EXPECT_TRUE(holds(errorOf([] { Profile::remove("Bob"); }),
                          "Unable to remove profile folder '" + user("Bob") + "'"));
        EXPECT_TRUE(holds(engine->lua("select(2, pcall(profile.remove, 'Bob'))"),
                          "Unable to remove profile folder '" + user("Bob") + "'"));
    }
    EXPECT_EQ(Profile::readNameOfFolder("Bob"), "Bob");
    {
        FileFault readOnly("write", user("Anna"), EROFS);
        setScore("3");
        const std::string saved = readFile(user("Anna/vars.diff"));
        EXPECT_TRUE(holds(errorOf([&] { Session::getProfile()->saveToFile(); }), "Read-only file system"));
        EXPECT_EQ(readFile(user("Anna/vars.diff")), saved);
        EXPECT_TRUE(Session::getProfile()->isChanged());
    }
    {
        FileFault full("write", user(""), ENOSPC);
        EXPECT_TRUE(holds(errorOf([] { Profile::create("Carl"); }), "No space left on device"));
    }
    EXPECT_FALSE(exists("Carl"));
    EXPECT_EQ(Profile::create("Carl"), "Carl");
    EXPECT_EQ(Profile::list().size(), 3u);
}

TEST_F(Profiles, LoadDiffRefusesABadCrcAndSyncAsksNoChangeCheck)
{
    play("Anna");
    setScore("1");
    folder.put("wrong.diff", "crc: 1234\nscore: 2\n");
    folder.put("bare.diff", "score: 2\n");
    EXPECT_TRUE(holds(errorOf([] { Profile::loadDiff("wrong.diff"); }),
                      "Unable to load variables diff 'wrong.diff', its CRC does not match its contents"));
    EXPECT_TRUE(holds(errorOf([] { Profile::loadDiff("bare.diff"); }),
                      "Unable to load variables diff 'bare.diff', it does not begin with a 'crc: ' line"));
    EXPECT_EQ(VariableDictionary::getGlobal().get("score").value(), "1");
    EXPECT_EQ(VariableDictionary::getGlobal().get("profile_dir").value(), "Anna");

    static int checks = 0;
    VariableDictionary::getGlobal().get("score").addChangeCheck([](Variable*, const hstring&, const hstring&)
                                                                { return ++checks > 0; });
    setScore("2");
    EXPECT_EQ(checks, 1);
    Session::getProfile()->sync();
    setScore("3");
    Session::getProfile()->syncVar("score");
    EXPECT_EQ(checks, 2);
    EXPECT_EQ(Session::getProfile()->getSnapshot().getVariables().tryGet("score", Variable()).value(), "3");
}

TEST_F(Profiles, ASaveClearsStaleTemporaryFilesAndTheDummySavesNothing)
{
    LuaInterface::execute("profile.save()");
    EXPECT_EQ(Engine::log().back(), "scripting: Profile 'DummyProfile' wasn't saved, no profile is active.");
    play("Anna");
    folder.put("xdg/Torvin Games/EngineTest/Anna/vars.diff.tmp", "crc: half");
    folder.put("xdg/Torvin Games/EngineTest/Anna/achievements.bin.tmp", "half");
    setScore("4");
    Session::getProfile()->saveToFile();
    EXPECT_FALSE(exists("Anna/vars.diff.tmp"));
    EXPECT_FALSE(exists("Anna/achievements.bin.tmp"));
    EXPECT_TRUE(exists("Anna/vars.diff"));
}

TEST_F(Profiles, TheDummyKeepsItsAchievementsInMemoryWhenItsStoreCannotBeRead)
{
    engine.reset();
    folder.put("xdg/Torvin Games/EngineTest/dummy_profile_achievements.bin/inside", "keep");
    start();
    EXPECT_EQ(logCount("Unable to read achievements file '" + user("dummy_profile_achievements.bin")), 1);
    EXPECT_TRUE(Profile::unlockAchievement("early"));
    EXPECT_TRUE(Profile::isAchievementUnlocked("early"));
    engine->stop();
    EXPECT_EQ(readFile(user("dummy_profile_achievements.bin/inside")), "keep");
}
