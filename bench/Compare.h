// A measured side against its reference in one run: every repeat times both sides back to back (the
// order swapped on every other repeat), so that the load of a shared machine falls on both alike, and
// the per-repeat ratios go out as min/median/max counters beside the median times.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace benchcompare
{
    // What one side does. Only `body` (and `finish`, once after the last call) is timed; `prepare` and
    // `cleanup` run around every call of it.
    struct Side
    {
        std::function<void()> body;
        std::function<void()> prepare = [] {};
        std::function<void()> cleanup = [] {};
        std::function<void()> finish = [] {};
    };

    // Seconds per call of the side's body, calling it for at least `minSeconds` after one untimed call.
    inline double secondsPerCall(const Side& side, double minSeconds)
    {
        using Clock = std::chrono::steady_clock;
        side.prepare();
        side.body();
        side.cleanup();
        Clock::duration timed{};
        long calls = 0;
        while (calls == 0 || std::chrono::duration<double>(timed).count() < minSeconds)
        {
            side.prepare();
            const Clock::time_point start = Clock::now();
            side.body();
            timed += Clock::now() - start;
            side.cleanup();
            ++calls;
        }
        const Clock::time_point start = Clock::now();
        side.finish();
        timed += Clock::now() - start;
        return std::chrono::duration<double>(timed).count() / calls;
    }

    inline double median(std::vector<double> values)
    {
        std::sort(values.begin(), values.end());
        const size_t n = values.size();
        return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0);
    }

    // Sets the counters "ours_us" and "ref_us" (median per call, divided by `perCall` items) and
    // "ratio_min", "ratio_median", "ratio_max" of our time over the reference's: below 1 is faster.
    inline void report(benchmark::State& state, const std::vector<double>& ours,
                       const std::vector<double>& reference, double perCall)
    {
        std::vector<double> ratios;
        for (size_t i = 0; i < ours.size() && i < reference.size(); ++i)
        {
            ratios.push_back(ours[i] / reference[i]);
        }
        state.counters["ours_us"] = median(ours) * 1e6 / perCall;
        state.counters["ref_us"] = median(reference) * 1e6 / perCall;
        state.counters["ratio_min"] = ratios.empty() ? 0.0 : *std::min_element(ratios.begin(), ratios.end());
        state.counters["ratio_median"] = median(ratios);
        state.counters["ratio_max"] = ratios.empty() ? 0.0 : *std::max_element(ratios.begin(), ratios.end());
    }

    // Register with ->Iterations(1): the repeats are the measurement.
    inline void compare(benchmark::State& state, const Side& ours, const Side& reference,
                        double perCall = 1.0, int repeats = 5, double minSeconds = 0.2)
    {
        std::vector<double> oursTimes, referenceTimes;
        for (auto _ : state)
        {
            for (int r = 0; r < repeats; ++r)
            {
                if (r % 2 == 0)
                {
                    oursTimes.push_back(secondsPerCall(ours, minSeconds));
                    referenceTimes.push_back(secondsPerCall(reference, minSeconds));
                }
                else
                {
                    referenceTimes.push_back(secondsPerCall(reference, minSeconds));
                    oursTimes.push_back(secondsPerCall(ours, minSeconds));
                }
            }
        }
        report(state, oursTimes, referenceTimes, perCall);
    }
} // namespace benchcompare
