#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <pirk/AchievementsStore.h>
#include <quortypes/FileBytes.h>

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

// The other way round: what would take a state file past that bound is refused when it is set, or when the
// save would write it, with an error naming the file and the bound; the files on disk stay the last good
// ones, and the next load reads them. A 17 MB variable made two saves report success and the next load open
// the backup; a 17 MB achievement name was unlocked and every achievement locked again at the next load; a
// profile of a 9 MB name got a folder that never opened; a user setting of 17 MB lost every setting. A save
// whose "profile_dir" a script changed was taken for another profile's copy at the next load, as well.
TEST_F(StateFileBounds, WhatTheNextLoadWouldRefuseIsRefusedAndTheFilesStay)
{
    folder.config("cfg.music: 50\n");
    folder.put("data/ui/ui.dts", "<Dataset/>");
    engine.reset(new harness::Engine(folder));
    engine->start();
    harness::createGameVariable("score", "0");
    harness::createGameVariable("a", "");
    harness::createGameVariable("b", "");
    Profile::changeProfile(Profile::create("Anna"));
    setScore("7");
    EXPECT_EQ(engine->lua("profile.unlockAchievement('kept')"), "true");
    Session::getProfile()->saveToFile();
    setScore("8");
    Session::getProfile()->saveToFile();
    engine->lua("cfg.save()");
    const std::vector<std::string> files = {"Anna/vars.diff", "Anna/vars.diff.backup",
                                            "Anna/achievements.bin", "Anna/achievements.bin.crc", "vumo.cfg"};
    const auto contents = [&]
    {
        std::vector<std::string> held;
        for (const std::string& file : files)
        {
            held.push_back(harness::readFile(user(file)));
        }
        return held;
    };
    const auto folders = [&]
    {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(user("")))
        {
            count += entry.is_directory() ? 1 : 0;
        }
        return count;
    };
    // Megabytes at a time: string.rep of one byte adds them one by one.
    LuaInterface::execute("function big(c, megabytes) return string.rep(string.rep(c, 2^20), megabytes) end");
    const std::vector<std::string> before = contents();
    const int foldersBefore = folders();

    struct Case
    {
        const char* name;
        const char* script;
        // The file the error names.
        std::string file;
        // And the bound, or else what to mend.
        std::string bound = std::to_string(quortypes::maxPlayerFileBytes);
    };
    const Case cases[] = {
        {"a variable's value", "vars.a = big('x', 17)", "'vars.diff'"},
        {"values the save adds up",
         "vars.a = big('x', 9) vars.b = big('y', 9) "
         "profile.sync() profile.save()",
         "'" + user("Anna/vars.diff") + "'"},
        {"an achievement's name", "profile.unlockAchievement(big('n', 17))",
         "'" + user("Anna/achievements.bin") + "'"},
        {"the question of an achievement", "profile.isAchievementUnlocked(big('n', 17))",
         "'" + user("Anna/achievements.bin") + "'"},
        {"a profile's name", "profile.create(big('p', 9))", "'vars.diff'"},
        {"a user setting", "cfg.music = big('m', 17)", "'" + user("vumo.cfg") + "'"},
        {"a user setting's declaration", "cfg.rawset('cfg.' .. big('d', 17), '1')",
         "'" + user("vumo.cfg") + "'"},
        // The next load would take the file for another profile's copy and open the backup.
        {"the profile's folder variable", "vars.profile_dir = 'Bob' profile.sync() profile.save()",
         "Unable to save profile 'Anna'", "set it back to 'Anna'"},
    };
    std::vector<std::string> journal;
    for (const Case& c : cases)
    {
        const std::string error = engine->failure(c.script);
        std::string entry = std::string(c.name) + ":";
        if (error.find(c.file) == std::string::npos || error.find(c.bound) == std::string::npos)
        {
            entry += " " + error.substr(0, 300);
        }
        entry += contents() == before ? "" : " files changed";
        entry += folders() == foldersBefore ? "" : " folder made";
        journal.push_back(entry);
        LuaInterface::execute("vars.a = '' vars.b = '' vars.profile_dir = 'Anna' profile.sync() cfg.save()");
    }
    EXPECT_EQ(journal, (std::vector<std::string>{
                           "a variable's value:",
                           "values the save adds up:",
                           "an achievement's name:",
                           "the question of an achievement:",
                           "a profile's name:",
                           "a user setting:",
                           "a user setting's declaration:",
                           "the profile's folder variable:",
                       }));
    // What a save took before is what the next load reads.
    Profile::changeProfile(Profile::create("Bob"));
    Profile::changeProfile("Anna");
    EXPECT_EQ(var("score") + engine->lua("tostring(profile.isAchievementUnlocked('kept'))"), "8true");
    EXPECT_EQ(harness::readFile(user("vumo.cfg")), "music: 50\n");
}
