#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "ActionMap.h"
#include "EngineHarness.h"
#include "PngFile.h"

using namespace vumo;

using harness::GameFolder;

namespace
{
    typedef std::function<uint32_t(int x, int y)> Painter; // 0xRRGGBBAA

    std::string png(int width, int height, const Painter& paint)
    {
        std::string rgba;
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                const uint32_t c = paint(x, y);
                rgba += {char(c >> 24), char(c >> 16), char(c >> 8), char(c)};
            }
        }
        return harness::pngBytes(width, height, (const unsigned char*)rgba.data());
    }

    // A 40 x 30 picture: a red square, a green disc, a blue L and a black frame, on transparency.
    uint32_t scene(int x, int y)
    {
        if (x == 0 || y == 0)
        {
            return 0x000000FF;
        }
        if (x >= 2 && x <= 9 && y >= 3 && y <= 8)
        {
            return 0xFF0000FF;
        }
        if ((x - 25) * (x - 25) + (y - 10) * (y - 10) <= 25)
        {
            return 0x00C040FF;
        }
        if ((x >= 5 && x <= 7 && y >= 15 && y <= 27) || (y >= 25 && y <= 27 && x >= 5 && x <= 20))
        {
            return 0x1020FFFF;
        }
        return 0x00000000;
    }

    struct ToolRun
    {
        int code;
        std::string output;
    };

    // The tool on files of the folder; its output and errors together.
    ToolRun regionMap(const GameFolder& folder, const std::string& arguments)
    {
        const std::string command =
            "cd '" + folder.path + "' && '" VUMO_REGION_MAP "' " + arguments + " > tool.txt 2>&1";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, harness::readFile(folder.path + "/tool.txt")};
    }

    bool exists(const GameFolder& folder, const std::string& name)
    {
        return std::filesystem::exists(folder.path + "/" + name);
    }
} // namespace

TEST(RegionMapTool, APaintedPictureBecomesTheMapTheEngineReads)
{
    GameFolder folder;
    folder.put("room.png", png(40, 30, scene));
    const ToolRun run = regionMap(folder, "room.png room.amp _1020ff _FF0000=4,4 _00C040");
    ASSERT_EQ(run.code, 0) << run.output;
    EXPECT_NE(run.output.find("_1020FF: 5,15 to 20,27, centre "), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("_FF0000: 2,3 to 9,8, centre 4,4, 48 pixels"), std::string::npos) << run.output;

    // Resources are read below the working folder, as the game reads its own.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path);
    ActionMap map("room.amp");
    ASSERT_NO_THROW(map.ensureLoaded());
    std::filesystem::current_path(previous);
    EXPECT_EQ(map.getWidth(), 40);
    EXPECT_EQ(map.getHeight(), 30);
    const harray<ActionMapRegion>& regions = map.getRegions();
    ASSERT_EQ(regions.size(), 3);
    // In the order named, with the colours as the map holds them.
    EXPECT_EQ(regions[0].color, 0x1020FF00u);
    EXPECT_EQ(regions[1].color, 0xFF000000u);
    EXPECT_EQ(regions[2].color, 0x00C04000u);
    EXPECT_EQ(std::vector<int>({regions[2].left, regions[2].top, regions[2].right, regions[2].bottom}),
              std::vector<int>({20, 5, 30, 15}));
    // Unset centres are a pixel of the region near its middle: the disc's centre, and inside the L.
    EXPECT_EQ(std::make_pair(regions[2].centerX, regions[2].centerY), std::make_pair(25, 10));
    EXPECT_EQ(map.getColorAt(regions[0].centerX, regions[0].centerY), 0x1020FFFFu);
    // Every pixel answers as it was painted.
    const std::map<uint32_t, uint32_t> answer = {
        {0xFF0000FF, 0xFF0000FF}, {0x00C040FF, 0x00C040FF}, {0x1020FFFF, 0x1020FFFF}};
    for (int y = 0; y < 30; ++y)
    {
        for (int x = 0; x < 40; ++x)
        {
            const auto found = answer.find(scene(x, y));
            ASSERT_EQ(map.getColorAt(x, y), found != answer.end() ? found->second : 0u) << x << "," << y;
        }
    }
}

TEST(RegionMapTool, BadInputIsToldAndWritesNothing)
{
    GameFolder folder;
    folder.put("room.png", png(40, 30, scene));
    folder.put("notes.png", "these are words, not pixels");
    folder.put("soft.png", png(4, 4, [](int x, int) { return x == 2 ? 0xFF000080u : 0xFF0000FFu; }));
    folder.put("kept.amp", "an older map");
    const struct
    {
        const char* arguments;
        const char* message;
    } rows[] = {
        {"notes.png out.amp _FF0000", "vumo_region_map: notes.png: not a readable PNG picture ("},
        {"missing.png out.amp _FF0000", "vumo_region_map: missing.png: not a readable PNG picture ("},
        {"room.png out.amp _FF0000 _00C040",
         "vumo_region_map: room.png: unknown colour _1020FF at 5,15: name it as a region or paint it black "
         "or transparent"},
        {"room.png out.amp _FF0000 _00C040 _1020FF _ABCDEF",
         "vumo_region_map: room.png: colour _ABCDEF is not in the picture"},
        {"room.png out.amp _FF0000 red",
         "vumo_region_map: 'red' is not a region colour: write it as _RRGGBB"},
        {"room.png out.amp _FF0000=4 _00C040 _1020FF", "the centre is written as =X,Y"},
        {"room.png out.amp _FF0000 _ff0000 _00C040 _1020FF", "vumo_region_map: _FF0000 is named twice"},
        {"room.png out.amp _000000", "vumo_region_map: _000000 cannot be a region"},
        {"soft.png out.amp _FF0000",
         "vumo_region_map: soft.png: pixel at 2,0 is partly transparent (alpha 128)"},
        {"room.png out.map _FF0000 _00C040 _1020FF",
         "vumo_region_map: out.map: an action map's file name ends"},
        {"room.png kept.amp _FF0000 _00C040", "unknown colour _1020FF"},
        {"room.png out.amp", "usage: vumo_region_map PICTURE.png MAP.amp _RRGGBB[=X,Y] ..."}};
    for (const auto& row : rows)
    {
        const ToolRun run = regionMap(folder, row.arguments);
        EXPECT_NE(run.code, 0) << row.arguments;
        EXPECT_NE(run.output.find(row.message), std::string::npos) << row.arguments << "\n" << run.output;
        EXPECT_FALSE(exists(folder, "out.amp")) << row.arguments;
        EXPECT_FALSE(exists(folder, "out.map")) << row.arguments;
    }
    EXPECT_EQ(harness::readFile(folder.path + "/kept.amp"), "an older map");
}
