#include <algorithm>
#include <filesystem>

#include <tesra/Color.h>

#include "ActionMap.h"
#include "AmpFiles.h"
#include "EngineTestSupport.h"

using namespace vumo;

using ampfiles::Region;
using enginetest::GameFolder;
using enginetest::LogCapture;
using enginetest::readFile;
using enginetest::thrownText;

namespace
{
    // A 16 x 8 map: a red region 3 pixels wide with a hole, a green one under it, a colour-0 region over
    // a checkered blue one, and a diagonal whose rows cross byte boundaries.
    std::vector<Region> sampleRegions()
    {
        Region red{0xFF0000, 1, 1, 3, 4, 2, 3, [](int x, int y) { return !(x == 2 && y == 2); }};
        Region green{0x00FF00, 2, 2, 6, 5, 4, 4, nullptr};
        Region zero{0x000000, 10, 0, 12, 2, 11, 1, nullptr};
        Region blue{0x0000FF, 10, 0, 15, 7, -1, 7, [](int x, int y) { return (x + y) % 2 == 0; }};
        Region diagonal{0x123456, 0, 5, 2, 7, 1, 6, [](int x, int y) { return x == y - 5; }};
        return {red, green, zero, blue, diagonal};
    }

    std::string sampleFile()
    {
        return ampfiles::file(16, 8, sampleRegions());
    }

    int countLines(const enginetest::Lines& lines, const std::string& text)
    {
        return (int)std::count_if(lines.begin(), lines.end(),
                                  [&](const std::string& line)
                                  { return line.find(text) != std::string::npos; });
    }
} // namespace

class ActionMapFile : public ::testing::Test
{
protected:
    GameFolder game;
    LogCapture log;

    std::string put(const std::string& name, const std::string& bytes)
    {
        game.dir.put(name, bytes);
        return name;
    }
};

TEST_F(ActionMapFile, HitsFollowMasksEdgesAndFileOrder)
{
    ActionMap map(put("maps/room.amp", sampleFile()));
    EXPECT_EQ(map.getName(), "room");
    EXPECT_EQ(map.getWidth(), 16);
    EXPECT_EQ(map.getHeight(), 8);
    struct Case
    {
        int x, y;
        uint32_t expected;
    } cases[] = {
        {1, 1, 0xFF0000FF},  {3, 4, 0xFF0000FF}, // both far edges of the rectangle are inside
        {0, 1, 0},           {4, 1, 0},          {1, 0, 0},
        {2, 2, 0x00FF00FF}, // the hole shows green below
        {3, 3, 0xFF0000FF}, // overlap: the earlier wins
        {6, 5, 0x00FF00FF},  {7, 5, 0},          {6, 6, 0},
        {10, 0, 0x0000FFFF}, {11, 0, 0}, // colour 0 never hits; the checkered blue answers where it is set
        {15, 7, 0x0000FFFF}, {14, 7, 0},         {0, 5, 0x123456FF},
        {1, 6, 0x123456FF},  {2, 7, 0x123456FF}, {1, 5, 0},
        {2, 6, 0},           {-1, -1, 0},        {16, 8, 0},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(map.getColorAt(c.x, c.y), c.expected) << c.x << "," << c.y;
    }
    EXPECT_EQ(countLines(log.take(), "Loading ActionMap room: maps/room.amp"), 1);
}

TEST_F(ActionMapFile, NamesAndTheDummyMap)
{
    EXPECT_EQ(ActionMap::nameFromPath("data/chapters/a/action_maps/hall.amp"), "hall");
    EXPECT_EQ(ActionMap::nameFromPath("hall.amp"), "hall");
    EXPECT_EQ(ActionMap::nameFromPath("x.a"), "");
    put("dummy", sampleFile());
    ActionMap dummy("dummy");
    EXPECT_EQ(dummy.getName(), "dummy");
    EXPECT_EQ(dummy.getWidth(), 0);
    EXPECT_EQ(dummy.getHeight(), 0);
    EXPECT_EQ(dummy.getColorAt(1, 1), 0u);
    EXPECT_FALSE(dummy.isLoaded());
    EXPECT_EQ(countLines(log.take(), "Loading ActionMap"), 0);
}

TEST_F(ActionMapFile, RegionCentresTakeColoursWithAlpha)
{
    ActionMap map(put("room.amp", sampleFile()));
    map.setRegionCenter(tesra::Color("FF0000").toUInt(), 7, -3);
    map.setRegionCenter(0xABCDEFFF, 1, 1);
    const ActionMapRegion& red = map.getRegions()[0];
    EXPECT_EQ(red.color, 0xFF000000u);
    EXPECT_EQ(red.centerX, 7);
    EXPECT_EQ(red.centerY, -3);
    EXPECT_EQ(map.getRegions()[1].centerX, 4);
}

TEST_F(ActionMapFile, SavingWritesTheSameBytesAndReadsBack)
{
    const std::string bytes = sampleFile();
    ActionMap map(put("room.amp", bytes));
    map.save("copy.amp");
    EXPECT_EQ(readFile(game.dir / "copy.amp"), bytes);
    // The own path, replaced whole; the centre -1 goes out as 0xFFFF and comes back as -1.
    map.setRegionCenter(0x00FF00FF, -1, 300);
    map.save();
    EXPECT_FALSE(std::filesystem::exists(game.dir / "room.amp.tmp"));
    ActionMap again("room.amp");
    EXPECT_EQ(again.getRegions()[1].centerX, -1);
    EXPECT_EQ(again.getRegions()[1].centerY, 300);
    EXPECT_EQ(again.getRegions()[3].centerX, -1);
    EXPECT_EQ(again.getColorAt(1, 6), 0x123456FFu);
    std::vector<Region> regions = sampleRegions();
    regions[1].centerX = -1;
    regions[1].centerY = 300;
    EXPECT_EQ(readFile(game.dir / "room.amp"), ampfiles::file(16, 8, regions));
}

