// Update and draw of a flat tree of N coloured quads, per object, beside N bare filled rectangles drawn
// straight through the render system: the floor the tree adds its own cost to, interleaved in one run
// and timed on the wall clock. And attaching many children to one parent.
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

#include "Compare.h"
#include "rendersystems/opengl/OpenGL_RenderSystem.h"

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

    void flushDraws()
    {
        static_cast<tesra::OpenGL_RenderSystem*>(tesra::rendersys)->flush();
    }

    // Update and draw of the tree beside the same rectangles drawn bare, per object; each frame ends
    // with its draws sent to GL, the timed run with one glFinish.
    void treeBesideBareRects(benchmark::State& state)
    {
        tesra::RenderSystem* rs = renderSystem();
        const int count = (int)state.range(0);
        Tree& t = tree(count);
        std::vector<kavtypes::Rectangle> rects;
        std::vector<tesra::Color> colors;
        for (int i = 0; i < count; ++i)
        {
            rects.push_back(quadRect(i));
            colors.push_back(quadColor(i));
        }
        benchcompare::Side ours{[&]
                                {
                                    t.root->update(0.016f);
                                    rs->clear(true, false);
                                    t.root->draw();
                                    flushDraws();
                                }};
        benchcompare::Side bare{[&]
                                {
                                    rs->clear(true, false);
                                    for (int i = 0; i < count; ++i)
                                    {
                                        rs->drawFilledRect(rects[i], colors[i]);
                                    }
                                    flushDraws();
                                }};
        ours.finish = bare.finish = [] { glFinish(); };
        benchcompare::compare(state, ours, bare, (double)count);
    }

    // Attaching N children of one z-order to an empty parent; making and deleting them is not timed.
    void attachChildren(benchmark::State& state)
    {
        const int count = (int)state.range(0);
        for (auto _ : state)
        {
            state.PauseTiming();
            tesraui::Object root("root", kavtypes::Rectangle(0, 0, 1024, 768));
            std::vector<std::unique_ptr<tesraui::Object>> children;
            for (int i = 0; i < count; ++i)
            {
                children.emplace_back(new tesraui::Object(formatString("child%d", i), quadRect(i)));
            }
            state.ResumeTiming();
            for (auto& child : children)
            {
                root.addChild(child.get());
            }
            state.PauseTiming();
            root.removeChildren(false);
            children.clear();
            state.ResumeTiming();
        }
    }
} // namespace

BENCHMARK(treeBesideBareRects)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(attachChildren)->Arg(1000)->Arg(8000)->Arg(16000)->Unit(benchmark::kMillisecond);
