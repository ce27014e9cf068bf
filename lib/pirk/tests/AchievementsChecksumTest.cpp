#include <filesystem>
#include <memory>

#include <pirk/AchievementsStore.h>
#include <pirk/OfflineAchievementsService.h>

#include "PirkTestSupport.h"

TEST(AchievementsChecksum, DamageTheLengthsCannotShowIsKeptAside)
{
    pirktest::ScratchDir dir;
    const std::string path = dir / "achievements.bin";
    const std::string whole = pirk::encodeAchievementsStore({{"duel_won", 100}});
    const std::string flipped = pirk::encodeAchievementsStore({{"duel_wo4", 100}});
    const std::string sums = pirk::encodeStoreChecksums({pirk::storeCrc(whole)});
    struct Case
    {
        const char* what;
        std::string store, checksums;
        bool damaged;
    } cases[] = {
        {"whole", whole, sums, false},
        {"a byte of a name flipped", flipped, sums, true},
        // Saves from before the check sums are judged by their lengths alone.
        {"no check sums", flipped, "none", false},
        // A crash between the two renames of a write leaves either store with sums naming both.
        {"the older of two", whole, pirk::encodeStoreChecksums({1234, pirk::storeCrc(whole)}), false},
        {"sums cut short", whole, sums.substr(0, 8), true},
        // The writer removes a store without records.
        {"an empty store", "", "none", true},
    };
    for (const Case& c : cases)
    {
        std::filesystem::remove(path + ".crc");
        dir.put("achievements.bin", c.store);
        if (c.checksums != "none")
        {
            dir.put("achievements.bin.crc", c.checksums);
        }
        {
            pirk::OfflineAchievementsService service;
            service.setFilename(path);
            service.submitAchievement(std::make_unique<pirk::Achievement>("other", 100.0f));
        }
        EXPECT_EQ(dir.read("achievements.bin.damaged") == c.store, c.damaged) << c.what;
        std::filesystem::remove(path + ".damaged");
        // What was written vouches for itself.
        EXPECT_EQ(dir.read("achievements.bin.crc"),
                  pirk::encodeStoreChecksums({pirk::storeCrc(dir.read("achievements.bin"))}))
            << c.what;
    }
}

TEST(AchievementsChecksum, ChangesAFailedWriteRefusedAreWrittenLater)
{
    pirktest::ScratchDir dir;
    const std::string path = dir / "later/achievements.bin";
    pirk::OfflineAchievementsService service;
    service.setFilename(path);
    service.submitAchievement(std::make_unique<pirk::Achievement>("a", 100.0f));
    EXPECT_TRUE(service.hasUnsavedRecords());
    // A reload would read back what the failed write was to replace.
    service.loadAchievements();
    EXPECT_EQ(service.getCompletedCount(), 1);
    EXPECT_THROW(service.writePendingStore(), quortypes::exception);
    std::filesystem::create_directories(dir / "later");
    service.writePendingStore();
    EXPECT_FALSE(service.hasUnsavedRecords());
    EXPECT_EQ(dir.read("later/achievements.bin"), pirk::encodeAchievementsStore({{"a", 100}}));
}
