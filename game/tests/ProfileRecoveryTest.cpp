#include <cerrno>
#include <filesystem>

#include <quortypes/FileFaults.h>
#include <pirk/pirk.h>

#include "EngineHarness.h"
#include "Profile.h"
#include "SessionState.h"
#include "Variables.h"

using harness::Engine;
using harness::GameFolder;
using harness::readFile;

namespace
{
    ::testing::AssertionResult holds(const std::string& text, const std::string& part)
    {
        if (text.find(part) != std::string::npos)
        {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "'" << text << "' does not hold '" << part << "'";
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

    // Atomic saves below a path fail as on a full disk while alive.
    struct FullDisk
    {
        static inline std::string below;
        explicit FullDisk(const std::string& path)
        {
            below = path;
            quortypes::setFileFaultHook(
                [](const char* what, const hstring& file)
                { return std::string(what) == "write" && file.startsWith(below.c_str()) ? ENOSPC : 0; });
        }
        ~FullDisk() { quortypes::setFileFaultHook(nullptr); }
    };

    // A started engine whose players' files the tests damage; "score" is a game variable.
    class ProfileRecovery : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            VariableDictionary::getGlobal() = VariableDictionary();
            Session::forgetUserFolder();
            Session::forgetConfig();
            folder.config();
            folder.put("data/ui/ui.dts", "<Dataset/>");
            folder.put("data/lib/ui.lua",
                       "unlocked = {}\n"
                       "function ui.OnAchievementUnlocked(n) unlocked[#unlocked + 1] = n end\n");
            engine.reset(new Engine(folder));
            engine->start();
            VariableDictionary& variables = VariableDictionary::getGlobal();
            variables.setLocked(false);
            variables.create("score", "0");
            variables.setLocked(true);
        }
        std::string user(const std::string& name) { return folder.userFile("EngineTest", name); }
        void put(const std::string& name, const std::string& bytes)
        {
            folder.put("xdg/Torvin Games/EngineTest/" + name, bytes);
        }
        void setScore(const hstring& value)
        {
            VariableDictionary::getGlobal().get("score").setValue(value, true);
        }
        hstring score() { return VariableDictionary::getGlobal().get("score").value(); }
        hstring play(const hstring& name)
        {
            const hstring dir = Profile::create(name);
            Profile::changeProfile(dir);
            return dir;
        }
    };
} // namespace

TEST_F(ProfileRecovery, AFullDiskDoesNotStopTheScriptThatUnlocks)
{
    play("Anna");
    EXPECT_EQ(engine->lua("profile.unlockAchievement('first')"), "true");
    const std::string store = readFile(user("Anna/achievements.bin"));
    {
        FullDisk full(user("Anna"));
        EXPECT_EQ(engine->lua("select(2, pcall(profile.unlockAchievement, 'won'))"), "true");
        EXPECT_EQ(engine->lua("profile.isAchievementUnlocked('won')"), "true");
        EXPECT_EQ(engine->lua("table.concat(unlocked, ' ')"), "first won");
        EXPECT_EQ(engine->lua("select('#', pcall(profile.clearAchievements))"), "1");
        EXPECT_EQ(engine->lua("profile.getNumUnlockedAchievements()"), "0");
        EXPECT_EQ(engine->lua("profile.unlockAchievement('won')"), "true");
        EXPECT_EQ(logCount("No space left on device"), 3);
        // The save that cannot write the store either says so.
        EXPECT_THROW(Session::getProfile()->saveToFile(), quortypes::exception);
    }
    EXPECT_EQ(readFile(user("Anna/achievements.bin")), store);
    // The next save writes what the disk refused before.
    setScore("1");
    EXPECT_TRUE(Session::getProfile()->saveToFile());
    play("Bob");
    Profile::changeProfile("Anna");
    EXPECT_FALSE(Profile::isAchievementUnlocked("first"));
    EXPECT_TRUE(Profile::isAchievementUnlocked("won"));
    EXPECT_EQ(score(), "1");
}

TEST_F(ProfileRecovery, AWholeDiffOfAnotherFolderGivesWayToTheBackup)
{
    play("Anna");
    setScore("7");
    Session::getProfile()->saveToFile();
    setScore("8");
    Session::getProfile()->saveToFile();
    play("Bob");
    const std::string good = readFile(user("Anna/vars.diff.backup"));
    // Bob's whole file copied over Anna's.
    const std::string foreign = readFile(user("Bob/vars.diff"));
    put("Anna/vars.diff", foreign);

    EXPECT_EQ(Profile::readNameOfFolder("Anna"), "Anna");
    EXPECT_EQ(Profile::list().tryGet("Anna", ""), "Anna");
    Profile::changeProfile("Anna");
    EXPECT_EQ(score(), "7");
    EXPECT_EQ(VariableDictionary::getGlobal().get("profile_dir").value(), "Anna");
    // The foreign file goes aside at the next save; it never becomes the backup.
    setScore("9");
    EXPECT_TRUE(Session::getProfile()->saveToFile());
    EXPECT_EQ(readFile(user("Anna/vars.diff.damaged")), foreign);
    EXPECT_EQ(readFile(user("Anna/vars.diff.backup")), good);
    EXPECT_TRUE(holds(readFile(user("Anna/vars.diff")), "profile_dir: Anna\n"));
    EXPECT_TRUE(holds(readFile(user("Anna/vars.diff")), "score: 9\n"));
    EXPECT_EQ(readFile(user("Bob/vars.diff")), foreign);

    // Without a backup of its own the folder stays closed, and the error names both folders.
    put("Carl/vars.diff", foreign);
    put("Carl/vars.diff.backup", foreign);
    EXPECT_EQ(Profile::readNameOfFolder("Carl"), "");
    const std::string error = engine->lua("select(2, pcall(profile.change, 'Carl'))");
    EXPECT_TRUE(holds(error, "'Carl'") && holds(error, "'Bob'")) << error;
    EXPECT_EQ(VariableDictionary::getGlobal().get("profile_dir").value(), "Anna");
}
