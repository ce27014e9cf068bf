#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <pirk/AchievementsStore.h>

#include "EngineHarness.h"
#include "Profile.h"
#include "Variables.h"

using namespace vumo;

namespace
{
    // Two gigabytes that take no room: a file of that size is only read by reading it.
    const std::uintmax_t hugeSize = (std::uintmax_t)2 << 30;

    void putHuge(const std::string& path)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary).close();
        std::filesystem::resize_file(path, hugeSize);
    }

    class StateFileBounds : public harness::GameTest
    {
    protected:
        std::string user(const std::string& name) { return folder.userFile("EngineTest", name); }
        void setScore(const hstring& value)
        {
            VariableDictionary::getGlobal().get("score").setValue(value, true);
        }
        hstring var(const hstring& name) { return VariableDictionary::getGlobal().get(name).value(); }
    };
} // namespace

// A player's state file of gigabytes (damage, or another file put in its place) was read whole: 21 s and
// 6.4 GB for a "vars.diff" of 2 GB at every start, 13 s for "vumo.cfg", 6 s for "achievements.bin". One
// larger than any state file counts as damaged without being read: the usual recovery runs, and the file is
// kept aside whole as "<name>.damaged", never written over.
TEST_F(StateFileBounds, AFileLargerThanAnyStateFileCountsAsDamagedUnread)
{
    using Clock = std::chrono::steady_clock;
    // The per-user configuration is read at start.
    putHuge(user("vumo.cfg"));
    Clock::time_point began = Clock::now();
    startOnScript("empty.lua", "");
    const double startSeconds = std::chrono::duration<double>(Clock::now() - began).count();
    harness::createGameVariable("score", "0");
    // A profile with a backup of score 7 and a diff of score 8, and one with an achievement; each left for
    // another before its file is replaced.
    Profile::changeProfile(Profile::create("Anna"));
    setScore("7");
    Session::getProfile()->saveToFile();
    setScore("8");
    Session::getProfile()->saveToFile();
    Profile::changeProfile(Profile::create("Cleo"));
    EXPECT_EQ(engine->lua("profile.unlockAchievement('old')"), "true");
    Profile::changeProfile(Profile::create("Dan"));

    struct Case
    {
        const char* name;
        std::string file;
        // Runs what reads the file and what writes after it; says what the game then holds.
        std::function<std::string()> recover;
    };
    const Case cases[] = {
        {"configuration", "vumo.cfg",
         [&] { return "title " + std::string(Session::getConfigValue("title").c_str()); }},
        {"variables", "Anna/vars.diff",
         [&]
         {
             const std::string listed = Profile::list().tryGet("Anna", "").c_str();
             Profile::changeProfile("Anna");
             const std::string held = "listed " + listed + ", score " + std::string(var("score").c_str());
             setScore("9");
             Session::getProfile()->saveToFile();
             return held;
         }},
        {"achievements", "Cleo/achievements.bin",
         [&]
         {
             Profile::changeProfile("Cleo");
             const std::string held = "old " + engine->lua("tostring(profile.isAchievementUnlocked('old'))");
             engine->lua("profile.unlockAchievement('new')");
             return held;
         }},
    };
    std::vector<std::string> journal;
    for (const Case& c : cases)
    {
        double seconds = startSeconds;
        std::string held;
        if (c.file != "vumo.cfg")
        {
            putHuge(user(c.file));
            began = Clock::now();
            try
            {
                held = c.recover();
            }
            catch (const quortypes::exception& e)
            {
                held = std::string("failed: ") + e.getMessage().c_str();
            }
            seconds = std::chrono::duration<double>(Clock::now() - began).count();
        }
        else
        {
            held = c.recover();
        }
        std::error_code error;
        const bool asideWhole = std::filesystem::file_size(user(c.file + ".damaged"), error) == hugeSize;
        const bool replaced = std::filesystem::file_size(user(c.file), error) < hugeSize;
        journal.push_back(std::string(c.name) + ": " + held + (asideWhole ? ", kept aside whole" : "") +
                          (replaced ? ", written anew" : "") +
                          (seconds < 10.0 ? "" : ", in " + std::to_string(seconds) + " s"));
    }
    EXPECT_EQ(journal, (std::vector<std::string>{
                           "configuration: title EngineTest, kept aside whole, written anew",
                           "variables: listed Anna, score 7, kept aside whole, written anew",
                           "achievements: old false, kept aside whole, written anew",
                       }));
    // The question about 'old' made its record afresh.
    EXPECT_EQ(harness::readFile(user("Cleo/achievements.bin")),
              pirk::encodeAchievementsStore({{"new", 100}, {"old", 0}}));
}
