#pragma once

#include <cstdint>

namespace tesra
{

    // Frame timer. Counts are kept as 64-bit integers so that the precision of a frame
    // time does not degrade however long the program runs; only the results are floats.
    class Timer
    {
    public:
        Timer();

        // Milliseconds since the timer was made.
        float getTime() const;
        // Seconds between this update and the previous one (the first measures from the
        // timer's start); without update, the last measured value.
        float diff(bool update = true);

        int64_t getFrequency() const { return frequency; }
        double getResolution() const { return resolution; }
        bool isPerformanceTimer() const { return performanceTimer; }

    protected:
        int64_t readCount() const;

        float difference = 0.0f;
        int64_t frequency = 0;
        double resolution = 0.0;
        bool performanceTimer = false;
        int64_t start = 0;
        int64_t lastCount = 0;
    };

} // namespace tesra
