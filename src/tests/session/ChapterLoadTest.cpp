#include <filesystem>
#include <string>
#include <vector>

#include "EngineHarness.h"
#include "Session.h"
#include "ui/UI.h"

using harness::Engine;

// ch2 has a sound, and a scene file whose name no scene can have until the test takes it away; the game
// starts on ch1.a.
class ChapterLoad : public harness::GameTest
{
protected:
    void SetUp() override
    {
        harness::forgetSession();
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal();
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        folder.put("data/chapters/ch2/ch2.datadef", "<Dataset/>");
        folder.put("data/chapters/ch2/audio/music/theme.ogg", "silence");
        folder.put("data/chapters/ch2/scenes/x.scene", "");
        folder.put("data/chapters/ch2/scenes/1bad.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
    }

    // The scene reached, whether ch2's sound is known, and the errors logged since the last call.
    std::string switchTo(const std::string& scene)
    {
        Engine::log().clear();
        LuaInterface::execute("scene.switch({scene = '" + scene + "', time = 0, effect = 'none'})");
        for (int i = 0; i < 3; ++i)
        {
            engine->frame(0.05f);
        }
        return engine->lua("scene.getFullName()") + " " + engine->lua("tostring(sound.exists('ch2.theme'))") +
               " errors " + std::to_string(Engine::errorLines());
    }
};

// A load that fails takes away the sounds it made with the rest, so that the next one makes them again as
// the chapter's own and its unload destroys them.
TEST_F(ChapterLoad, AFailedLoadLeavesNoSoundBehind)
{
    ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
    std::vector<std::string> journal;
    journal.push_back(switchTo("ch2.x"));
    UI::getInstance()->onErrorContinue(nullptr);
    std::filesystem::remove(folder.path + "/data/chapters/ch2/scenes/1bad.scene");
    journal.push_back(switchTo("ch2.x"));
    journal.push_back(switchTo("ch1.a"));
    EXPECT_EQ(journal, (std::vector<std::string>{"ch1.a false errors 2", "ch2.x true errors 0",
                                                 "ch1.a false errors 0"}))
        << engine->logText();
}
