#include <cmath>
#include <limits>

#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/Sound.h>

#include "YimTestSupport.h"

namespace
{
    // The loudness a linear gain reaches through the volume scale.
    float volume(float gain)
    {
        return gain > 0.0f ? std::pow(10.0f, (int)(2500.0f * std::log10(gain)) / 2000.0f) : 0.0f;
    }

    // Frames of the left channel that are not silent.
    int audibleFrames(const std::vector<float>& output)
    {
        int count = 0;
        for (size_t i = 0; i < output.size(); i += 2)
        {
            count += output[i] != 0.0f ? 1 : 0;
        }
        return count;
    }
} // namespace

class Playback : public LoopbackTest
{
protected:
    yim::Player* tone = nullptr;

    void SetUp() override
    {
        LoopbackTest::SetUp();
        this->audio->createCategory("fx", yim::BufferMode::ON_PLAY, yim::SourceMode::DISK);
        writeConstantWav(this->path("tone.wav"), 44100, 16384); // half of full scale, 1 s
        ASSERT_NE(this->audio->createSound(this->path("tone.wav"), "fx"), nullptr);
        this->tone = this->audio->createPlayer("tone");
    }

    void TearDown() override
    {
        this->audio->destroyPlayer(this->tone);
        LoopbackTest::TearDown();
    }
};

TEST_F(Playback, OutputFollowsCategoryPlayerAndGlobalGainOnTheVolumeScale)
{
    EXPECT_NEAR(volume(0.5f), 0.42073f, 1e-5f);
    // category, player, global
    const float cases[][3] = {{1, 1, 1},    {1, 0.5f, 1},       {1, 0.1f, 1},
                              {0.5f, 1, 1}, {0.5f, 0.5f, 0.4f}, {1, 1, 0}};
    this->tone->play(0.0f, true);
    for (const auto& gains : cases)
    {
        this->audio->getCategory("fx")->setGain(gains[0]);
        this->tone->setGain(gains[1]);
        this->audio->setGlobalGain(gains[2]);
        std::vector<float> output = this->render(3);
        float expected = 0.5f * volume(gains[0] * gains[1] * gains[2]);
        EXPECT_NEAR(output[output.size() - 2], expected, 1e-5f)
            << gains[0] << " " << gains[1] << " " << gains[2];
        EXPECT_NEAR(output.back(), expected, 1e-5f);
    }
}

TEST_F(Playback, FadeInRisesToFullGainInItsTimeAndFadeOutPauses)
{
    this->tone->play(0.5f, true);
    EXPECT_TRUE(this->tone->isPlaying());
    for (int step = 1; step <= 60; ++step)
    {
        std::vector<float> output = this->render(1);
        float expected = 0.5f * volume(std::min(step * 0.02f, 1.0f));
        EXPECT_NEAR(output.back(), expected, expected * 0.003f + 1e-6f) << step;
    }
    // A fade-out to a pause that is played again before it ends: full level at once, no restart.
    this->tone->pause(1.0f);
    this->render(20);
    EXPECT_FALSE(this->tone->isPlaying());
    this->tone->play(0.0f, false);
    EXPECT_TRUE(this->tone->isLooping());
    EXPECT_NEAR(this->render(2).back(), 0.5f, 1e-5f); // OpenAL Soft ramps a new gain over one mix
    this->tone->pause(0.2f);
    this->render(21);
    EXPECT_TRUE(this->tone->isPaused());
    EXPECT_EQ(audibleFrames(this->render(5)), 0);
    // Fades too short to have a finite speed are instant, even over a step of no time.
    this->tone->play(1e-45f, true);
    this->audio->update(0.0f);
    EXPECT_EQ(this->tone->getFadeLevel(), 1.0f);
    EXPECT_NEAR(this->render(2).back(), 0.5f, 1e-5f);
    this->tone->stop(1e-45f);
    EXPECT_FALSE(this->tone->isPlaying());
    EXPECT_FALSE(this->tone->isFadingOut());
}

TEST_F(Playback, PitchTwoHalvesTheLengthAlsoWhenSetBeforeTheFirstPlay)
{
    this->tone->play();
    EXPECT_NEAR(audibleFrames(this->render(120)), 44100, 441);
    this->tone->setPitch(2.0f);
    this->tone->play();
    EXPECT_NEAR(audibleFrames(this->render(120)), 22050, 441);
    yim::Player* fresh = this->audio->createPlayer("tone");
    // Past its ends, infinities and NaN (as 0) included, the pitch is held at the nearer one.
    const std::pair<float, float> held[] = {{1000.0f, 100.0f},
                                            {std::numeric_limits<float>::infinity(), 100.0f},
                                            {-1e30f, 0.01f},
                                            {std::nanf(""), 0.01f}};
    for (const auto& [given, kept] : held)
    {
        fresh->setPitch(given);
        EXPECT_EQ(fresh->getPitch(), kept) << given;
    }
    fresh->setPitch(2.0f);
    fresh->play();
    EXPECT_NEAR(audibleFrames(this->render(120)), 22050, 441);
    this->audio->destroyPlayer(fresh);
}

