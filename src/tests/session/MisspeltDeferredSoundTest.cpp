#include <chrono>
#include <cstdlib>

#include "EngineHarness.h"

using namespace vumo;

using harness::Engine;

// A scene whose third line plays a misspelt sound: the play waits for the next frame, and its error then
// still points at that line.
class MisspeltDeferredSound : public harness::GameTest
{
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        folder.config("audio_mute: 0\nmaster_volume: 100\nfx_volume: 100\nscene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "-- the meadow at dusk\n"
                                                      "-- the name lacks an 'o'\n"
                                                      "sound.play('bom')\n");
        Engine::log().clear();
        engine.reset(new Engine(folder));
        engine->start();
    }
};

TEST_F(MisspeltDeferredSound, TheErrorNamesTheScriptLineThatAskedForIt)
{
    EXPECT_EQ(engine->logText().find("does not exist"), std::string::npos) << "not before the next frame";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (engine->logText().find("does not exist") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
    {
        engine->frame(0.02f);
    }
    const std::string log = engine->logText();
    EXPECT_TRUE(harness::inOrder(log, {"Scripting Error: ", "data/chapters/c1/scenes/a.scene",
                                       ":3: sound.play, deferred to the next frame: ",
                                       "Audio Manager: Sound 'c1.bom' does not exist!"}));
}
