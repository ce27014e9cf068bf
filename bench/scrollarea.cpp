// Update and draw of a scroll area holding 1,000 image buttons while it flings, per button, beside the same
// buttons with the area at rest: what the moving content adds to a frame. Timed on the wall clock, with the
// frame finished before the next begins.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

#include <GL/gl.h>

#include <quortypes/Dir.h>
#include <quortypes/Resource.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/tesraui.h>
#include <quortypes_testing/TempFolder.h>

namespace
{
    const int buttonCount = 1000, perRow = 20, cell = 50;
    const float frameTime = 1.0f / 60.0f;

    void writeFile(const hstring& path, const void* data, size_t size)
    {
        quortypes::Dir::create(quortypes::Dir::baseDir(path));
        FILE* file = fopen(path.c_str(), "wb");
        fwrite(data, 1, size, file);
        fclose(file);
    }

    void writeTexture(const hstring& path)
    {
        const int size = 64;
        std::vector<unsigned char> pixels((size_t)size * size * 4);
        for (int i = 0; i < size * size; ++i)
        {
            unsigned char* p = &pixels[(size_t)i * 4];
            p[0] = (unsigned char)(i * 3);
            p[1] = (unsigned char)(i / 7);
            p[2] = (unsigned char)(i ^ 0x5A);
            p[3] = 255;
        }
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = size;
        image.height = size;
        image.format = PNG_FORMAT_RGBA;
        png_alloc_size_t length = 0;
        png_image_write_to_memory(&image, nullptr, &length, 0, pixels.data(), 0, nullptr);
        std::vector<unsigned char> png(length);
        png_image_write_to_memory(&image, png.data(), &length, 0, pixels.data(), 0, nullptr);
        writeFile(path, png.data(), length);
    }

    hstring datasetXml()
    {
        int rows = (buttonCount + perRow - 1) / perRow;
        hstring xml = "<Dataset>\n  <Texture filename=\"../gfx/tiles\">\n"
                      "    <Image name=\"normal\" rect=\"0,0,32,32\"/>\n"
                      "    <Image name=\"hover\" rect=\"32,0,32,32\"/>\n"
                      "  </Texture>\n"
                      "  <Object type=\"Container\" name=\"root\" rect=\"0,0,1024,768\">\n";
        xml += formatString("    <Object type=\"ScrollArea\" name=\"area\" rect=\"0,0,%d,%d\">\n",
                            perRow * cell, rows * cell);
        for (int i = 0; i < buttonCount; ++i)
        {
            xml += formatString("      <Object type=\"ImageButton\" name=\"b%d\" rect=\"%d,%d,48,48\" "
                                "image=\"tiles/normal\" hover_image=\"tiles/hover\"/>\n",
                                i, (i % perRow) * cell, (i / perRow) * cell);
        }
        xml += "    </Object>\n  </Object>\n</Dataset>\n";
        return xml;
    }

    // Once per process: the files in a scratch folder, a hidden window and the loaded dataset.
    struct Setup
    {
        hstring folder;
        tesraui::Dataset* dataset = nullptr;
        tesraui::ScrollArea* area = nullptr;

        Setup()
        {
            this->folder = quortypes_testing::makeTempFolder("vumo_bench_scrollarea_");
            quortypes::Resource::setCwd(this->folder);
            writeTexture(this->folder + "/gfx/tiles.png");
            hstring xml = datasetXml();
            writeFile(this->folder + "/ui/scroll.xml", xml.data(), xml.size());
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(1024, 768, false, "scrollarea");
            tesraui::init();
            // The load logs a line per file; keep it off the benchmark's table.
            int saved = dup(1), null = open("/dev/null", O_WRONLY);
            fflush(stdout);
            dup2(null, 1);
            this->dataset = new tesraui::Dataset("ui/scroll.xml", "bench");
            this->dataset->load();
            fflush(stdout);
            dup2(saved, 1);
            close(null);
            close(saved);
            this->area = dynamic_cast<tesraui::ScrollArea*>(this->dataset->getObject("area"));
            tesraui::setCursorPosition(kavtypes::Vector2(500, 400));
        }
        ~Setup() { quortypes::Dir::remove(this->folder); }
    };

    Setup& setup()
    {
        static Setup instance;
        return instance;
    }

    void frame(Setup& s)
    {
        s.dataset->update(frameTime);
        tesra::rendersys->clear(true, false);
        s.dataset->getRoot()->draw();
        glFinish();
    }

    void perButton(benchmark::State& state)
    {
        state.counters["per_button"] = benchmark::Counter(
            buttonCount, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }

    void areaFlinging(benchmark::State& state)
    {
        Setup& s = setup();
        float direction = 1.0f;
        for (auto _ : state)
        {
            // Flung again from the other end whenever it comes to rest, so that every frame moves it.
            if (!s.area->isScrolling())
            {
                direction = -direction;
                s.area->setInertiaStartOffset(s.area->getScrollOffset());
                s.area->setInertiaTime(kavtypes::Vector2());
                s.area->setDragSpeed(kavtypes::Vector2(direction * 1500.0f, direction * 2500.0f));
            }
            frame(s);
        }
        s.area->stopScrolling();
        perButton(state);
    }

    void areaAtRest(benchmark::State& state)
    {
        Setup& s = setup();
        s.area->stopScrolling();
        for (auto _ : state)
        {
            frame(s);
        }
        perButton(state);
    }
} // namespace

BENCHMARK(areaFlinging)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(areaAtRest)->Unit(benchmark::kMicrosecond)->UseRealTime();
