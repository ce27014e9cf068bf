#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include <tesra/Timer.h>

namespace
{
    // Moves the timer's start far into the past, as if the program had run that long.
    class AgedTimer : public tesra::Timer
    {
    public:
        void age(double seconds) { start -= (int64_t)(seconds * (double)frequency); }
    };
} // namespace

TEST(Timer, MeasuresFramesWithMillisecondPrecisionAfterADay)
{
    AgedTimer timer;
    EXPECT_TRUE(timer.isPerformanceTimer());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const float first = timer.diff(true);
    EXPECT_GE(first, 0.019f);
    EXPECT_LT(first, 1.0f);
    EXPECT_FLOAT_EQ(timer.diff(false), first); // a frame is measured from the last reset
    timer.age(24 * 3600.0);
    EXPECT_GE(timer.getTime(), 24 * 3600 * 1000.0f - 16.0f);
    // A day in, float milliseconds only resolve 8 ms steps: short frames would measure 0 or 8 ms.
    for (int i = 0; i < 5; ++i)
    {
        const auto before = std::chrono::steady_clock::now();
        timer.diff(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
        const float measured = timer.diff(true);
        const float actual = std::chrono::duration<float>(std::chrono::steady_clock::now() - before).count();
        EXPECT_GE(measured, 0.003f);
        EXPECT_LE(measured, actual + 0.0001f);
    }
}
