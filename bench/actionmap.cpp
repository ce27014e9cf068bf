// Action map hit tests per pointer move on a 1920 x 1080 map of 10, 200 and 1,000 regions at random
// points, through the map and through the object's point test, each beside a flat per-pixel colour
// table (the floor: one load per point); and the first load of the 1,000-region map beside reading its
// bytes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "ActionMap.h"
#include "AmpFiles.h"
#include "Compare.h"
#include <quortypes/FileBytes.h>
#include <quortypes_testing/TempFolder.h>
#include "objects/ActionMapObject.h"

using namespace vumo;

namespace
{
    const int mapWidth = 1920;
    const int mapHeight = 1080;
    const int points = 4096;

    struct Setup
    {
        std::string path;
        std::vector<uint32_t> table;
        std::vector<int> xs;
        std::vector<int> ys;
    };

    // Ellipses of 40 to 240 pixels scattered over the map, overlapping as they fall.
    const Setup& setUp(int regions)
    {
        static std::map<int, Setup> setups;
        auto found = setups.find(regions);
        if (found != setups.end())
        {
            return found->second;
        }
        static std::string folder;
        if (folder == "")
        {
            folder = quortypes_testing::makeTempFolder("vumo-bench-amp-");
            // Maps are resources, named relative to the working folder.
            std::filesystem::current_path(folder);
        }
        std::mt19937 random(regions);
        std::vector<ampfiles::Region> list;
        for (int i = 0; i < regions; ++i)
        {
            const int w = 40 + (int)(random() % 200);
            const int h = 40 + (int)(random() % 200);
            const int left = (int)(random() % (mapWidth - w));
            const int top = (int)(random() % (mapHeight - h));
            const float cx = left + w * 0.5f;
            const float cy = top + h * 0.5f;
            ampfiles::Region region;
            region.rgb = 0x000100 * (uint32_t)(i + 1);
            region.left = left;
            region.top = top;
            region.right = left + w - 1;
            region.bottom = top + h - 1;
            region.centerX = (int)cx;
            region.centerY = (int)cy;
            region.covers = [=](int x, int y)
            {
                const float nx = (x - cx) / (w * 0.5f);
                const float ny = (y - cy) / (h * 0.5f);
                return nx * nx + ny * ny < 1.0f;
            };
            list.push_back(region);
        }
        Setup& setup = setups[regions];
        setup.path = "map" + std::to_string(regions) + ".amp";
        std::ofstream(setup.path, std::ios::binary) << ampfiles::file(mapWidth, mapHeight, list);
        ActionMap map(setup.path);
        setup.table.resize((size_t)mapWidth * mapHeight);
        for (int y = 0; y < mapHeight; ++y)
        {
            for (int x = 0; x < mapWidth; ++x)
            {
                setup.table[(size_t)y * mapWidth + x] = map.getColorAt(x, y);
            }
        }
        for (int i = 0; i < points; ++i)
        {
            setup.xs.push_back((int)(random() % mapWidth));
            setup.ys.push_back((int)(random() % mapHeight));
        }
        return setup;
    }

    benchcompare::Side tableSide(const Setup& setup)
    {
        return {[&setup]
                {
                    uint32_t sum = 0;
                    for (int i = 0; i < points; ++i)
                    {
                        sum += setup.table[(size_t)setup.ys[i] * mapWidth + setup.xs[i]];
                    }
                    benchmark::DoNotOptimize(sum);
                }};
    }

    void MapGetColorAt(benchmark::State& state)
    {
        const Setup& setup = setUp((int)state.range(0));
        ActionMap map(setup.path);
        map.ensureLoaded();
        benchcompare::Side ours{[&]
                                {
                                    uint32_t sum = 0;
                                    for (int i = 0; i < points; ++i)
                                    {
                                        sum += map.getColorAt(setup.xs[i], setup.ys[i]);
                                    }
                                    benchmark::DoNotOptimize(sum);
                                }};
        benchcompare::compare(state, ours, tableSide(setup), points);
    }

    void ObjectPointTest(benchmark::State& state)
    {
        const Setup& setup = setUp((int)state.range(0));
        ActionMap map(setup.path);
        ActionMapObject object("layer", kavtypes::Rectangle(0, 0, mapWidth, mapHeight));
        object.setMap(&map);
        benchcompare::Side ours{
            [&]
            {
                int inside = 0;
                for (int i = 0; i < points; ++i)
                {
                    inside += object.isPointInside(kavtypes::Vector2(setup.xs[i] + 0.5f, setup.ys[i] + 0.5f));
                }
                benchmark::DoNotOptimize(inside);
            }};
        benchcompare::compare(state, ours, tableSide(setup), points);
    }

    void FirstLoad(benchmark::State& state)
    {
        const Setup& setup = setUp(1000);
        benchcompare::Side ours{[&]
                                {
                                    ActionMap map(setup.path);
                                    map.ensureLoaded();
                                }};
        benchcompare::Side reference{[&] { benchmark::DoNotOptimize(readFileBytes(setup.path, false)); }};
        benchcompare::compare(state, ours, reference);
    }
} // namespace

BENCHMARK(MapGetColorAt)->Arg(10)->Arg(200)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ObjectPointTest)->Arg(10)->Arg(200)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstLoad)->Iterations(1)->Unit(benchmark::kMillisecond);
