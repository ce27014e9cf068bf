// Update and draw of a flat tree of N coloured quads, per object, beside N bare filled rectangles drawn
// straight through the render system: the floor the tree adds its own cost to. Drawing is timed on the
// wall clock, since the frame is finished on the GPU (or its software stand-in) before the next begins.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <map>
#include <memory>
#include <vector>

#include <GL/gl.h>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/ColoredQuad.h>
#include <tesraui/Object.h>

namespace
{
    const int screenWidth = 1024, screenHeight = 768;

    kavtypes::Rectangle quadRect(int i)
    {
        return kavtypes::Rectangle((float)((i * 37) % (screenWidth - 16)),
                                   (float)((i * 53) % (screenHeight - 16)), 16.0f, 16.0f);
    }

    tesra::Color quadColor(int i)
    {
        return tesra::Color((unsigned char)(i * 11), (unsigned char)(i * 5), (unsigned char)(i * 3), 200);
    }

    struct Tree
    {
        std::unique_ptr<tesraui::Object> root;
        std::vector<std::unique_ptr<tesraui::ColoredQuad>> quads;

        explicit Tree(int count) : root(new tesraui::Object("root", kavtypes::Rectangle(0, 0, 1024, 768)))
        {
            for (int i = 0; i < count; ++i)
            {
                quads.emplace_back(new tesraui::ColoredQuad(formatString("quad%d", i), quadRect(i)));
                quads.back()->setColor(quadColor(i));
                root->addChild(quads.back().get());
            }
        }
    };

    tesra::RenderSystem* renderSystem()
    {
        static bool created = false;
        if (!created)
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(screenWidth, screenHeight, false, "uitree");
            created = true;
        }
        return tesra::rendersys;
    }

    Tree& tree(int count)
    {
        static std::map<int, std::unique_ptr<Tree>> trees;
        std::unique_ptr<Tree>& slot = trees[count];
        if (!slot)
        {
            slot.reset(new Tree(count));
        }
        return *slot;
    }

    void perObject(benchmark::State& state, int count)
    {
        state.counters["per_object"] = benchmark::Counter(
            (double)count, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }

    void treeUpdate(benchmark::State& state)
    {
        int count = (int)state.range(0);
        Tree& t = tree(count);
        for (auto _ : state)
        {
            t.root->update(0.016f);
        }
        perObject(state, count);
    }

    void treeDraw(benchmark::State& state)
    {
        tesra::RenderSystem* rs = renderSystem();
        int count = (int)state.range(0);
        Tree& t = tree(count);
        for (auto _ : state)
        {
            rs->clear(true, false);
            t.root->draw();
            glFinish();
        }
        perObject(state, count);
    }

    void bareDrawFilledRect(benchmark::State& state)
    {
        tesra::RenderSystem* rs = renderSystem();
        int count = (int)state.range(0);
        std::vector<kavtypes::Rectangle> rects;
        std::vector<tesra::Color> colors;
        for (int i = 0; i < count; ++i)
        {
            rects.push_back(quadRect(i));
            colors.push_back(quadColor(i));
        }
        for (auto _ : state)
        {
            rs->clear(true, false);
            for (int i = 0; i < count; ++i)
            {
                rs->drawFilledRect(rects[i], colors[i]);
            }
            glFinish();
        }
        perObject(state, count);
    }
} // namespace

BENCHMARK(treeUpdate)->Arg(100)->Arg(1000)->Arg(10000);
BENCHMARK(treeDraw)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(bareDrawFilledRect)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->UseRealTime();
