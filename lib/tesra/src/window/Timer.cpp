#include <time.h>

#include <quortypes/Log.h>
#include <tesra/Timer.h>
#include <tesra/tesra.h>

namespace tesra
{

    namespace
    {
        constexpr int64_t nanosecondsPerSecond = 1000000000;

        bool monotonicAvailable()
        {
            timespec ts;
            return clock_gettime(CLOCK_MONOTONIC, &ts) == 0;
        }
    } // namespace

    Timer::Timer()
    {
        performanceTimer = monotonicAvailable();
        if (performanceTimer)
        {
            frequency = nanosecondsPerSecond;
            resolution = 1.0 / (double)frequency;
        }
        else
        {
            quortypes::Log::warn(logTag,
                                 "Performance timer not available, multimedia timer will be used instead!");
            frequency = 1000;
            resolution = 0.001;
        }
        start = readCount();
        lastCount = start;
    }

    int64_t Timer::readCount() const
    {
        timespec ts;
        if (performanceTimer)
        {
            clock_gettime(CLOCK_MONOTONIC, &ts);
            return (int64_t)ts.tv_sec * nanosecondsPerSecond + ts.tv_nsec;
        }
        clock_gettime(CLOCK_REALTIME, &ts);
        return (int64_t)ts.tv_sec * 1000 + ts.tv_nsec / 1000000;
    }

    float Timer::getTime() const
    {
        return (float)((double)(readCount() - start) * resolution * 1000.0);
    }

    float Timer::diff(bool update)
    {
        if (update)
        {
            const int64_t now = readCount();
            // The difference of two integer counts stays exact however far both are
            // from the start; only the short interval is turned into a float.
            difference = (float)((double)(now - lastCount) * resolution);
            lastCount = now;
        }
        return difference;
    }

} // namespace tesra
