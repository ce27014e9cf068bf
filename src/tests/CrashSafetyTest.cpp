// Saves of the player's state leave every file whole whatever moment the process dies at, and a save that
// fails says so and keeps the old file.
#include <csignal>
#include <memory>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <pirk/OfflineAchievementsService.h>

#include "Variables.h"

#include "EngineTestSupport.h"

using namespace vumo;

namespace
{
    const char* const files[] = {"vars.diff", "vumo.cfg", "achievements.bin"};

    // Saves version 0 or 1 of the three files, one write each; the versions differ in size and content.
    struct Saver
    {
        std::string folder = Session::getUserFolder();
        VariableDictionary vars;
        pirk::OfflineAchievementsService achievements;

        Saver()
        {
            vars.create("hero", "", true);
            Session::setConfigValue("cfg.volume", "50");
            achievements.setFilename(folder + "achievements.bin");
            // Records of long names make the store a few pages long; updates write nothing.
            for (int i = 0; i < 50; ++i)
            {
                pirk::Achievement record(std::string(200, 'r') + std::to_string(i), 0.0f);
                achievements.updateAchievement(&record);
            }
        }

        void save(int version)
        {
            const std::string fill(version == 0 ? 20000 : 70000, 'a' + version);
            vars.get("hero").set(fill);
            vars.saveDiff(folder + "vars.diff");
            Session::setConfigValue("volume", fill);
            Session::saveUserConfig();
            version == 0 ? achievements.resetAchievements()
                         : achievements.submitAchievement(
                               std::make_unique<pirk::Achievement>(std::string(200, 'r') + "7", 100.0f));
        }

        std::string read(int file) const { return enginetest::readFile(folder + files[file]); }
    };

    // Under a file-size limit below the new contents: how many of the three saves failed naming their file.
    // A submission only logs its failed write, so that a script goes on; the save asked for after it
    // throws.
    int failedSaves(Saver& saver)
    {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        const std::string big(70000, 'b');
        int named = 0;
        for (int f = 0; f < 3; ++f)
        {
            try
            {
                f == 0 ? (saver.vars.get("hero").set(big), saver.vars.saveDiff(saver.folder + files[f]))
                : f == 1
                    ? (Session::setConfigValue("volume", big), Session::saveUserConfig())
                    : (saver.achievements.submitAchievement(std::make_unique<pirk::Achievement>(big, 1.0f)),
                       saver.achievements.writePendingStore());
            }
            catch (quortypes::exception& e)
            {
                named += e.getMessage().contains("Unable to save file '" + saver.folder + files[f] + "'");
            }
        }
        return named;
    }
} // namespace

TEST(CrashSafety, KilledSavesLeaveWholeFiles)
{
    enginetest::GameFolder game;
    std::string versions[3][2];
    {
        Saver saver;
        for (int version : {1, 0})
        {
            saver.save(version);
            for (int f = 0; f < 3; ++f)
            {
                versions[f][version] = saver.read(f);
            }
        }
    }
    std::mt19937 random(20261207);
    for (int kill = 0; kill < 200; ++kill)
    {
        pid_t child = fork();
        if (child == 0)
        {
            Saver saver;
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
            std::string now = enginetest::readFile(Session::getUserFolder() + files[f]);
            ASSERT_TRUE(now == versions[f][0] || now == versions[f][1]) << files[f] << " after kill " << kill;
        }
    }
}

TEST(CrashSafety, FailedSavesReportAndKeepTheOldFiles)
{
    enginetest::GameFolder game;
    Saver saver;
    saver.save(0);
    const std::string before[3] = {saver.read(0), saver.read(1), saver.read(2)};
    // As root, permissions would not stop a write; the limit does.
    EXPECT_EXIT(_exit(failedSaves(saver)), testing::ExitedWithCode(3), "");
    for (int f = 0; f < 3; ++f)
    {
        EXPECT_EQ(saver.read(f), before[f]) << files[f];
        EXPECT_FALSE(std::filesystem::exists(saver.folder + files[f] + ".tmp")) << files[f];
    }
}
