// Destroying many objects in one frame with frees deferred to tesraui::freeDestroyed, as the engine runs,
// beside the same destroys freed at once: N image boxes of one container destroyed one by one (a script's
// object.destroy on each), and the container destroyed whole with its N children. The tree is built afresh
// for every call, untimed; the deferred side's time includes its freeDestroyed.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "Compare.h"

namespace
{
    // A dataset whose root holds a container of `count` image boxes.
    struct Boxes
    {
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Container* content = nullptr;
        std::vector<tesraui::Object*> boxes;

        void build(int count)
        {
            this->dataset.reset(new tesraui::Dataset("", "frees"));
            tesraui::Container* root = new tesraui::Container("root", kavtypes::Rectangle(0, 0, 1024, 768));
            this->content = new tesraui::Container("content", kavtypes::Rectangle(0, 0, 1024, 768));
            root->addChild(this->content);
            this->boxes.clear();
            for (int i = 0; i < count; ++i)
            {
                tesraui::ImageBox* box = new tesraui::ImageBox(
                    formatString("box%d", i),
                    kavtypes::Rectangle((float)((i * 37) % 900), (float)((i * 53) % 600), 64, 64));
                this->content->addChild(box);
                this->boxes.push_back(box);
            }
            this->dataset->registerObjects(root);
        }

        void release()
        {
            tesraui::freeDestroyed();
            this->dataset.reset();
            this->boxes.clear();
        }
    };

    // The same destroys run with frees deferred and a freeDestroyed after them, and with frees at once.
    void compareFrees(benchmark::State& state, void (*destroy)(Boxes&))
    {
        const int count = (int)state.range(0);
        std::shared_ptr<Boxes> boxes = std::make_shared<Boxes>();
        benchcompare::Side deferred{[boxes, destroy]
                                    {
                                        destroy(*boxes);
                                        tesraui::freeDestroyed();
                                    }};
        deferred.prepare = [boxes, count]
        {
            tesraui::setDeferredFrees(true);
            boxes->build(count);
        };
        deferred.cleanup = [boxes] { boxes->release(); };
        benchcompare::Side atOnce{[boxes, destroy] { destroy(*boxes); }};
        atOnce.prepare = [boxes, count]
        {
            tesraui::setDeferredFrees(false);
            boxes->build(count);
        };
        atOnce.cleanup = [boxes] { boxes->release(); };
        benchcompare::compare(state, deferred, atOnce, 1.0, 7, 0.2);
        tesraui::setDeferredFrees(false);
        state.counters["objects"] = count;
    }

    void destroyEachBesideFreedAtOnce(benchmark::State& state)
    {
        compareFrees(state,
                     [](Boxes& boxes)
                     {
                         for (tesraui::Object* box : boxes.boxes)
                         {
                             boxes.dataset->destroyObject(box);
                         }
                     });
    }

    void destroyContainerBesideFreedAtOnce(benchmark::State& state)
    {
        compareFrees(state, [](Boxes& boxes) { boxes.dataset->destroyObject(boxes.content); });
    }
} // namespace

BENCHMARK(destroyEachBesideFreedAtOnce)->Arg(10000)->Arg(40000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(destroyContainerBesideFreedAtOnce)
    ->Arg(10000)
    ->Arg(40000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
