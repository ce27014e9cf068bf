// One frame of the demo game through the engine's update delegate (the UI's update and draw, the session
// frame, "ui.update") beside the UI library's own update and draw of the same object tree: what the
// engine adds to a frame. Timed on the wall clock with the frame finished before the next begins.
// And a frame in which 4,000 colour images in use but not on screen come due for their idle check beside
// an ordinary frame of the same scene.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>

#include <GL/gl.h>

#include <tesra/RenderSystem.h>
#include <tesra/UpdateDelegate.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>

#include "BenchGame.h"
#include "Compare.h"
#include "Config.h"
#include "Session.h"
#include "objects/ColorImage.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    void startDemo()
    {
        benchgame::startDemo("frame");
    }

    void DemoFrameThroughDelegate(benchmark::State& state)
    {
        startDemo();
        for (auto _ : state)
        {
            tesra::window->getUpdateDelegate()->onUpdate(0.016f);
            glFinish();
        }
    }
    BENCHMARK(DemoFrameThroughDelegate)->UseRealTime()->Unit(benchmark::kMicrosecond);

    void SameTreeLibraryUpdateAndDraw(benchmark::State& state)
    {
        startDemo();
        tesraui::Container* root = UI::getInstance()->getRootObject();
        for (auto _ : state)
        {
            tesraui::processEvents();
            tesraui::update(0.016f);
            tesra::rendersys->clear();
            root->draw();
            glFinish();
        }
    }
    BENCHMARK(SameTreeLibraryUpdateAndDraw)->UseRealTime()->Unit(benchmark::kMicrosecond);

    // 4,000 image boxes of as many colours in a hidden container of the UI: their images are in use and
    // never drawn, so they all come due together every five seconds.
    void addHiddenColourBoxes()
    {
        static bool added = false;
        if (added)
        {
            return;
        }
        added = true;
        tesraui::Dataset* dataset = UI::getUIDataset();
        tesraui::Container* hidden =
            new tesraui::Container("hiddenColours", kavtypes::Rectangle(0, 0, 64, 64));
        hidden->setVisible(false);
        dataset->registerObjects(hidden);
        UI::getInstance()->getRootObject()->addChild(hidden);
        for (int i = 0; i < 4000; ++i)
        {
            tesraui::ImageBox* box =
                new tesraui::ImageBox(formatString("colour%d", i), kavtypes::Rectangle(0, 0, 8, 8));
            hidden->addChildAndRegister(box);
            box->setImageByName(formatString("0x%06X", i * 4099 % 0xFFFFFF));
        }
    }

    void frame()
    {
        tesra::window->getUpdateDelegate()->onUpdate(0.016f);
        glFinish();
    }

    void FrameWithColourChecksBesideOrdinaryFrame(benchmark::State& state)
    {
        startDemo();
        addHiddenColourBoxes();
        // An idle check finds every image in use and starts its idle time again; the images come due in
        // the timed frame or five seconds after it.
        benchcompare::Side due{frame};
        due.prepare = []
        {
            vumo::ColorImage::updateAll(5.5f);
            vumo::ColorImage::updateAll(4.99f);
        };
        // The ordinary frame's images keep their idle time: what the frame adds is taken off before it.
        benchcompare::Side ordinary{frame};
        ordinary.prepare = [] { vumo::ColorImage::updateAll(-0.016f); };
        benchcompare::compare(state, due, ordinary);
        state.counters["colours"] = 4000;
    }
    BENCHMARK(FrameWithColourChecksBesideOrdinaryFrame)->Iterations(1)->Unit(benchmark::kMicrosecond);
} // namespace
