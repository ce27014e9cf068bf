#include <cmath>

#include <quortypes/exception.h>
#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/NoAudio_AudioManager.h>
#include <yim/Player.h>
#include <yim/Sound.h>

#include "YimTestSupport.h"

namespace
{
    std::string messageOf(const std::function<void()>& call)
    {
        try
        {
            call();
        }
        catch (quortypes::exception& e)
        {
            // Without the "[file:line] " the message starts with.
            std::string message = e.getMessage();
            return message.substr(message.find("] ") + 2);
        }
        return "";
    }
} // namespace

TEST(Library, InitPicksTheBackEndAndFallsBackToSilence)
{
    LogCapture log;
    yim::init(yim::SystemType::AS_DISABLED, 0);
    EXPECT_EQ(yim::manager->getName(), "Disabled");
    EXPECT_EQ(log.take(),
              (harray<hstring>{"Initializing YIM.", "Initializing NoAudio.", "Audio is disabled."}));
    yim::destroy();
    EXPECT_EQ(yim::manager, nullptr);
    EXPECT_EQ(log.take(), (harray<hstring>{"Destroying YIM.", "Destroying NoAudio."}));

    yim::init(static_cast<yim::SystemType>(7), 0);
    EXPECT_EQ(yim::manager->getName(), "Disabled");
    EXPECT_EQ(log.take(),
              (harray<hstring>{"Initializing YIM.", "WARNING: Could not create given audio system!",
                               "Initializing NoAudio.", "WARNING: Audio is disabled."}));
    yim::destroy();

    yim::init(yim::SystemType::AS_DEFAULT, 0, true, 0.01f);
    EXPECT_EQ(yim::manager->getName(), "OpenAL");
    EXPECT_TRUE(yim::manager->isEnabled());
    EXPECT_TRUE(log.contains("Starting audio update thread."));
    yim::destroy();
    EXPECT_TRUE(log.contains("Stopping audio update thread."));
    EXPECT_TRUE(log.contains("Destroying OpenAL."));
}

TEST(Library, WithoutADeviceTheSilentBackEndTakesOver)
{
    // OpenAL Soft reads its drivers once, at its first call in the process: a fresh process tries it.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("ALSOFT_DRIVERS", "nonexistent", 1);
    auto attempt = []
    {
        LogCapture log;
        yim::init(yim::SystemType::AS_DEFAULT, 0);
        bool silent = yim::manager->getName() == "Disabled";
        bool logged = log.take() == harray<hstring>{"Initializing YIM.",
                                                    "Initializing OpenAL.",
                                                    "ERROR: Could not create device!",
                                                    "Destroying OpenAL.",
                                                    "WARNING: Could not create given audio system!",
                                                    "Initializing NoAudio.",
                                                    "WARNING: Audio is disabled."};
        yim::destroy();
        exit(silent && logged ? 0 : 1);
    };
    EXPECT_EXIT(attempt(), testing::ExitedWithCode(0), "");
    setenv("ALSOFT_DRIVERS", "null", 1);
}

// The registry's rules, on the silent back-end and (where formats matter) on OpenAL's.
class Registry : public testing::Test
{
protected:
    std::string folder;

    void SetUp() override
    {
        this->folder = testFolder();
        yim::init(yim::SystemType::AS_DISABLED, 0);
        yim::manager->createCategory("fx", yim::BufferMode::MANAGED, yim::SourceMode::DISK);
    }
    void TearDown() override { yim::destroy(); }
};

