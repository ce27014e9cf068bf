#include <memory>

#include <pirk/AchievementsStore.h>
#include <pirk/OfflineAchievementsService.h>
#include <pirk/pirk.h>

#include "PirkTestSupport.h"

using pirktest::Lines;
using pirktest::LogCapture;
using pirktest::ScratchDir;

namespace
{
    // Notes every call as "call error message [name progress]".
    class Journal : public pirk::AchievementsServiceDelegate
    {
    public:
        Lines calls;
        void onAuthenticated(int error, const hstring& message) override
        {
            note("authenticated", error, message);
        }
        void onAchievementsLoaded(int error, const hstring& message) override
        {
            note("loaded", error, message);
        }
        void onAchievementSubmitted(int error, const hstring& message,
                                    pirk::Achievement* achievement) override
        {
            note("submitted", error, message + " " + achievement->getName());
            delete achievement;
        }
        void onAchievementsReset(int error, const hstring& message) override
        {
            note("reset", error, message);
        }

    private:
        void note(const char* call, int error, const hstring& message)
        {
            calls.push_back(std::string(call) + " " + std::to_string(error) + " " + message);
        }
    };

    class Plain : public pirk::AchievementsService
    {
    public:
        hstring getName() override { return "Plain"; }
    };

    std::string records(pirk::OfflineAchievementsService& service)
    {
        std::string result;
        for (auto& record : service.getRecords())
        {
            result += record.first + "=" + std::to_string(record.second->getProgress()).substr(0, 5) + ";";
        }
        return result;
    }
} // namespace

TEST(Achievements, StoreBytesProgressAndReset)
{
    ScratchDir dir;
    const std::string path = dir / "achievements.bin";
    {
        pirk::OfflineAchievementsService service;
        service.setFilename(path);
        EXPECT_TRUE(service.isLoaded());
        service.submitAchievement(new pirk::Achievement("b", 100.0f));
        service.submitAchievement(service.createAchievement("a", 50.0f));
        EXPECT_EQ(dir.read("achievements.bin"), std::string("\x01\x00\x02\x00\x00\x00"
                                                            "\x01\x00\x00\x00"
                                                            "a\x32\x00\x00\x00"
                                                            "\x01\x00\x00\x00"
                                                            "b\x64\x00\x00\x00",
                                                            24));
        EXPECT_EQ(service.getCompletedCount(), 1);
        service.submitAchievement(new pirk::Achievement("a", 99.6f));
        // A name never seen reads as 0 and joins the next write.
        pirk::Achievement asked("c", 42.0f);
        EXPECT_TRUE(service.updateAchievement(&asked));
        EXPECT_EQ(asked.getProgress(), 0.0f);
    }
    pirk::OfflineAchievementsService service;
    service.setFilename(path);
    EXPECT_EQ(records(service), "a=99.00;b=100.0;c=0.000;");
    EXPECT_EQ(service.getCompletedCount(), 1);

    service.resetAchievements();
    EXPECT_EQ(records(service), "a=0.000;b=0.000;c=0.000;");
    EXPECT_EQ(dir.read("achievements.bin").size(), 33u);

    // A service without records deletes the file instead of writing an empty one.
    pirk::OfflineAchievementsService empty;
    empty.setFilename(dir / "none.bin");
    dir.put("none.bin", "");
    empty.resetAchievements();
    EXPECT_FALSE(std::filesystem::exists(dir / "none.bin"));
}

TEST(Achievements, CompletionAndNames)
{
    EXPECT_TRUE(pirk::Achievement("x", 99.995f).isCompleted());
    EXPECT_TRUE(pirk::Achievement("x", 100.0f).isCompleted());
    EXPECT_FALSE(pirk::Achievement("x", 101.0f).isCompleted());
    EXPECT_FALSE(pirk::Achievement("x", 99.98f).isCompleted());
    Plain plain;
    plain.registerAchievementNames({"a", "b", "a"});
    plain.registerAchievementNames({"c", "b"});
    EXPECT_EQ(plain.getAchievementNames(), (harray<hstring>{"a", "b", "c"}));
}

