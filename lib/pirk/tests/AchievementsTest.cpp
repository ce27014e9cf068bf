#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <pirk/AchievementsStore.h>
#include <pirk/OfflineAchievementsService.h>
#include <quortypes/FileBytes.h>

#include "PirkTestSupport.h"

using pirktest::Lines;

namespace
{
    std::string records(pirk::OfflineAchievementsService& service)
    {
        std::string result;
        for (auto& record : service.getRecords())
        {
            result += record.first + "=" + std::to_string((int)record.second->getProgress()) + ";";
        }
        return result;
    }
} // namespace

TEST(Achievements, StoreBytesProgressAndReset)
{
    pirktest::ScratchDir dir;
    const std::string path = dir / "achievements.bin";
    {
        pirk::OfflineAchievementsService service;
        service.setFilename(path);
        service.submitAchievement(std::make_unique<pirk::Achievement>("b", 100.0f));
        service.submitAchievement(service.createAchievement("a", 50.0f));
        EXPECT_EQ(dir.read("achievements.bin"), std::string("\x01\x00\x02\x00\x00\x00\x01\x00\x00\x00"
                                                            "a\x32\x00\x00\x00\x01\x00\x00\x00"
                                                            "b\x64\x00\x00\x00",
                                                            24));
        service.submitAchievement(std::make_unique<pirk::Achievement>("a", 99.6f));
        // A name never seen reads as 0 and joins the next write (here the destructor's).
        pirk::Achievement asked("c", 42.0f);
        EXPECT_TRUE(service.updateAchievement(&asked));
        EXPECT_EQ(asked.getProgress(), 0.0f);
    }
    pirk::OfflineAchievementsService service;
    service.setFilename(path);
    EXPECT_EQ(records(service), "a=99;b=100;c=0;");
    EXPECT_EQ(service.getCompletedCount(), 1);
    EXPECT_TRUE(pirk::Achievement("x", 99.995f).isCompleted());
    EXPECT_FALSE(pirk::Achievement("x", 101.0f).isCompleted());

    // Progress an int32 cannot hold is clamped when stored, never left to undefined conversion.
    service.submitAchievement(std::make_unique<pirk::Achievement>("d", std::nanf("")));
    service.submitAchievement(std::make_unique<pirk::Achievement>("e", 1e20f));
    EXPECT_EQ(dir.read("achievements.bin").substr(38),
              std::string("\0\0\0\0\x01\0\0\0e\xff\xff\xff\x7f", 13));
    service.resetAchievements();
    EXPECT_EQ(records(service), "a=0;b=0;c=0;d=0;e=0;");
    EXPECT_EQ(dir.read("achievements.bin").size(), 51u);
    // No records at all: the file goes.
    pirk::OfflineAchievementsService none;
    none.setFilename(dir / "none.bin");
    dir.put("none.bin", "");
    none.resetAchievements();
    EXPECT_FALSE(std::filesystem::exists(dir / "none.bin"));
}

TEST(Achievements, DamagedStoresAndFailedWrites)
{
    pirktest::ScratchDir dir;
    const std::string valid = pirk::encodeAchievementsStore({{"a", 50}, {"bb", 100}});
    dir.put("achievements.bin", valid.substr(0, valid.size() - 1));
    pirktest::LogCapture log;
    {
        pirk::OfflineAchievementsService service;
        service.setFilename(dir / "achievements.bin");
        EXPECT_EQ(records(service), "a=50;");
        EXPECT_EQ(log.take(), Lines{"WARNING: Achievements file '" + dir / "achievements.bin" +
                                    "' is damaged, 1 records kept"});
        // A write that fails is logged, by a submission as by the destructor; the record stands.
        service.setFilename(dir / "gone/achievements.bin");
        EXPECT_NO_THROW(service.submitAchievement(std::make_unique<pirk::Achievement>("b", 100.0f)));
        EXPECT_EQ(records(service), "b=100;");
    }
    Lines lines = log.take();
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines)
    {
        EXPECT_EQ(line.rfind("ERROR: ", 0), 0u) << line;
        EXPECT_NE(line.find("Unable to save file '" + dir / "gone/achievements.bin"), std::string::npos);
    }
}

