// Saves of the player's state must leave every file whole, whatever moment the process dies at, and a
// save that fails must say so and keep the old file.
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pirk/OfflineAchievementsService.h>

#include "Variables.h"

#include "EngineTestSupport.h"

using enginetest::GameFolder;

namespace
{
    // Saves version 0 or 1 of the three files; the versions differ in every record and in size.
    class Saver
    {
    public:
        explicit Saver(const std::string& folder) : folder(folder)
        {
            vars.create("hero", "", true);
            vars.create("items", "", true);
            vars.captureDefaults();
            Session::setConfigValue("cfg.volume", "50");
            achievements.setFilename(folder + "achievements.bin");
            // Records of long names, so that the store is a few pages; updates write nothing.
            for (int i = 0; i < 50; ++i)
            {
                pirk::Achievement record(std::string(200, 'r') + std::to_string(i), 0.0f);
                achievements.updateAchievement(&record);
            }
        }

        void save(int version)
        {
            const std::string fill(version == 0 ? 20000 : 70000, version == 0 ? 'a' : 'b');
            vars.get("hero").set(fill);
            vars.get("items").set(std::to_string(version));
            vars.saveDiff(folder + "vars.diff");
            Session::setConfigValue("volume", fill);
            Session::saveUserConfig();
            // One write of the store either way.
            if (version == 0)
            {
                achievements.resetAchievements();
            }
            else
            {
                achievements.submitAchievement(new pirk::Achievement(std::string(200, 'r') + "7", 100.0f));
            }
        }

        std::string folder;
        VariableDictionary vars;
        pirk::OfflineAchievementsService achievements;
    };

    const char* const files[] = {"vars.diff", "vumo.cfg", "achievements.bin"};
} // namespace

TEST(CrashSafety, KilledSavesLeaveWholeFiles)
{
    GameFolder game;
    const std::string folder = Session::getUserFolder();
    std::string versions[3][2];
    {
        // The two contents of each file, and the first of them on disk before the kills start.
        Saver saver(folder);
        for (int version : {1, 0})
        {
            saver.save(version);
            for (int f = 0; f < 3; ++f)
            {
                versions[f][version] = enginetest::readFile(folder + files[f]);
            }
        }
    }
    for (int f = 0; f < 3; ++f)
    {
        ASSERT_NE(versions[f][0], versions[f][1]) << files[f];
    }
    std::mt19937 random(20261207);
    for (int kill = 0; kill < 200; ++kill)
    {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            Saver saver(folder);
            for (int i = 0;; ++i)
            {
                saver.save(i % 2);
            }
        }
        usleep(1000 + random() % 30000);
        ::kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself";
        for (int f = 0; f < 3; ++f)
        {
            std::string now = enginetest::readFile(folder + files[f]);
            ASSERT_TRUE(now == versions[f][0] || now == versions[f][1])
                << files[f] << " is " << now.size() << " bytes after kill " << kill;
        }
    }
}

TEST(CrashSafety, FailedSavesReportAndKeepTheOldFiles)
{
    GameFolder game;
    const std::string folder = Session::getUserFolder();
    std::string before[3];
    {
        Saver saver(folder);
        saver.save(0);
    }
    for (int f = 0; f < 3; ++f)
    {
        before[f] = enginetest::readFile(folder + files[f]);
    }
    // Every save runs into a file-size limit below the new contents' size. As root, permissions would
    // not stop a write; the limit does.
    EXPECT_EXIT(
        {
            signal(SIGXFSZ, SIG_IGN);
            Saver saver(folder);
            struct rlimit limit;
            limit.rlim_cur = limit.rlim_max = 4096;
            setrlimit(RLIMIT_FSIZE, &limit);
            int failures = 0;
            try
            {
                saver.vars.get("hero").set(std::string(70000, 'b'));
                saver.vars.saveDiff(folder + "vars.diff");
            }
            catch (quortypes::exception& e)
            {
                failures += e.getMessage().contains(folder + "vars.diff");
            }
            try
            {
                Session::setConfigValue("volume", std::string(70000, 'b'));
                Session::saveUserConfig();
            }
            catch (quortypes::exception& e)
            {
                failures += e.getMessage().contains(folder + "vumo.cfg");
            }
            try
            {
                saver.achievements.submitAchievement(new pirk::Achievement(std::string(70000, 'b'), 1.0f));
            }
            catch (quortypes::exception& e)
            {
                failures += e.getMessage().contains(folder + "achievements.bin");
            }
            _exit(failures);
        },
        testing::ExitedWithCode(3), "");
    for (int f = 0; f < 3; ++f)
    {
        EXPECT_EQ(enginetest::readFile(folder + files[f]), before[f]) << files[f];
    }
}