TEST(Achievements, BaseServiceReportsSuccessAndWarns)
{
    Plain plain;
    LogCapture log;
    // Without a delegate a submitted achievement is freed all the same.
    plain.submitAchievement(new pirk::Achievement("lost", 1.0f));
    Journal journal;
    plain.setDelegate(&journal);
    plain.authenticate();
    plain.loadAchievements();
    plain.submitAchievement(new pirk::Achievement("door", 100.0f));
    plain.resetAchievements();
    EXPECT_FALSE(plain.updateAchievement(nullptr));
    EXPECT_EQ(journal.calls, (Lines{"authenticated 0 No error", "loaded 0 No error",
                                    "submitted 0 No error door", "reset 0 No error"}));
    EXPECT_EQ(log.take(), (Lines{"WARNING: Achievement not submitted!", "WARNING: Achievement not submitted!",
                                 "WARNING: Achievements not actually reset!"}));

    // The offline service tells of loading and authentication only.
    ScratchDir dir;
    pirk::OfflineAchievementsService offline;
    Journal heard;
    offline.setDelegate(&heard);
    offline.setFilename(dir / "achievements.bin");
    offline.authenticate();
    offline.submitAchievement(new pirk::Achievement("door", 100.0f));
    offline.resetAchievements();
    EXPECT_EQ(heard.calls, (Lines{"loaded 0 No error", "authenticated 0 "}));
    EXPECT_EQ(log.take(), Lines{});
}

TEST(Achievements, GlobalServiceLifecycle)
{
    ScratchDir dir;
    LogCapture log;
    EXPECT_FALSE(pirk::hasAchievementsService());
    pirk::init();
    EXPECT_TRUE(pirk::isInitialized());
    pirk::AchievementsService* service = pirk::getAchievementsService();
    EXPECT_EQ(service->getName(), "OfflineAchievementsService");
    EXPECT_EQ(pirk::getAchievementsService(), service);
    service->setFilename(dir / "achievements.bin");
    service->updateAchievement(std::make_unique<pirk::Achievement>("seen", 3.0f).get());
    // Destroying writes the store, record made by the update included.
    pirk::destroy();
    EXPECT_FALSE(pirk::hasAchievementsService());
    EXPECT_EQ(log.take(), (Lines{"Initializing PIRK.",
                                 "WARNING: 'getAchievementsService()' called before initialization, calling "
                                 "instantiateBestAchievementsService() with no arguments.",
                                 "Destroying PIRK."}));
    EXPECT_EQ(dir.read("achievements.bin"),
              std::string("\x01\x00\x01\x00\x00\x00\x04\x00\x00\x00seen\x00\x00\x00\x00", 18));
}

TEST(Achievements, FailedWritesThrowButNeverFromTheDestructor)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir / "profile");
    LogCapture log;
    {
        pirk::OfflineAchievementsService service;
        service.setFilename(dir / "profile/achievements.bin");
        service.submitAchievement(new pirk::Achievement("a", 100.0f));
        std::filesystem::remove_all(dir / "profile");
        EXPECT_THROW(service.submitAchievement(new pirk::Achievement("b", 100.0f)), quortypes::exception);
    }
    // The destructor's failed write is logged, never thrown.
    Lines lines = log.take();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("ERROR: "), std::string::npos);
    EXPECT_NE(lines[0].find("Unable to save file '" + dir / "profile/achievements.bin" + "'"),
              std::string::npos);
}

TEST(AchievementsStore, DamagedFilesKeepTheWholeRecordsBefore)
{
    const std::string valid = pirk::encodeAchievementsStore({{"a", 50}, {"bb", 100}});
    bool damaged = true;
    EXPECT_EQ(pirk::decodeAchievementsStore(valid, damaged).size(), 2u);
    EXPECT_FALSE(damaged);
    EXPECT_TRUE(pirk::decodeAchievementsStore("", damaged).empty());
    EXPECT_FALSE(damaged);
    // Every cut keeps exactly the records that lie whole before it.
    for (size_t cut = 1; cut < valid.size(); ++cut)
    {
        size_t expected = cut >= 15 ? 1 : 0;
        EXPECT_EQ(pirk::decodeAchievementsStore(valid.substr(0, cut), damaged).size(), expected) << cut;
        EXPECT_TRUE(damaged) << cut;
    }
    // Counts of zero or below mean no records; the leading bytes may be anything.
    EXPECT_TRUE(pirk::decodeAchievementsStore(std::string("\xff\xff\xff\xff\xff\xff", 6), damaged).empty());
    EXPECT_FALSE(damaged);

    // The file itself: a warning naming it, and the record before the damage.
    ScratchDir dir;
    dir.put("achievements.bin", valid.substr(0, valid.size() - 1));
    LogCapture log;
    pirk::OfflineAchievementsService service;
    service.setFilename(dir / "achievements.bin");
    EXPECT_EQ(records(service), "a=50.00;");
    EXPECT_EQ(log.take(), Lines{"WARNING: Achievements file '" + dir / "achievements.bin" +
                                "' is damaged, 1 records kept"});
}
