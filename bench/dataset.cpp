// Loading a dataset file of 1,000 image boxes over 20 textures, split into its parts: the XML parsed
// through the wrapper, the load with textures left to load on demand (parsing plus object construction),
// and the full load that decodes and uploads every texture. Beside them TinyXML parsing the same file
// alone and the 20 images decoded alone, the floors the load adds its own cost to.
#define TIXML_USE_STL
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include <tinyxml.h>

#include <quortypes/Dir.h>
#include <quortypes/Resource.h>
#include <quorxml/Document.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>
#include <quortypes_testing/TempFolder.h>

#include "Compare.h"
#include "QuietConsole.h"

namespace
{
    const int textureCount = 20, imagesPerTexture = 10, objectCount = 1000, textureSize = 256;

    void writeFile(const hstring& path, const void* data, size_t size)
    {
        quortypes::Dir::create(quortypes::Dir::baseDir(path));
        FILE* file = fopen(path.c_str(), "wb");
        fwrite(data, 1, size, file);
        fclose(file);
    }

    // A compressed PNG with some structure, so that decoding costs what real art costs.
    void writeTexture(const hstring& path, int seed)
    {
        std::vector<unsigned char> pixels((size_t)textureSize * textureSize * 4);
        for (int y = 0; y < textureSize; ++y)
        {
            for (int x = 0; x < textureSize; ++x)
            {
                unsigned char* p = &pixels[((size_t)y * textureSize + x) * 4];
                p[0] = (unsigned char)(x * 3 + seed);
                p[1] = (unsigned char)(y * 5 + x / 7);
                p[2] = (unsigned char)((x ^ y) + seed * 13);
                p[3] = (unsigned char)(255 - (x + y) / 4);
            }
        }
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = textureSize;
        image.height = textureSize;
        image.format = PNG_FORMAT_RGBA;
        png_alloc_size_t size = 0;
        png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
        std::vector<unsigned char> png(size);
        png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr);
        writeFile(path, png.data(), size);
    }

    hstring datasetXml(bool dynamic)
    {
        hstring xml = "<Dataset>\n";
        for (int t = 0; t < textureCount; ++t)
        {
            xml += formatString("  <Texture filename=\"../gfx/t%02d\" dynamic_load=\"%d\">\n", t,
                                dynamic ? 1 : 0);
            for (int i = 0; i < imagesPerTexture; ++i)
            {
                xml += formatString("    <Image name=\"i%d\" rect=\"%d,0,24,24\"/>\n", i, i * 24);
            }
            xml += "  </Texture>\n";
        }
        xml += "  <Object type=\"Container\" name=\"root\" rect=\"0,0,1024,768\">\n";
        for (int o = 1; o < objectCount; ++o)
        {
            xml += formatString(
                "    <Object type=\"ImageBox\" name=\"box%d\" x=\"%d\" y=\"%d\" image=\"t%02d/i%d\" "
                "alpha=\"200\"/>\n",
                o, (o * 37) % 1000, (o * 53) % 740, o % textureCount, o % imagesPerTexture);
        }
        xml += "  </Object>\n</Dataset>\n";
        return xml;
    }

    // The files in a scratch folder that resources are read from, and the window the textures need.
    struct Setup
    {
        hstring folder;

        Setup()
        {
            this->folder = quortypes_testing::makeTempFolder("vumo_bench_dataset_");
            quortypes::Resource::setCwd(this->folder);
            for (int t = 0; t < textureCount; ++t)
            {
                writeTexture(this->folder + formatString("/gfx/t%02d.png", t), t);
            }
            hstring full = datasetXml(false), dynamic = datasetXml(true);
            writeFile(this->folder + "/ui/full.xml", full.data(), full.size());
            writeFile(this->folder + "/ui/dynamic.xml", dynamic.data(), dynamic.size());
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(1024, 768, false, "dataset");
            tesraui::init();
        }
        ~Setup() { quortypes::Dir::remove(this->folder); }
    };

    Setup& setup()
    {
        static Setup instance;
        return instance;
    }

    void loadDataset(benchmark::State& state, const char* file)
    {
        setup();
        benchconsole::QuietConsole quiet;
        for (auto _ : state)
        {
            tesraui::Dataset dataset(file, "bench");
            dataset.load();
        }
        state.counters["objects"] = objectCount;
    }

    void datasetXmlParsing(benchmark::State& state)
    {
        setup();
        for (auto _ : state)
        {
            quorxml::Document document("ui/full.xml");
            benchmark::DoNotOptimize(document.root());
        }
    }

    void datasetParsingAndConstruction(benchmark::State& state)
    {
        loadDataset(state, "ui/dynamic.xml");
    }

    void datasetFullLoad(benchmark::State& state)
    {
        loadDataset(state, "ui/full.xml");
    }

    void referenceTinyXmlAlone(benchmark::State& state)
    {
        hstring path = setup().folder + "/ui/full.xml";
        for (auto _ : state)
        {
            TiXmlDocument document;
            document.LoadFile(path.c_str());
            benchmark::DoNotOptimize(document.RootElement());
        }
    }

    void referenceImagesDecodedAlone(benchmark::State& state)
    {
        setup();
        for (auto _ : state)
        {
            for (int t = 0; t < textureCount; ++t)
            {
                std::unique_ptr<tesra::Image> image(
                    tesra::Image::createFromResource(formatString("gfx/t%02d.png", t)));
                benchmark::DoNotOptimize(image.get());
            }
        }
    }

    // The full load beside its floor: TinyXML parsing the file and libpng decoding the 20 pictures from
    // their files. The full load also uploads the textures, which the floor does not.
    void fullLoadBesideParseAndDecode(benchmark::State& state)
    {
        const hstring folder = setup().folder;
        benchconsole::QuietConsole quiet;
        benchcompare::compare(state,
                              {[]
                               {
                                   tesraui::Dataset dataset("ui/full.xml", "bench");
                                   dataset.load();
                               }},
                              {[&]
                               {
                                   TiXmlDocument document;
                                   document.LoadFile((folder + "/ui/full.xml").c_str());
                                   benchmark::DoNotOptimize(document.RootElement());
                                   for (int t = 0; t < textureCount; ++t)
                                   {
                                       png_image image = {};
                                       image.version = PNG_IMAGE_VERSION;
                                       const hstring path = folder + formatString("/gfx/t%02d.png", t);
                                       png_image_begin_read_from_file(&image, path.c_str());
                                       image.format = PNG_FORMAT_RGBA;
                                       std::unique_ptr<unsigned char[]> pixels(
                                           new unsigned char[PNG_IMAGE_SIZE(image)]);
                                       png_image_finish_read(&image, nullptr, pixels.get(), 0, nullptr);
                                       benchmark::DoNotOptimize(pixels.get());
                                   }
                               }});
        state.counters["objects"] = objectCount;
    }
} // namespace

BENCHMARK(fullLoadBesideParseAndDecode)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(datasetXmlParsing)->Unit(benchmark::kMillisecond);
BENCHMARK(referenceTinyXmlAlone)->Unit(benchmark::kMillisecond);
BENCHMARK(datasetParsingAndConstruction)->Unit(benchmark::kMillisecond);
BENCHMARK(datasetFullLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(referenceImagesDecodedAlone)->Unit(benchmark::kMillisecond);