TEST(Achievements, CountsThatDisagreeWithTheBytesAreDamage)
{
    const std::string one = pirk::encodeAchievementsStore({{"a", 50}});
    const std::string record = one.substr(6);
    struct Case
    {
        const char* what;
        std::string bytes;
        size_t records;
        bool damaged;
    } cases[] = {
        // The writer removes a store without records: an empty one lost them.
        {"empty file", "", 0, true},
        {"count 0, nothing behind", std::string("\x01\x00\x00\x00\x00\x00", 6), 0, false},
        {"count 0, a record behind", std::string("\x01\x00\x00\x00\x00\x00", 6) + record, 0, true},
        {"negative count", std::string("\x01\x00\xff\xff\xff\xff", 6), 0, true},
        {"negative count, a record behind", std::string("\x01\x00\xff\xff\xff\xff", 6) + record, 0, true},
        {"one record", one, 1, false},
        {"a record behind the count", one + record, 1, true},
        {"one stray byte behind", one + "x", 1, true},
    };
    for (const Case& c : cases)
    {
        bool damaged = !c.damaged;
        EXPECT_EQ(pirk::decodeAchievementsStore(c.bytes, damaged).size(), c.records) << c.what;
        EXPECT_EQ(damaged, c.damaged) << c.what;
    }
}

TEST(Achievements, ADamagedStoreIsKeptAsideBeforeTheNextWrite)
{
    pirktest::ScratchDir dir;
    const std::string path = dir / "achievements.bin";
    const std::string first = pirk::encodeAchievementsStore({{"a", 100}}) + "trailing";
    dir.put("achievements.bin", first);
    pirktest::LogCapture log;
    {
        pirk::OfflineAchievementsService service;
        service.setFilename(path);
        EXPECT_EQ(records(service), "a=100;");
        log.take();
        service.submitAchievement(std::make_unique<pirk::Achievement>("b", 100.0f));
        EXPECT_EQ(log.take(), Lines{"WARNING: Achievements file '" + path + "' was damaged, kept aside as '" +
                                    path + ".damaged'"});
        EXPECT_EQ(dir.read("achievements.bin.damaged"), first);
        EXPECT_EQ(dir.read("achievements.bin"), pirk::encodeAchievementsStore({{"a", 100}, {"b", 100}}));
        // Kept aside once: later writes leave the copy alone.
        service.submitAchievement(std::make_unique<pirk::Achievement>("c", 100.0f));
        EXPECT_EQ(log.take(), Lines{});
        EXPECT_EQ(dir.read("achievements.bin.damaged"), first);
    }
    // A newer damaged store replaces the older copy, also when no records are left to write.
    const std::string second = std::string("\x01\x00\x00\x00\x00\x00", 6) + "x";
    dir.put("achievements.bin", second);
    {
        pirk::OfflineAchievementsService service;
        service.setFilename(path);
        EXPECT_EQ(records(service), "");
    }
    EXPECT_EQ(dir.read("achievements.bin.damaged"), second);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Achievements, AStoreThatCannotBeReadIsNeverWritten)
{
    pirktest::ScratchDir dir;
    // A folder where the file should be reads like a drive that fails, even for root.
    const std::string path = dir / "achievements.bin";
    dir.put("achievements.bin/inside", "keep");
    {
        pirk::OfflineAchievementsService service;
        try
        {
            service.setFilename(path);
            ADD_FAILURE() << "no exception";
        }
        catch (const quortypes::exception& e)
        {
            EXPECT_NE(e.getMessage().find("Unable to read achievements file '" + path + "': Is a directory"),
                      std::string::npos)
                << e.getMessage();
        }
        EXPECT_THROW(service.submitAchievement(std::make_unique<pirk::Achievement>("a", 100.0f)),
                     quortypes::exception);
        EXPECT_THROW(service.resetAchievements(), quortypes::exception);
    }
    EXPECT_EQ(dir.read("achievements.bin/inside"), "keep");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

// A link to a device and a named pipe where the file should be: no records, nothing read from them, and
// each goes aside at the next write as a damaged store does.
TEST(Achievements, AStoreThatIsNoFileGoesAsideAtTheNextWrite)
{
    const std::vector<std::pair<std::string, std::function<void(const std::string&)>>> cases = {
        {"link to /dev/zero",
         [](const std::string& path) { std::filesystem::create_symlink("/dev/zero", path); }},
        {"named pipe", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
    };
    for (const auto& c : cases)
    {
        pirktest::ScratchDir dir;
        const std::string path = dir / "achievements.bin";
        c.second(path);
        pirktest::LogCapture log;
        pirk::OfflineAchievementsService service;
        ASSERT_NO_THROW(service.setFilename(path)) << c.first;
        EXPECT_EQ(records(service), "") << c.first;
        EXPECT_EQ(log.take(),
                  Lines{"WARNING: Achievements file '" + path + "' is not a regular file, no records kept"})
            << c.first;
        service.submitAchievement(std::make_unique<pirk::Achievement>("a", 100.0f));
        EXPECT_EQ(log.take(), Lines{"WARNING: Achievements file '" + path + "' was damaged, kept aside as '" +
                                    path + ".damaged'"})
            << c.first;
        EXPECT_FALSE(std::filesystem::is_regular_file(path + ".damaged")) << c.first;
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(path + ".damaged"))) << c.first;
        EXPECT_EQ(dir.read("achievements.bin"), pirk::encodeAchievementsStore({{"a", 100}})) << c.first;
    }
}

