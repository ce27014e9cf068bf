// The four readers of files a player can damage, on every truncation of a valid file, on seeded byte
// flips and on lying counts: no crash, no read past the bytes (the sanitizers watch), and no allocation
// that grows with a count instead of with the file.
#include <cstdlib>
#include <new>
#include <random>

#include <pirk/AchievementsStore.h>
#include <pirk/Cfg.h>

#include "Variables.h"

#include "EngineTestSupport.h"

using namespace vumo;

namespace
{
    bool watching = false;
    size_t largest = 0;
} // namespace

void* operator new(size_t size)
{
    largest = watching && size > largest ? size : largest;
    void* block = std::malloc(size > 0 ? size : 1);
    return block != nullptr ? block : throw std::bad_alloc();
}

// The standard library allocates some buffers through the nothrow form (stable_sort does): it must come
// from the same heap as the delete below.
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size > 0 ? size : 1);
}

// The replaced operator new above takes its blocks from malloc.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
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
    void read(int reader, const std::string& bytes)
    {
        bool damaged = false;
        VariableDictionary vars;
        switch (reader)
        {
        case 0:
            enginetest::thrownText([&] { Session::parseConfigText(bytes); });
            break;
        case 1:
            vars.applyDiff(bytes, "vars.diff", true, true, true);
            vars.applyDiff(bytes, "vars.diff", false, true, false);
            break;
        case 2:
            pirk::decodeAchievementsStore(bytes, damaged);
            break;
        default:
            pirk::parseCfg(bytes);
        }
    }

    // Linear in the size: a file of nothing but line ends makes one array entry per byte.
    void checkRead(int reader, const std::string& bytes)
    {
        largest = 0;
        watching = true;
        read(reader, bytes);
        watching = false;
        EXPECT_LE(largest, 64 * bytes.size() + 1024)
            << "reader " << reader << " on " << testing::PrintToString(bytes);
    }

    std::string le32(uint32_t value)
    {
        return std::string{(char)value, (char)(value >> 8), (char)(value >> 16), (char)(value >> 24)};
    }
} // namespace

TEST(DamagedFiles, TruncationsFlipsAndLyingCounts)
{
    VariableDictionary vars;
    vars.create("a", "1", true);
    vars.captureDefaults();
    vars.get("a").set("x: y");
    vars["c"].set("3");
    const std::string valid[] = {
        "title: Demo\r\n[video]\nwidth: 800\n# c\n-- c\n[]\nlang/de.font: a: b\n",
        vars.writeDiff(),
        pirk::encodeAchievementsStore({{"a", 50}, {"door", 100}, {"key", 0}}),
        "[Game]:x\nUrlStore:a:b\n  # c\n[Other]\nk: v\r\n[]\n[bad\n",
    };
    std::mt19937 random(16);
    for (int reader = 0; reader < 4; ++reader)
    {
        for (size_t cut = 0; cut <= valid[reader].size(); ++cut)
        {
            checkRead(reader, valid[reader].substr(0, cut));
        }
        for (int run = 0; run < 2000; ++run)
        {
            std::string bytes = valid[reader];
            for (int flips = 1 + random() % 4; flips > 0; --flips)
            {
                bytes[random() % bytes.size()] ^= (char)(1 + random() % 255);
            }
            checkRead(reader, bytes);
        }
    }
    // A huge count or name length over a few bytes.
    const std::string head("\x01\x00", 2);
    const std::pair<std::string, size_t> liars[] = {
        {head + le32(0x7FFFFFFF) + le32(1) + "a" + le32(5), 1},
        {head + le32(1) + le32(0xFFFFFFFF) + "abc", 0},
        {head + le32(2) + le32(0x7FFFFFFF) + "abc", 0},
    };
    for (auto& liar : liars)
    {
        checkRead(2, liar.first);
        bool damaged = false;
        EXPECT_EQ(pirk::decodeAchievementsStore(liar.first, damaged).size(), liar.second);
        EXPECT_TRUE(damaged);
    }
}
