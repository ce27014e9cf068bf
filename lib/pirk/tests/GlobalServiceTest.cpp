#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <pirk/OfflineAchievementsService.h>
#include <pirk/pirk.h>

#include "PirkTestSupport.h"

// The global service writes its store when destroy() ends it; a program that exits without destroy() leaves
// it alone, as it always has, rather than have it write during exit's static destruction.
TEST(GlobalService, WritesItsStoreWhenDestroyedAndNotWhenTheProgramJustExits)
{
    pirktest::ScratchDir dir;
    for (bool destroyFirst : {false, true})
    {
        const std::string path = dir / (destroyFirst ? "destroyed.bin" : "exited.bin");
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0)
        {
            auto service = std::make_unique<pirk::OfflineAchievementsService>();
            service->setFilename(path);
            service->submitAchievement(std::make_unique<pirk::Achievement>("a", 100.0f));
            std::filesystem::remove(path);
            std::filesystem::remove(path + ".crc");
            pirk::installAchievementsService(std::move(service));
            if (destroyFirst)
            {
                pirk::destroy();
            }
            std::exit(0);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << destroyFirst;
        EXPECT_EQ(std::filesystem::exists(path), destroyFirst) << destroyFirst;
    }
}
