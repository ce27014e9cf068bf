#include <cstdlib>

#include <yim/AudioManager.h>
#include <yim/Player.h>
#include <yim/yim.h>

#include "EngineHarness.h"
#include "Chapter.h"
#include "Scene.h"
#include "lua/LuaInterface.h"
#include "objects/LoopSound.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    LoopSound::Entry* onlyEntry()
    {
        const auto& entries = LoopSound::getEntries();
        return entries.size() == 1 ? entries[0].get() : nullptr;
    }
} // namespace

// The demo's own music on the null device: its theme loops on from scene to scene and a click clicks.
TEST(DemoSound, TheMeadowThemeLoopsOnAcrossItsScenesAndAClickClicks)
{
    setenv("ALSOFT_DRIVERS", "null", 1);
    GameFolder folder;
    folder.copyDemo();
    Engine engine(folder);
    engine.startDemo();
    for (int i = 0; i < 40; ++i)
    {
        engine.frame(0.02f);
    }
    ASSERT_EQ(yim::manager->getName(), "OpenAL");
    LoopSound::Entry* entry = onlyEntry();
    ASSERT_NE(entry, nullptr) << engine.logText();
    EXPECT_EQ(entry->name, "meadow.theme");
    yim::Player* player = entry->player.get();
    EXPECT_TRUE(player->isPlaying());
    EXPECT_TRUE(player->isLooping());
    EXPECT_FLOAT_EQ(player->getGain(), 1.0f);

    // The plays handed to the manager, counted as they are asked for: a 25 ms click may well have ended
    // before the test could ask whether it plays.
    LuaInterface::execute("plays = {}\nlocal play = sound.play\n"
                          "sound.play = function(...) local name, _, now = ...\n"
                          "if now then plays[#plays + 1] = name end\nreturn play(...) end\n");
    // The arrow at the end of the path leads to the sign.
    engine.clickObject(Session::getChapter("meadow")->tryGetObject("to_sign"));
    engine.frame(0.02f);
    engine.frame(0.02f);
    EXPECT_EQ(engine.lua("table.concat(plays, ' ')"), "ui.click");
    for (int i = 0; i < 20 && Session::getActiveScene()->getName() != "sign"; ++i)
    {
        engine.frame(0.1f);
    }
    ASSERT_EQ(Session::getActiveScene()->getName(), "sign");
    engine.frame(0.1f);
    ASSERT_NE(onlyEntry(), nullptr);
    EXPECT_EQ(onlyEntry()->player.get(), player);
    EXPECT_TRUE(player->isPlaying());
}
