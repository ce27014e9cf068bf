// Registering the achievement names of a profile, as every profile load does: 40,000 names (every tenth a
// repeat) in one list beside the same names in ten lists of 4,000, each given to a fresh service. Both
// sides register the same names, so a ratio above 1 is a cost that grows with the length of the list.
#include <benchmark/benchmark.h>

#include <pirk/OfflineAchievementsService.h>
#include <quortypes/harray.h>

#include "Compare.h"

namespace
{
    const int total = 40000;

    harray<hstring> namesFrom(int first, int count)
    {
        harray<hstring> names;
        for (int i = first; i < first + count; ++i)
        {
            names.push_back("achievement_" + hstring(i % 10 == 9 ? i - 1 : i));
        }
        return names;
    }

    void registerInLists(int lists)
    {
        const int count = total / lists;
        for (int list = 0; list < lists; ++list)
        {
            pirk::OfflineAchievementsService service;
            service.registerAchievementNames(namesFrom(list * count, count));
            benchmark::DoNotOptimize(service.getAchievementNames().size());
        }
    }

    void RegisterNames(benchmark::State& state)
    {
        benchcompare::Side ours{[] { registerInLists(1); }};
        benchcompare::Side reference{[] { registerInLists(10); }};
        benchcompare::compare(state, ours, reference, (double)total);
    }
    BENCHMARK(RegisterNames)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace
