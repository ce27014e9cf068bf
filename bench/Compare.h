// A measured side against its reference in one run: every repeat times both sides back to back (the
// order swapped on every other repeat), so that the load of a shared machine falls on both alike, and
// the per-repeat ratios go out as min/median/max counters beside the median times, on the wall clock and
// on the process's CPU clock.
#pragma once

#include <time.h>

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

    // The process's CPU time in seconds: every thread of it, so that work a side hands to another thread
    // counts too.
    inline double cpuSeconds()
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return (double)now.tv_sec + (double)now.tv_nsec * 1e-9;
    }

    struct Timing
    {
        double wall = 0.0;
        double cpu = 0.0;
    };

    // Wall-clock and CPU seconds per call of the side's body, calling it for at least `minSeconds` of wall
    // clock after one untimed call.
    inline Timing timePerCall(const Side& side, double minSeconds)
    {
        using Clock = std::chrono::steady_clock;
        side.prepare();
        side.body();
        side.cleanup();
        Clock::duration timed{};
        double cpu = 0.0;
        long calls = 0;
        while (calls == 0 || std::chrono::duration<double>(timed).count() < minSeconds)
        {
            side.prepare();
            const double cpuStart = cpuSeconds();
            const Clock::time_point start = Clock::now();
            side.body();
            timed += Clock::now() - start;
            cpu += cpuSeconds() - cpuStart;
            side.cleanup();
            ++calls;
        }
        const double cpuStart = cpuSeconds();
        const Clock::time_point start = Clock::now();
        side.finish();
        timed += Clock::now() - start;
        cpu += cpuSeconds() - cpuStart;
        return {std::chrono::duration<double>(timed).count() / calls, cpu / calls};
    }

    // Seconds per call of the side's body, calling it for at least `minSeconds` after one untimed call.
    inline double secondsPerCall(const Side& side, double minSeconds)
    {
        return timePerCall(side, minSeconds).wall;
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

    // Sets "cpu_ours_us", "cpu_ref_us" and "cpu_ratio_min", "cpu_ratio_median", "cpu_ratio_max", the same
    // figures on the CPU clock.
    inline void reportCpu(benchmark::State& state, const std::vector<double>& ours,
                          const std::vector<double>& reference, double perCall)
    {
        std::vector<double> ratios;
        for (size_t i = 0; i < ours.size() && i < reference.size(); ++i)
        {
            ratios.push_back(ours[i] / reference[i]);
        }
        state.counters["cpu_ours_us"] = median(ours) * 1e6 / perCall;
        state.counters["cpu_ref_us"] = median(reference) * 1e6 / perCall;
        state.counters["cpu_ratio_min"] =
            ratios.empty() ? 0.0 : *std::min_element(ratios.begin(), ratios.end());
        state.counters["cpu_ratio_median"] = median(ratios);
        state.counters["cpu_ratio_max"] =
            ratios.empty() ? 0.0 : *std::max_element(ratios.begin(), ratios.end());
    }

    // Register with ->Iterations(1): the repeats are the measurement.
    inline void compare(benchmark::State& state, const Side& ours, const Side& reference,
                        double perCall = 1.0, int repeats = 5, double minSeconds = 0.2)
    {
        std::vector<double> oursTimes, referenceTimes, oursCpu, referenceCpu;
        auto run = [&](const Side& side, std::vector<double>& wall, std::vector<double>& cpu)
        {
            const Timing timing = timePerCall(side, minSeconds);
            wall.push_back(timing.wall);
            cpu.push_back(timing.cpu);
        };
        for (auto _ : state)
        {
            for (int r = 0; r < repeats; ++r)
            {
                if (r % 2 == 0)
                {
                    run(ours, oursTimes, oursCpu);
                    run(reference, referenceTimes, referenceCpu);
                }
                else
                {
                    run(reference, referenceTimes, referenceCpu);
                    run(ours, oursTimes, oursCpu);
                }
            }
        }
        report(state, oursTimes, referenceTimes, perCall);
        reportCpu(state, oursCpu, referenceCpu, perCall);
    }
} // namespace benchcompare
