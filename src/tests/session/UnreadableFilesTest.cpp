#include <cerrno>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "Config.h"
#include "EngineHarness.h"
#include "Profile.h"
#include "Variables.h"

using namespace vumo;

namespace
{
    // A started engine with two profiles, "Anna" (a backup of score 7, a diff of score 8, an achievement)
    // and "Bob", the active one, whose files the tests make unreadable as another user's files are. The
    // file layer's injected failure stands in for the permission, which root, running the tests, passes.
    class UnreadableFiles : public harness::GameTest
    {
    protected:
        void SetUp() override
        {
            harness::forgetSession();
            folder.config("cfg.music: 50\n");
            folder.put("data/ui/ui.dts", "<Dataset/>");
            engine.reset(new harness::Engine(folder));
            engine->start();
            harness::createGameVariable("score", "0");
            Profile::changeProfile(Profile::create("Anna"));
            setScore("7");
            engine->lua("profile.unlockAchievement('kept')");
            Session::getProfile()->saveToFile();
            setScore("8");
            Session::getProfile()->saveToFile();
            Profile::changeProfile(Profile::create("Bob"));
        }
        std::string user(const std::string& name) { return folder.userFile("EngineTest", name); }
        void setScore(const hstring& value)
        {
            VariableDictionary::getGlobal().get("score").setValue(value, true);
        }
        // Every file of the per-user folder with its bytes, so that anything moved, made or written shows.
        std::string files()
        {
            std::string listed;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(user("")))
            {
                if (entry.is_regular_file() && entry.path().filename() != "game.log" &&
                    entry.path().string().find(".hlog") == std::string::npos)
                {
                    listed += entry.path().string() + "=" + harness::readFile(entry.path().string()) + ";";
                }
            }
            return listed;
        }
    };
} // namespace

// A file of the player's that is there but cannot be read is not damaged: it was moved aside as
// "<name>.damaged" and the profile opened from its backup, one save older, or the settings started afresh
// and were written over. Now the profile is not opened, with the reason, the settings start from the game's
// and are not saved until they can be read, and nothing is moved, made or written.
TEST_F(UnreadableFiles, AFileThatCannotBeReadIsNotDamagedAndStaysAsItIs)
{
    struct Case
    {
        const char* name;
        const char* file;
        // Runs what reads the file; says how it ended.
        std::function<std::string()> read;
        // Runs before the file becomes unreadable.
        std::function<void()> prepare = [] {};
    };
    const auto change = []
    {
        try
        {
            Profile::changeProfile("Anna");
            return std::string("opened");
        }
        catch (const quortypes::exception& e)
        {
            return std::string(e.getMessage().c_str());
        }
    };
    const Case cases[] = {
        {"a profile's diff", "Anna/vars.diff", change},
        {"a profile's backup, its diff damaged", "Anna/vars.diff.backup",
         [&]
         {
             const std::string diff = harness::readFile(user("Anna/vars.diff"));
             folder.put(user("Anna/vars.diff").substr(folder.path.size() + 1), "crc: 0\nscore: 9\n");
             const std::string result = change();
             folder.put(user("Anna/vars.diff").substr(folder.path.size() + 1), diff);
             return result;
         }},
        {"a profile's achievements", "Anna/achievements.bin", change},
        {"their check sums", "Anna/achievements.bin.crc", change},
        {"the player's settings", "vumo.cfg",
         [&]
         {
             const bool loaded = Session::loadConfig(false);
             return std::string(loaded ? "loaded" : "not loaded") + ", music " +
                    Session::getConfigValue("music").c_str() + ", " + engine->failure("cfg.save()", "saved");
         }},
        // Last: the profile stays open.
        {"the diff of the open profile", "Anna/vars.diff",
         [&]
         {
             setScore("9");
             try
             {
                 Session::getProfile()->saveToFile();
                 return std::string("saved");
             }
             catch (const quortypes::exception& e)
             {
                 return std::string(e.getMessage().c_str());
             }
         },
         [] { Profile::changeProfile("Anna"); }},
    };
    std::vector<std::string> journal;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.prepare();
        const std::string before = files();
        std::string outcome;
        {
            const harness::FileFault unreadable("read", user(c.file), EACCES);
            outcome = c.read();
        }
        // The reason and what was not done, as the player reads it.
        const std::string reason = "Unable to read file '" + user(c.file) + "': Permission denied";
        const std::string achievementsReason =
            "Unable to read achievements file '" + user(c.file) + "': Permission denied";
        for (const std::string& said : {reason, achievementsReason})
        {
            const size_t at = outcome.find(said);
            if (at != std::string::npos)
            {
                outcome = outcome.substr(0, at) + "<reason>" + outcome.substr(at + said.size());
            }
        }
        // The places in the engine's source that threw.
        outcome = std::regex_replace(outcome, std::regex("\\[\\w+\\.cpp:\\d+\\] "), "");
        journal.push_back(std::string(c.name) + ": " + outcome.substr(0, 300) +
                          (files() == before ? "" : ", files changed") + ", active " +
                          Session::getProfile()->getFolder().c_str());
    }
    const std::string notOpened = "<reason>; profile 'Anna' was not opened. Its files were left as they are: "
                                  "make the file readable, then "
                                  "choose the profile again., active Bob";
    const std::string storeNotOpened =
        "<reason>; profile 'Anna' was not opened. Make the file readable, or move it out of the profile's "
        "folder to start its achievements afresh, then choose the profile again., active Bob";
    EXPECT_EQ(journal,
              (std::vector<std::string>{
                  "a profile's diff: " + notOpened,
                  "a profile's backup, its diff damaged: " + notOpened,
                  "a profile's achievements: " + storeNotOpened,
                  "their check sums: " + storeNotOpened,
                  "the player's settings: loaded, music 50, Unable to save the player's settings, "
                  "their file could not be read at the last load (<reason>): it is left as it is "
                  "until a load reads it, active Bob",
                  "the diff of the open profile: Unable to save profile 'Anna': <reason>, and it is left "
                  "as it is, active Anna",
              }));
    // Readable again, each is read as it was.
    EXPECT_EQ(engine->failure("cfg.load() cfg.save()"), "ok");
    Profile::changeProfile("Bob");
    Profile::changeProfile("Anna");
    EXPECT_EQ(VariableDictionary::getGlobal().get("score").value() +
                  engine->lua("tostring(profile.isAchievementUnlocked('kept'))"),
              "9true");
}
