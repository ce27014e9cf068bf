// The four readers of player-writable files on damaged input: every truncation of a valid file, seeded
// byte flips and lying counts must read without crashing, without reading past the bytes (the sanitizers
// watch that) and without allocations that grow with a count instead of with the file.
#include <cstdlib>
#include <new>
#include <random>

#include <pirk/AchievementsStore.h>
#include <pirk/Cfg.h>

#include "Variables.h"

#include "EngineTestSupport.h"

namespace
{
    bool watching = false;
    size_t largest = 0;
} // namespace

void* operator new(size_t size)
{
    if (watching && size > largest)
    {
        largest = size;
    }
    void* block = std::malloc(size > 0 ? size : 1);
    if (block == nullptr)
    {
        throw std::bad_alloc();
    }
    return block;
}

// The standard library allocates some buffers through the nothrow form (stable_sort does): it must come
// from the same heap as the delete above.
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size > 0 ? size : 1);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, size_t) noexcept
{
    std::free(block);
}

namespace
{
    typedef void (*Reader)(const std::string& bytes);

    void readConfig(const std::string& bytes)
    {
        try
        {
            Session::parseConfigText(bytes);
        }
        catch (quortypes::exception&)
        {
        }
    }

    void readDiff(const std::string& bytes)
    {
        VariableDictionary vars;
        vars.create("a", "1", true);
        vars.applyDiff(bytes, "vars.diff", true, true, true);
        vars.applyDiff(bytes, "vars.diff", false, true, false);
    }

    void readStore(const std::string& bytes)
    {
        bool damaged = false;
        pirk::decodeAchievementsStore(bytes, damaged);
    }

    void readCfg(const std::string& bytes)
    {
        pirk::parseCfg(bytes);
    }

    // Runs the reader and gives its largest single allocation.
    size_t largestAllocation(Reader reader, const std::string& bytes)
    {
        largest = 0;
        watching = true;
        reader(bytes);
        watching = false;
        return largest;
    }

    // Linear in the size: a file of nothing but line ends makes one array entry per byte.
    size_t allowed(const std::string& bytes)
    {
        return 64 * bytes.size() + 1024;
    }

    void checkDamage(Reader reader, const std::string& valid)
    {
        for (size_t cut = 0; cut <= valid.size(); ++cut)
        {
            std::string bytes = valid.substr(0, cut);
            EXPECT_LE(largestAllocation(reader, bytes), allowed(bytes)) << "cut at " << cut;
        }
        std::mt19937 random(16);
        for (int run = 0; run < 2000; ++run)
        {
            std::string bytes = valid;
            for (int flips = 1 + random() % 4; flips > 0; --flips)
            {
                bytes[random() % bytes.size()] ^= (char)(1 + random() % 255);
            }
            EXPECT_LE(largestAllocation(reader, bytes), allowed(bytes)) << "run " << run;
        }
    }

    std::string uint32Bytes(uint32_t value)
    {
        return std::string{(char)(value & 0xFF), (char)(value >> 8 & 0xFF), (char)(value >> 16 & 0xFF),
                           (char)(value >> 24)};
    }
} // namespace

TEST(DamagedFiles, ConfigurationAndCfgTexts)
{
    checkDamage(&readConfig, "title: Demo\r\n[video]\nwidth: 800\n# c\n-- c\n[]\nlang/de.font: a: b\n");
    checkDamage(&readCfg, "[Game]:x\nUrlStore:a:b\n  # c\n[Other]\nk: v\r\n[]\n[bad\n");
}

TEST(DamagedFiles, VariablesDiff)
{
    VariableDictionary vars;
    vars.create("a", "1", true);
    vars.create("b", "2", true);
    vars.captureDefaults();
    vars.get("a").set("x: y");
    vars["c"].set("3");
    checkDamage(&readDiff, vars.writeDiff());
    checkDamage(&readDiff, "crc: ignore\r\n# c\na: 1\r\n: \n");
}

TEST(DamagedFiles, AchievementsStoreWithLyingCounts)
{
    const std::string valid = pirk::encodeAchievementsStore({{"a", 50}, {"door", 100}, {"key", 0}});
    checkDamage(&readStore, valid);
    // A huge count or name length over a few bytes: nothing in proportion to them is allocated.
    const std::string liars[] = {
        std::string("\x01\x00", 2) + uint32Bytes(0x7FFFFFFF) + uint32Bytes(1) + "a" + uint32Bytes(5),
        std::string("\x01\x00", 2) + uint32Bytes(1) + uint32Bytes(0xFFFFFFFF) + "abc",
        std::string("\x01\x00", 2) + uint32Bytes(2) + uint32Bytes(0x7FFFFFFF) + "abc",
        std::string("\x01\x00", 2) + uint32Bytes(0x80000000) + uint32Bytes(1) + "a" + uint32Bytes(5),
    };
    const size_t kept[] = {1, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
    {
        bool damaged = false;
        EXPECT_LE(largestAllocation(&readStore, liars[i]), allowed(liars[i])) << i;
        EXPECT_EQ(pirk::decodeAchievementsStore(liars[i], damaged).size(), kept[i]) << i;
        EXPECT_EQ(damaged, i < 3) << i;
    }
}