// Names registered in one or several calls keep the first of each, in the order first given; a list as long
// as a big game's still comes out whole.
TEST(Achievements, RegisteredNamesKeepTheFirstOfEachInOrder)
{
    struct Case
    {
        const char* name;
        std::vector<harray<hstring>> calls;
        harray<hstring> expected;
    };
    const Case cases[] = {
        {"one call", {{"a", "b", "a", "c"}}, {"a", "b", "c"}},
        {"two calls", {{"a", "b"}, {"b", "c", "a", "d"}}, {"a", "b", "c", "d"}},
        {"empty and near names", {{"", "ab", "a", "", "abc", "ab"}}, {"", "ab", "a", "abc"}},
    };
    for (const Case& c : cases)
    {
        pirk::OfflineAchievementsService service;
        for (const harray<hstring>& names : c.calls)
        {
            service.registerAchievementNames(names);
        }
        EXPECT_EQ(service.getAchievementNames(), c.expected) << c.name;
    }

    harray<hstring> many;
    harray<hstring> expected;
    for (int i = 0; i < 40000; ++i)
    {
        // Every tenth name repeats the one before it.
        many.push_back("achievement_" + hstring(i % 10 == 9 ? i - 1 : i));
        if (i % 10 != 9)
        {
            expected.push_back(many.back());
        }
    }
    pirk::OfflineAchievementsService service;
    service.registerAchievementNames(many);
    EXPECT_EQ(service.getAchievementNames(), expected);
}

// A store is read within the bound of a player's file, so a record is refused that would take it past the
// bound: the store's read counts each record's bytes as its write does, to the byte, also for records a
// load brought.
TEST(Achievements, ARecordIsRefusedThatWouldTakeTheStorePastTheBound)
{
    pirktest::ScratchDir dir;
    const std::string path = dir / "achievements.bin";
    // The header (6 bytes), "a" (9) and one record that fills the store to the bound.
    const std::string fits(quortypes::maxPlayerFileBytes - 6 - 9 - 8, 'f');
    {
        pirk::OfflineAchievementsService service;
        service.setFilename(path);
        service.submitAchievement(std::make_unique<pirk::Achievement>("a", 100.0f));
        service.submitAchievement(std::make_unique<pirk::Achievement>(fits, 100.0f));
    }
    EXPECT_EQ(std::filesystem::file_size(path), quortypes::maxPlayerFileBytes);
    const std::string stored = dir.read("achievements.bin");
    pirk::OfflineAchievementsService service;
    service.setFilename(path);
    EXPECT_EQ(service.getCompletedCount(), 2);
    std::string refused;
    for (auto ask :
         std::vector<std::function<void()>>{
             [&] { service.submitAchievement(std::make_unique<pirk::Achievement>("b", 100.0f)); },
             [&]
             {
                 pirk::Achievement question("b", 0.0f);
                 service.updateAchievement(&question);
             }})
    {
        try
        {
            ask();
        }
        catch (const quortypes::exception& e)
        {
            const std::string text = e.getMessage().c_str();
            refused += text.substr(text.find("] ") + 2) + "\n";
        }
    }
    const std::string message = "Unable to keep achievement 'b': its record would take '" + path + "' to " +
                                std::to_string(quortypes::maxPlayerFileBytes + 9) +
                                " bytes, past the 16777216 bytes the file may hold\n";
    EXPECT_EQ(refused, message + message);
    EXPECT_EQ(service.getRecords().size(), 2u);
    // A known name is no new record.
    service.submitAchievement(std::make_unique<pirk::Achievement>("a", 50.0f));
    EXPECT_EQ(dir.read("achievements.bin").size(), stored.size());
}
