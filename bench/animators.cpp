// One update of a flat tree of N objects, each moved along x by a sine MoverX child, per object; beside it
// a bare loop that writes the same sines into the same objects' x, interleaved in one run: the floor the
// animators add their own cost to (the timing, the apply decision, the tree walk).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include <tesraui/Animators.h>
#include <tesraui/Object.h>

#include "Compare.h"

namespace
{
    const float step = 0.016f;

    float amplitudeOf(int i)
    {
        return (float)(i % 17 + 1);
    }

    // Different speeds, so that every object has a sine of its own.
    float speedOf(int i)
    {
        return 1.0f + (float)(i % 7) * 0.125f;
    }

    struct Tree
    {
        std::unique_ptr<tesraui::Object> root;
        std::vector<std::unique_ptr<tesraui::Object>> objects;
        std::vector<std::unique_ptr<tesraui::Animator>> movers;

        explicit Tree(int count) : root(new tesraui::Object("root", kavtypes::Rectangle(0, 0, 1024, 768)))
        {
            for (int i = 0; i < count; ++i)
            {
                objects.emplace_back(new tesraui::Object(formatString("object%d", i),
                                                         kavtypes::Rectangle((float)(i % 1000), 0, 16, 16)));
                movers.emplace_back(new tesraui::Animators::MoverX(formatString("mover%d", i)));
                movers.back()->setAnimationFunction(tesraui::Animator::AnimationFunction::Sine);
                movers.back()->setAmplitude(amplitudeOf(i));
                movers.back()->setSpeed(speedOf(i));
                movers.back()->setPeriods(-1.0f);
                objects.back()->addChild(movers.back().get());
                root->addChild(objects.back().get());
            }
        }
        ~Tree()
        {
            for (auto& object : objects)
                root->removeChild(object.get());
            for (size_t i = 0; i < objects.size(); ++i)
                objects[i]->removeChild(movers[i].get());
        }
    };

    void sineMovers(benchmark::State& state)
    {
        const int count = (int)state.range(0);
        Tree tree(count);
        std::vector<float> offsets;
        for (auto& object : tree.objects)
        {
            offsets.push_back(object->getX());
        }
        float timer = 0.0f;
        benchcompare::Side ours{[&] { tree.root->update(step); }};
        benchcompare::Side bare{[&]
                                {
                                    timer += step;
                                    for (int i = 0; i < count; ++i)
                                    {
                                        float angle =
                                            speedOf(i) * timer * 360.0f * (3.14159265358979f / 180.0f);
                                        tree.objects[i]->setX(offsets[i] + std::sin(angle) * amplitudeOf(i));
                                    }
                                    benchmark::ClobberMemory();
                                }};
        benchcompare::compare(state, ours, bare, (double)count);
    }
} // namespace

BENCHMARK(sineMovers)->Arg(10000)->Iterations(1);