TEST_F(Playback, StopRewindsAndPauseKeepsThePlace)
{
    writeFile(this->path("ramp.wav"), riff(fmtChunk(1, 44100, 16) + chunk("data",
                                                                          []
                                                                          {
                                                                              std::vector<short> ramp(44100);
                                                                              for (int i = 0; i < 44100; ++i)
                                                                              {
                                                                                  ramp[i] = (short)(i / 2);
                                                                              }
                                                                              return pcm16(ramp);
                                                                          }())));
    this->audio->createSound(this->path("ramp.wav"), "fx");
    yim::Player* ramp = this->audio->createPlayer("ramp");
    ramp->play();
    this->render(10);
    ramp->pause();
    EXPECT_EQ(ramp->getSamplePosition(), 4410);
    EXPECT_NEAR(ramp->getTimePosition(), 0.1f, 1e-6f);
    this->render(10);
    ramp->play();
    this->render(10);
    EXPECT_EQ(ramp->getSamplePosition(), 8820);
    ramp->pause();
    ramp->stop();
    EXPECT_EQ(ramp->getOffset(), 0.0f);
    EXPECT_EQ(ramp->getSound()->getBuffer()->getBoundPlayers().size(), 0);
    ramp->play();
    this->render(1);
    EXPECT_EQ(ramp->getSamplePosition(), 441);
    this->audio->destroyPlayer(ramp);
}

TEST_F(Playback, IdleBuffersAreFreedByTheirMode)
{
    this->audio->createCategory("cached", yim::BufferMode::MANAGED, yim::SourceMode::DISK);
    this->audio->createCategory("once", yim::BufferMode::ON_DEMAND, yim::SourceMode::DISK);
    writeConstantWav(this->path("click.wav"), 441, 1000);
    writeConstantWav(this->path("clip.wav"), 882, 1000);
    yim::Buffer* click = this->audio->createSound(this->path("click.wav"), "cached")->getBuffer();
    yim::Buffer* clip = this->audio->createSound(this->path("clip.wav"), "once")->getBuffer();
    EXPECT_FALSE(click->isLoaded());

    this->audio->play("click");
    EXPECT_TRUE(click->isLoaded());
    this->render(3);
    EXPECT_EQ(this->audio->getManagedPlayers().size(), 0);
    for (int step = 0; step < 5980; ++step)
    {
        this->audio->update(0.01f);
    }
    EXPECT_TRUE(click->isLoaded());
    for (int step = 0; step < 40; ++step)
    {
        this->audio->update(0.01f);
    }
    EXPECT_FALSE(click->isLoaded());
    this->audio->play("click");
    EXPECT_TRUE(click->isLoaded());
    EXPECT_NE(click->getData(), nullptr);

    // Mode 3 goes in the step in which its last player ends.
    this->audio->play("clip");
    this->audio->play("clip");
    int step = 0;
    while (!this->audio->getManagedPlayers().empty() && step < 10)
    {
        EXPECT_TRUE(clip->isLoaded()) << step;
        this->render(1);
        ++step;
    }
    EXPECT_EQ(step, 3);
    EXPECT_FALSE(clip->isLoaded());
    EXPECT_EQ(clip->getData(), nullptr);
}

TEST_F(Playback, AFrameWiderThanAnIntPlaysNothingAndStandsAtTheStart)
{
    // 51546 channels of 65377 bits: the frame's size in bits is past an int.
    writeFile(this->path("wide.wav"),
              riff(fmtChunk(51546, 44100, 65377) + chunk("data", std::string(64, 'x'))));
    ASSERT_NE(this->audio->createSound(this->path("wide.wav"), "fx"), nullptr);
    yim::Player* wide = this->audio->createPlayer("wide");
    wide->play();
    this->render(1);
    EXPECT_EQ(wide->getSamplePosition(), 0);
    EXPECT_EQ(wide->getTimePosition(), 0.0f);
    this->audio->destroyPlayer(wide);
}

TEST_F(Playback, LinkFilePlaysTheFileItNames)
{
    std::string folder = this->folder;
    mkdir((folder + "/A").c_str(), 0777);
    mkdir((folder + "/B").c_str(), 0777);
    writeOgg(folder + "/B/door.ogg", 2, 44100, 4410,
             [](int frame, int channel) { return 0.3f * std::sin(frame * (channel + 1) * 0.05f); });
    writeFile(folder + "/A/door.xln", "../B/door");
    yim::Sound* door = this->audio->createSound(folder + "/A/door.xln", "fx", "c1.");
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->getName(), "c1.door");
    EXPECT_EQ(door->getRealFilename(), folder + "/B/door.ogg");
    this->audio->play("c1.door");
    std::vector<float> output = this->render(10);
    std::vector<short> expected = decodeOgg(folder + "/B/door.ogg");
    ASSERT_EQ(expected.size(), 8820u);
    for (size_t i = 0; i < expected.size(); ++i)
    {
        ASSERT_FLOAT_EQ(output[i], expected[i] / 32768.0f) << i;
    }
    // A link whose text ends in a line break names no file: the text is not trimmed.
    writeFile(folder + "/A/gate.xln", "../B/door\n");
    EXPECT_EQ(this->audio->createSound(folder + "/A/gate.xln", "fx"), nullptr);
}