TEST_F(ActionMapFile, IdleMapsLeaveMemoryAndComeBack)
{
    ActionMap map(put("room.amp", sampleFile()));
    EXPECT_EQ(map.getColorAt(1, 1), 0xFF0000FFu);
    for (int i = 0; i < 59; ++i)
    {
        map.update(1.0f);
    }
    EXPECT_TRUE(map.isLoaded());
    EXPECT_EQ(map.getColorAt(1, 1), 0xFF0000FFu); // used again: another 60 seconds
    for (int i = 0; i < 59; ++i)
    {
        map.update(1.0f);
    }
    EXPECT_TRUE(map.isLoaded());
    map.update(1.0f); // exactly 60 seconds idle
    EXPECT_FALSE(map.isLoaded());
    map.update(1.0f);
    EXPECT_EQ(map.getColorAt(1, 1), 0xFF0000FFu);
    enginetest::Lines lines = log.take();
    EXPECT_EQ(countLines(lines, "Loading ActionMap room: room.amp"), 2);
    EXPECT_EQ(countLines(lines, "Unloading ActionMap room"), 1);
}

TEST_F(ActionMapFile, MissingFilesAndForeignMagic)
{
    ActionMap missing("nowhere/hall.amp");
    EXPECT_EQ(thrownText([&] { missing.getWidth(); }),
              "Unable to load ActionMap 'hall', path 'nowhere/hall.amp' not found");
    ActionMap foreign(put("other.amp", "TorvinAMPv2 and more"));
    EXPECT_EQ(thrownText([&] { foreign.getColorAt(0, 0); }),
              "other.amp: magic string doesn't match: 'TorvinAMPv2', should be 'TorvinAMPv3'");
    EXPECT_FALSE(foreign.isLoaded());
}

// The reader takes nothing on trust: each damaged file fails with the path in the message, before any
// memory is taken for what the header claims, and leaves no half-read map behind.
TEST_F(ActionMapFile, DamagedFilesAreRejected)
{
    const std::string good = sampleFile();
    for (size_t length = 0; length < good.size(); ++length)
    {
        const std::string text = thrownText([&] { ActionMap::parse(good.substr(0, length), "cut.amp"); });
        EXPECT_EQ(text.rfind("cut.amp: ", 0), 0u) << length << ": " << text;
    }
    using namespace ampfiles;
    // The first region's fields follow the header; its mask (2 bytes) follows them.
    const size_t region = FIRST_REGION;
    struct Case
    {
        const char* what;
        std::function<void(std::string&)> damage;
        const char* expected;
    } cases[] = {
        {"negative width", [](std::string& b) { poke32(b, WIDTH, (uint32_t)-16); }, "negative size"},
        {"negative height", [](std::string& b) { poke32(b, HEIGHT, (uint32_t)-1); }, "negative size"},
        {"negative total", [](std::string& b) { poke32(b, TOTAL, (uint32_t)-5); },
         "negative total mask size"},
        {"total past the file", [](std::string& b) { poke32(b, TOTAL, 0x7FFFFFFF); }, "is more than the"},
        {"count past the file", [](std::string& b) { poke32(b, COUNT, 0x7FFFFFFF); }, "regions cannot fit"},
        {"right < left", [&](std::string& b) { poke16(b, region + 8, 0); }, "empty rectangle"},
        {"bottom < top", [&](std::string& b) { poke16(b, region + 10, 0); }, "empty rectangle"},
        {"negative mask length", [&](std::string& b) { poke32(b, region + 16, (uint32_t)-2); },
         "negative mask length"},
        {"mask shorter than the rectangle", [&](std::string& b) { poke16(b, region + 10, 9); },
         "its rectangle needs"},
        {"masks past the total", [](std::string& b) { poke32(b, TOTAL, 3); }, "pass the total mask size"},
    };
    for (const Case& c : cases)
    {
        std::string bytes = good;
        c.damage(bytes);
        const std::string text = thrownText([&] { ActionMap::parse(bytes, "bad.amp"); });
        EXPECT_EQ(text.rfind("bad.amp: ", 0), 0u) << c.what << ": " << text;
        EXPECT_NE(text.find(c.expected), std::string::npos) << c.what << ": " << text;
    }
    // 40 bytes that claim two gigabytes of masks.
    std::string huge = ampfiles::file(4, 4, {});
    poke32(huge, TOTAL, 0x7FFFFFFF);
    huge.resize(40, '\0');
    EXPECT_NE(thrownText([&] { ActionMap::parse(huge, "huge.amp"); }).find("is more than the 13 bytes left"),
              std::string::npos);
    // A negative count is no regions at all.
    std::string none = ampfiles::file(4, 4, {});
    poke32(none, COUNT, (uint32_t)-3);
    EXPECT_EQ(ActionMap::parse(none, "none.amp").regions.size(), 0);

    // Through the store: the map stays unloaded and reads as empty until it is unloaded, then the file is
    // read again.
    std::string damaged = good;
    poke32(damaged, TOTAL, 3);
    ActionMap map(put("bad.amp", damaged));
    EXPECT_NE(thrownText([&] { map.getColorAt(1, 1); }), "nothing thrown");
    EXPECT_FALSE(map.isLoaded());
    EXPECT_EQ(map.getRegions().size(), 0);
    put("bad.amp", good);
    EXPECT_EQ(map.getColorAt(1, 1), 0u);
    map.unload();
    EXPECT_EQ(map.getColorAt(1, 1), 0xFF0000FFu);
}
