// A label drawn each frame from its cached layout, beside the same label given a new text each frame (a
// fresh layout every time), beside the text renderer drawing the same text directly: the floor the label
// adds its own cost to. Timed on the wall clock, with the frame finished before the next begins.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <GL/gl.h>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Label.h>
#include <fintu/Renderer.h>
#include <fintu/fintu.h>
#include <fintuttf/FontTtf.h>
#include <fintuttf/fintuttf.h>

namespace
{
    const char* const sentence = "The quick brown fox jumps over the lazy dog near the old river bank.";
    const kavtypes::Rectangle labelRect(100, 100, 400, 60);

    hstring fontFile()
    {
        hstring file = fintuttf::getSystemFontFilename("DejaVu Sans");
        return file != "" ? file : fintuttf::getSystemFontFilename("DejaVu Sans Book");
    }

    // Once per process: a hidden window, the text renderer with one font, and the label.
    tesraui::Label& label()
    {
        static tesraui::Label* result = nullptr;
        if (result == nullptr)
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(1024, 768, false, "label");
            fintu::init();
            fintuttf::init();
            fintu::renderer->registerFont(new fintuttf::FontTtf(fontFile(), "Sans", 24.0f, 1.0f, 0.0f, true));
            result = new tesraui::Label("label", labelRect);
            result->setFont("Sans");
            result->setText(sentence);
        }
        return *result;
    }

    void labelCached(benchmark::State& state)
    {
        tesraui::Label& l = label();
        l.setText(sentence);
        for (auto _ : state)
        {
            tesra::rendersys->clear(true, false);
            l.draw();
            glFinish();
        }
    }

    void labelNewText(benchmark::State& state)
    {
        tesraui::Label& l = label();
        int frame = 0;
        for (auto _ : state)
        {
            l.setText(formatString("%s %d", sentence, ++frame));
            tesra::rendersys->clear(true, false);
            l.draw();
            glFinish();
        }
        l.setText(sentence);
    }

    void rendererDirect(benchmark::State& state)
    {
        label();
        // Where and how the label draws: its own rectangle around its centre, moved there.
        kavtypes::Rectangle rect(-labelRect.w / 2, -labelRect.h / 2, labelRect.w, labelRect.h);
        for (auto _ : state)
        {
            tesra::rendersys->clear(true, false);
            kavtypes::Matrix4 modelview = tesra::rendersys->getModelviewMatrix();
            tesra::rendersys->translate(labelRect.x + labelRect.w / 2, labelRect.y + labelRect.h / 2, 0.0f);
            fintu::renderer->drawText("Sans", rect, sentence, fintu::CENTER_WRAPPED, fintu::CENTER_VERTICAL);
            tesra::rendersys->setModelviewMatrix(modelview);
            glFinish();
        }
    }
} // namespace

BENCHMARK(labelCached)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(labelNewText)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(rendererDirect)->Unit(benchmark::kMicrosecond)->UseRealTime();