TEST_F(Registry, CategoriesAndSoundsKeepTheirFirstDefinition)
{
    yim::AudioManager* audio = yim::manager;
    yim::Category* first = audio->createCategory("voice", yim::BufferMode::STREAMED, yim::SourceMode::RAM);
    EXPECT_EQ(audio->createCategory("voice", yim::BufferMode::ON_CREATION, yim::SourceMode::DISK), first);
    EXPECT_EQ(first->getBufferMode(), yim::BufferMode::STREAMED);
    EXPECT_EQ(first->getSourceMode(), yim::SourceMode::RAM);
    EXPECT_EQ(messageOf([audio] { audio->getCategory("nope"); }), "Audio Manager: "
                                                                  "Category 'nope' does not exist!");
    EXPECT_THROW(audio->createSound("x.ogg", "nope"), quortypes::exception);
    EXPECT_EQ(messageOf([audio] { audio->createPlayer("ghost"); }),
              "Audio Manager: Sound 'ghost' does not exist!");
    EXPECT_THROW(audio->play("ghost"), quortypes::exception);
    EXPECT_NE(audio->createSound("a/door.ogg", "fx", "c1."), nullptr);
    EXPECT_EQ(audio->createSound("b/door.wav", "fx", "c1."), nullptr); // same name
    // The silent back-end keeps files of any kind.
    yim::Sound* notes = audio->createSound("notes.txt", "fx");
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->getFormat(), yim::Format::UNKNOWN);
    EXPECT_TRUE(audio->hasSound("c1.door"));
    EXPECT_FALSE(audio->hasSound("C1.door"));
}

TEST_F(Registry, EveryCallWorksOnTheSilentBackEndAndEndedPlaysAreDropped)
{
    yim::AudioManager* audio = yim::manager;
    writeConstantWav(this->folder + "/click.wav", 441, 100);
    audio->createSound(this->folder + "/click.wav", "fx");
    for (int i = 0; i < 1000; ++i)
    {
        audio->play("click", 0.5f, true, 0.5f);
    }
    EXPECT_EQ(audio->getPlayers().size(), 0);
    yim::Player* player = audio->createPlayer("click");
    player->play(1.0f, true);
    player->setGain(2.0f);
    EXPECT_EQ(player->getGain(), 1.0f);
    player->setGain(-1.0f);
    EXPECT_EQ(player->getGain(), 0.0f);
    // A gain that is no number is refused, not clamped into NaN.
    player->setGain(0.5f);
    player->setGain(NAN);
    player->setGain(INFINITY);
    EXPECT_EQ(player->getGain(), 0.5f);
    EXPECT_FALSE(player->isPlaying());
    EXPECT_FALSE(audio->isAnyPlaying("click"));
    EXPECT_EQ(player->getSamplePosition(), 0);
    audio->suspendAudio();
    audio->resumeAudio();
    audio->stop("click", 1.0f);
    audio->update(0.01f);
    audio->clearMemory();
    audio->setGlobalGain(0.5f);
    audio->destroyPlayer(player);
    audio->destroySoundsWithPrefix("cl");
    EXPECT_FALSE(audio->hasSound("click"));
}

TEST_F(Registry, DestroyingByPrefixSparesSoundsWithManualPlayers)
{
    yim::AudioManager* audio = yim::manager;
    audio->createSound("c1/door.ogg", "fx", "c1.");
    audio->createSound("c1/bell.ogg", "fx", "c1.");
    audio->createSound("c2/bird.ogg", "fx", "c2.");
    yim::Player* manual = audio->createPlayer("c1.door");
    LogCapture log;
    EXPECT_EQ(messageOf([audio] { audio->destroySoundsWithPrefix("c1."); }),
              "Audio Manager: Following sounds cannot be destroyed (there are one or "
              "more manually created players that haven't been destroyed): c1.door");
    EXPECT_TRUE(log.contains("Destroying sounds with prefix: c1."));
    EXPECT_TRUE(audio->hasSound("c1.door"));
    EXPECT_FALSE(audio->hasSound("c1.bell"));
    EXPECT_TRUE(audio->hasSound("c2.bird"));
    // Deleting the sound alone would leave the player with a deleted sound: refused the same way.
    yim::Sound* door = audio->getSound("c1.door");
    EXPECT_THROW(audio->destroySound(door), quortypes::exception);
    audio->destroyPlayer(manual);
    audio->destroySound(door);
    EXPECT_TRUE(log.contains("Destroying sound: c1.door"));
    EXPECT_FALSE(audio->hasSound("c1.door"));
}

