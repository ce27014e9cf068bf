#include <cstdlib>

#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <yim/Player.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "objects/LoopSound.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

// Real audio on the null device. The UI chapter plays a game-wide theme; chapter c1's scene a keeps its own
// ambience; c2 has the scene d.
class ChapterMusic : public harness::GameTest
{
protected:
    void SetUp() override
    {
        setenv("ALSOFT_DRIVERS", "null", 1);
        folder.put("cfg/vumo.cfg", "title: EngineTest\ndisplay_title: Engine Test\ntarget: pc\nwidth: 160\n"
                                   "height: 120\naudio_mute: 0\nmaster_volume: 100\nmusic_volume: 100\n"
                                   "ambient_volume: 100\nscene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        const std::string tune =
            harness::readFile(VUMO_DEMO_DIR "/data/chapters/meadow/audio/music/theme.ogg");
        folder.put("data/ui/audio/music/theme.ogg", tune);
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/audio/ambient/wind.ogg", tune);
        folder.put("data/chapters/c1/scenes/a.scene", "loop = sound.addBackgroundSound('wind')\n");
        folder.put("data/chapters/c2/c2.datadef", "<Dataset/>");
        folder.put("data/chapters/c2/scenes/d.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        theme = new LoopSound("theme", kavtypes::Rectangle(0.0f, 0.0f, 1.0f, 1.0f));
        UI::getUIDataset()->registerObjects(theme);
        theme->setProperty("sound", "theme");
        UI::getInstance()->getRootObject()->addChild(theme);
        frames(40);
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(0.05f);
        }
    }
    // The loop's entry, played for it and headed for its gain.
    ::testing::AssertionResult playsForItsOwner(LoopSound* loop)
    {
        LoopSound::Entry* entry = loop->getEntry();
        if (entry == nullptr)
        {
            return ::testing::AssertionFailure() << loop->getName() << " has no entry";
        }
        if (entry->owner != loop || entry->state != LoopSound::Entry::STEADY ||
            entry->target != loop->getGain())
        {
            return ::testing::AssertionFailure() << loop->getName() << " has an entry that fades out";
        }
        if (!entry->player->isPlaying())
        {
            return ::testing::AssertionFailure() << loop->getName() << "'s player does not play";
        }
        return ::testing::AssertionSuccess();
    }
    LoopSound* sceneLoop()
    {
        for (tesraui::Object* child : Session::getActiveScene()->getRootObject()->getChildren())
        {
            if (LoopSound* loop = dynamic_cast<LoopSound*>(child))
            {
                return loop;
            }
        }
        return nullptr;
    }

    LoopSound* theme = nullptr;
};

TEST_F(ChapterMusic, GameWideMusicPlaysOnThroughChapterChanges)
{
    ASSERT_EQ(theme->getFullSoundName(), "ui.theme");
    ASSERT_TRUE(playsForItsOwner(theme));
    yim::Player* player = theme->getEntry()->player.get();
    for (const char* target : {"c2.d", "c1.a", "c2.d"})
    {
        Session::changeScene(target, 1.0f, "fade");
        for (int i = 0; i < 60 && Session::isTransitionRunning(); ++i)
        {
            engine->frame(0.05f);
            // The theme is never handed over to a fade-out on the way.
            ASSERT_TRUE(playsForItsOwner(theme)) << target << " frame " << i;
        }
        EXPECT_EQ(Session::getActiveScene()->getFullName(), target);
        EXPECT_EQ(theme->getEntry()->player.get(), player) << target;
    }
}

TEST_F(ChapterMusic, LoopsOfTheChapterLeftFadeOutAndComeBackWhenItIsNotLeftAfterAll)
{
    LoopSound* wind = sceneLoop();
    ASSERT_NE(wind, nullptr);
    ASSERT_TRUE(playsForItsOwner(wind));
    Session::changeScene("c2.d", 2.0f, "fade");
    engine->frame(0.05f);
    // The scene's loop fades out under the cover; the game-wide one plays on.
    EXPECT_EQ(wind->getEntry(), nullptr);
    EXPECT_TRUE(playsForItsOwner(theme));
    // A request inside the chapter replaces the fade before it switched: the scene's loop takes its sound
    // back while it still lives.
    Session::changeScene("c1.a", 2.0f, "fade");
    engine->frame(0.05f);
    EXPECT_TRUE(playsForItsOwner(wind));
    for (int i = 0; i < 100 && Session::isTransitionRunning(); ++i)
    {
        engine->frame(0.05f);
    }
    ASSERT_NE(sceneLoop(), nullptr);
    EXPECT_TRUE(playsForItsOwner(sceneLoop()));
    EXPECT_TRUE(playsForItsOwner(theme));
}
