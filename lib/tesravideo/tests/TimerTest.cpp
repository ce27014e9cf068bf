#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tesravideo/AudioVideoTimer.h>
#include <yim/AudioManager.h>
#include <yim/yim.h>

using tesravideo::AudioVideoTimer;

namespace
{
    unsigned int clockNow = 0;

    unsigned int scriptedTicks()
    {
        return clockNow;
    }

    // An audio-following clock whose player is a script: a position the test sets, a playing flag, and a
    // journal of what the clock asked the player to do.
    class ScriptedTimer : public AudioVideoTimer
    {
    public:
        explicit ScriptedTimer(float syncOffset = 0.0f) : AudioVideoTimer(nullptr, nullptr, syncOffset)
        {
            this->disabled = false;
        }

        bool playing = false;
        bool playerPaused = false;
        double position = 0.0;
        std::vector<std::string> journal;

    protected:
        bool _isPlayerPaused() override { return this->playerPaused; }
        bool _isPlayerFadingOut() override { return false; }
        bool _isPlayerPlaying() override { return this->playing; }
        float _getPlayerTimePosition() override { return (float)this->position; }
        void _playPlayer() override
        {
            this->journal.push_back("play");
            this->playing = true;
            this->playerPaused = false;
        }
        void _pausePlayer() override
        {
            this->journal.push_back("pause");
            this->playing = false;
            this->playerPaused = true;
        }
    };

    class TimerTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            clockNow = 5000;
            AudioVideoTimer::setTickFunction(scriptedTicks);
        }
        void TearDown() override
        {
            AudioVideoTimer::setTickFunction(nullptr);
            yim::destroy();
        }

        // One frame: the wall clock and the frame step move by seconds, the sound by audio seconds.
        static void frame(ScriptedTimer& timer, double seconds, double audio)
        {
            clockNow += (unsigned int)std::lround(seconds * 1000.0);
            timer.position += audio;
            timer.update((float)seconds);
        }

        // Starts the player and plays a second of 10 ms frames in step with the sound.
        static void playInStep(ScriptedTimer& timer)
        {
            frame(timer, 0.01, 0.0);
            for (int i = 0; i < 100; ++i)
            {
                frame(timer, 0.01, 0.01);
            }
        }
    };
} // namespace

TEST_F(TimerTest, AJumpOfTheSoundIsSpreadOverAboutASecondAndEndsInStep)
{
    ScriptedTimer timer;
    playInStep(timer);
    EXPECT_EQ(timer.journal, std::vector<std::string>({"play"}));
    EXPECT_NEAR(timer.getTime(), timer.position, 1e-4);
    frame(timer, 0.01, 0.51);
    float lagAtJump = (float)timer.position - timer.getTime();
    EXPECT_GT(lagAtJump, 0.45f);
    // Half a second later about half of the jump is made up, and the clock never runs ahead of the sound.
    std::vector<float> lags;
    for (int i = 0; i < 150; ++i)
    {
        frame(timer, 0.01, 0.01);
        lags.push_back((float)timer.position - timer.getTime());
        EXPECT_GE(lags.back(), -1e-4f) << "frame " << i;
    }
    EXPECT_NEAR(lags[49], 0.25f, 0.03f);
    EXPECT_GT(lags[89], 0.0f);
    EXPECT_NEAR(lags[109], 0.0f, 1e-4f);
    EXPECT_NEAR(lags.back(), 0.0f, 1e-4f);
}

TEST_F(TimerTest, SmallStepsAndBackwardStepsAreTakenAtOnce)
{
    ScriptedTimer timer(0.2f);
    playInStep(timer);
    frame(timer, 0.01, 0.06);
    EXPECT_NEAR(timer.getTime(), timer.position - 0.2, 1e-4);
    // The sound starting over is followed at once, whatever catch-up was under way.
    frame(timer, 0.01, 0.5);
    timer.position = 0.0;
    frame(timer, 0.01, 0.01);
    EXPECT_NEAR(timer.getTime(), 0.01 - 0.2, 1e-4);
    frame(timer, 0.01, 0.01);
    EXPECT_NEAR(timer.getTime(), 0.02 - 0.2, 1e-4);
}

TEST_F(TimerTest, AStallAdvancesAClockWhosePlayerReportsNoProgressByAtMostATenth)
{
    ScriptedTimer timer;
    playInStep(timer);
    float before = timer.getTime();
    frame(timer, 2.0, 0.0);
    EXPECT_NEAR(timer.getTime() - before, 0.1f, 1e-4f);
    // Smaller frames without progress are bridged with their wall time.
    frame(timer, 0.03, 0.0);
    EXPECT_NEAR(timer.getTime() - before, 0.13f, 1e-4f);
}

TEST_F(TimerTest, APausedClockPausesThePlayerStandsAndPlaysItAgainOnResume)
{
    ScriptedTimer timer;
    playInStep(timer);
    timer.pause();
    float before = timer.getTime();
    frame(timer, 0.5, 0.0);
    frame(timer, 0.5, 0.0);
    EXPECT_FLOAT_EQ(before, timer.getTime());
    timer.play();
    frame(timer, 0.01, 0.0);
    EXPECT_EQ(timer.journal, std::vector<std::string>({"play", "pause", "play"}));
    // Only the frame after the resume counts, not the second of standing.
    EXPECT_NEAR(timer.getTime() - before, 0.01f, 1e-4f);
}

TEST_F(TimerTest, OnceTheSoundHasEndedOnlyTheFrameStepsMoveTheClock)
{
    ScriptedTimer timer;
    playInStep(timer);
    timer.playing = false;
    float before = timer.getTime();
    for (int i = 0; i < 10; ++i)
    {
        frame(timer, 0.1, 0.0);
    }
    EXPECT_NEAR(timer.getTime() - before, 1.0f, 1e-3f);
    timer.setSpeed(0.5f);
    frame(timer, 0.1, 0.0);
    EXPECT_NEAR(timer.getTime() - before, 1.05f, 1e-3f);
}

TEST_F(TimerTest, WithoutAudioTheClockFollowsTheFrameStepsMinusTheSyncOffset)
{
    yim::init(yim::SystemType::AS_DISABLED, 0);
    AudioVideoTimer timer(nullptr, nullptr, 0.25f);
    EXPECT_TRUE(timer.isDisabled());
    float total = 0.0f;
    for (float step : {0.016f, 0.033f, 0.5f, 0.0f, 0.016f})
    {
        clockNow += 7;
        timer.update(step);
        total += step;
        EXPECT_NEAR(timer.getTime(), total - 0.25f, 1e-5f);
    }
    timer.setSpeed(2.0f);
    timer.update(0.1f);
    EXPECT_NEAR(timer.getTime(), total + 0.2f - 0.25f, 1e-5f);
    // No manager at all counts as disabled too.
    yim::destroy();
    EXPECT_TRUE(AudioVideoTimer(nullptr, nullptr, 0.0f).isDisabled());
}