TEST_F(Registry, FindAudioFileTriesTheExtensionsInOrder)
{
    std::string base = this->folder + "/theme";
    writeFile(base + ".ogg", "x");
    writeFile(base + ".flac", "x");
    writeFile(this->folder + "/wind.ogg", "x");
    yim::destroy();
    yim::openal::initLoopback();
    EXPECT_EQ(yim::manager->findAudioFile(base), base + ".flac");
    EXPECT_EQ(yim::manager->findAudioFile(base + ".ogg"), base + ".ogg");
    EXPECT_EQ(yim::manager->findAudioFile(this->folder + "/wind.wav"), this->folder + "/wind.ogg");
    EXPECT_EQ(yim::manager->findAudioFile(this->folder + "/none"), "");
    // Only the three formats make sounds here.
    yim::manager->createCategory("fx", yim::BufferMode::ON_PLAY, yim::SourceMode::DISK);
    EXPECT_EQ(yim::manager->createSound(this->folder + "/notes.txt", "fx"), nullptr);
}

TEST_F(Registry, SoundsFromPathMakeACategoryPerFolder)
{
    mkdir((this->folder + "/audio").c_str(), 0777);
    mkdir((this->folder + "/audio/fx").c_str(), 0777);
    mkdir((this->folder + "/audio/forest").c_str(), 0777);
    writeFile(this->folder + "/audio/top.ogg", "x");
    writeFile(this->folder + "/audio/fx/door.ogg", "x");
    writeFile(this->folder + "/audio/forest/bird.wav", "x");
    harray<hstring> names = yim::manager->createSoundsFromPath(this->folder + "/audio", "c1.");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (harray<hstring>{"c1.bird", "c1.door"}));
    EXPECT_EQ(yim::manager->getCategory("forest")->getBufferMode(), yim::BufferMode::ON_CREATION);
    EXPECT_EQ(yim::manager->getCategory("fx")->getBufferMode(), yim::BufferMode::MANAGED); // kept
}

TEST_F(Registry, SuspendingHoldsPlayersAndPlayMakesNothing)
{
    // Suspension needs an enabled manager: the loopback one, with nothing rendered.
    yim::destroy();
    yim::openal::initLoopback();
    yim::AudioManager* audio = yim::manager;
    audio->createCategory("fx", yim::BufferMode::ON_PLAY, yim::SourceMode::DISK);
    writeConstantWav(this->folder + "/hum.wav", 44100, 100);
    audio->createSound(this->folder + "/hum.wav", "fx");
    yim::Player* playing = audio->createPlayer("hum");
    yim::Player* fading = audio->createPlayer("hum");
    yim::Player* waiting = audio->createPlayer("hum");
    playing->play();
    fading->play();
    fading->stop(1.0f);
    LogCapture log;
    audio->suspendAudio();
    audio->suspendAudio();
    EXPECT_EQ(log.count("Suspending YIM."), 1);
    EXPECT_TRUE(playing->isPaused());
    EXPECT_FALSE(fading->isFadingOut());
    audio->play("hum");
    EXPECT_EQ(audio->getPlayers().size(), 3);
    waiting->play(0.0f, true);
    EXPECT_FALSE(waiting->isPlaying());
    EXPECT_EQ(audio->getSuspendedPlayers(), (harray<yim::Player*>{playing, waiting}));
    // A destroyed player leaves every list.
    audio->destroyPlayer(playing);
    EXPECT_EQ(audio->getSuspendedPlayers(), (harray<yim::Player*>{waiting}));
    audio->resumeAudio();
    EXPECT_TRUE(log.contains("Resuming YIM."));
    EXPECT_TRUE(waiting->isPlaying());
    EXPECT_TRUE(waiting->isLooping());
    EXPECT_FALSE(fading->isPlaying());
    EXPECT_TRUE(audio->getSuspendedPlayers().empty());
    audio->stop("hum", 0.0f); // no managed players: nothing
    audio->play("hum");
    audio->play("hum");
    EXPECT_EQ(audio->getManagedPlayers().size(), 2);
    audio->stop("hum", 0.0f);
    EXPECT_EQ(audio->getManagedPlayers().size(), 0);
    audio->destroyPlayer(fading);
    audio->destroyPlayer(waiting);
}
