#include <algorithm>

#include "ActionMap.h"
#include "AmpFiles.h"
#include "EngineTestSupport.h"

using namespace vumo;

using enginetest::thrownText;

// Hit tests read a map every frame: a file that cannot be read fails once, then the map reads as empty
// until it is unloaded, and it never writes over that file.
TEST(ActionMapFailure, AFileThatCannotBeReadFailsOnceAndIsNotOverwritten)
{
    enginetest::GameFolder game;
    enginetest::LogCapture log;
    std::string damaged = ampfiles::file(16, 8, {{0xFF0000, 1, 1, 3, 4, 2, 3, nullptr}});
    ampfiles::poke32(damaged, ampfiles::TOTAL, 1);
    game.dir.put("damaged.amp", damaged);
    game.dir.put("foreign.amp", "TorvinAMPv2 and more");
    for (const char* file : {"damaged.amp", "foreign.amp", "missing.amp"})
    {
        log.take();
        ActionMap map(file);
        EXPECT_NE(thrownText([&] { map.getColorAt(2, 2); }), "nothing thrown") << file;
        for (int frame = 0; frame < 100; ++frame)
        {
            EXPECT_EQ(map.getColorAt(2, 2) + map.getWidth() + map.getHeight() + map.getRegions().size(), 0u);
            map.update(0.02f);
        }
        const std::string text = thrownText([&] { map.save(); });
        EXPECT_EQ(text.rfind("Unable to save ActionMap '" + map.getName() + "': ", 0), 0u) << text;
        EXPECT_NE(thrownText([&] { map.save("copy.amp"); }), "nothing thrown");
        // Read once at most while in use; left alone for its idle time, it tries the file again.
        const enginetest::Lines lines = log.take();
        EXPECT_LE(std::count_if(lines.begin(), lines.end(),
                                [](const std::string& line)
                                { return line.find("Loading ") != std::string::npos; }),
                  1)
            << file;
        for (int second = 0; second < 61; ++second)
        {
            map.update(1.0f);
        }
        EXPECT_NE(thrownText([&] { map.getWidth(); }), "nothing thrown") << file;
    }
    EXPECT_EQ(enginetest::readFile(game.dir / "damaged.amp"), damaged);
    EXPECT_FALSE(std::filesystem::exists(game.dir / "copy.amp"));
}
