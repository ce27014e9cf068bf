// A cold scene switch: from a scene of one chapter to a scene of a chapter not loaded yet (200 image boxes
// over 20 textures, half PNG and half JPEG), measured from Session::changeScene until it returns, which is
// after OnSceneChanged. Beside it the floor it stands on: the same 20 files decoded with libpng and
// libjpeg and the chapter's ".datadef" parsed with TinyXML. The way back is untimed.
// Leaving a chapter of 10,000 or 50,000 image boxes in one container beside entering it, both through real
// scene switches followed by the frees the frame ends with; and the UI's update with 50,000 boxes on screen
// beside the UI library's update of the same tree.
//
// Entering a scene of N images (a 128 x 128 PNG each, N = 10, 100, 1000), from the switch request until
// its images are loaded (the first frame undrawn), beside the same dataset file parsed with TinyXML, the
// same files decoded with libpng and uploaded with glTexImage2D by hand; and leaving that scene beside
// entering it.
#define TIXML_USE_STL
#include <benchmark/benchmark.h>

#include <GL/gl.h>
#include <fcntl.h>
#include <png.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <fstream>
#include <vector>

#include <jpeglib.h>
#include <tinyxml.h>

#include <quortypes/Log.h>
#include <tesraui/Container.h>
#include <quortypes_testing/TempFolder.h>
#include <tesraui/tesraui.h>

#include "Chapter.h"
#include "Compare.h"
#include "Config.h"
#include "Scene.h"
#include "Session.h"
#include "ui/UI.h"

using namespace vumo;

namespace
{
    const int textureCount = 20, objectCount = 200, size = 256;

    std::vector<unsigned char> pattern(int seed, int channels)
    {
        std::vector<unsigned char> pixels((size_t)size * size * channels);
        for (int y = 0; y < size; ++y)
        {
            for (int x = 0; x < size; ++x)
            {
                unsigned char* p = &pixels[((size_t)y * size + x) * channels];
                p[0] = (unsigned char)(x * 3 + seed);
                p[1] = (unsigned char)(y * 5 + x / 7);
                p[2] = (unsigned char)((x ^ y) + seed * 13);
                if (channels == 4)
                {
                    p[3] = 255;
                }
            }
        }
        return pixels;
    }

    void writePng(const std::string& path, int seed, int side = size)
    {
        std::vector<unsigned char> pixels = pattern(seed, 4);
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = side;
        image.height = side;
        image.format = PNG_FORMAT_RGBA;
        png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr);
    }

    void writeJpeg(const std::string& path, int seed)
    {
        std::vector<unsigned char> pixels = pattern(seed, 3);
        jpeg_compress_struct info;
        jpeg_error_mgr errors;
        info.err = jpeg_std_error(&errors);
        jpeg_create_compress(&info);
        FILE* file = fopen(path.c_str(), "wb");
        jpeg_stdio_dest(&info, file);
        info.image_width = size;
        info.image_height = size;
        info.input_components = 3;
        info.in_color_space = JCS_RGB;
        jpeg_set_defaults(&info);
        jpeg_set_quality(&info, 90, TRUE);
        jpeg_start_compress(&info, TRUE);
        while (info.next_scanline < info.image_height)
        {
            JSAMPROW row = &pixels[(size_t)info.next_scanline * size * 3];
            jpeg_write_scanlines(&info, &row, 1);
        }
        jpeg_finish_compress(&info);
        fclose(file);
        jpeg_destroy_compress(&info);
    }

    std::string fileName(int t)
    {
        return "t" + std::to_string(t) + (t % 2 == 0 ? ".png" : ".jpg");
    }

    // The scene of the big chapter hangs the chapter's content below its root when it activates.
    class ContentScene : public Scene
    {
    public:
        using Scene::Scene;
        void onActivate() override
        {
            this->attachObject(this->chapter->getObject("content"));
            Scene::onActivate();
        }
        static Scene* create(Chapter* chapter, const hstring& name, const hstring& file)
        {
            return new ContentScene(chapter, name, file);
        }
    };

    std::filesystem::path folder;

    // The container "content" with `count` image boxes over the chapter's textures, and the dataset's end.
    std::string boxes(int count)
    {
        std::string xml = "  <Object type=\"Container\" name=\"content\" rect=\"0,0,1024,768\">\n";
        for (int o = 0; o < count; ++o)
        {
            xml += "    <Object type=\"ImageBox\" name=\"box" + std::to_string(o) + "\" rect=\"" +
                   std::to_string((o * 37) % 900) + "," + std::to_string((o * 53) % 600) +
                   ",64,64\" image=\"t" + std::to_string(o % textureCount) + "/all\"/>\n";
        }
        return xml + "  </Object>\n</Dataset>\n";
    }

    const int imageCounts[] = {10, 100, 1000};
    const int imageSide = 128;

    std::string imageChapter(int count)
    {
        return "images" + std::to_string(count);
    }

    // A chapter of `count` textures, one PNG each, every one shown whole by an image box of its own.
    void writeImageChapter(int count)
    {
        const std::filesystem::path chapter = folder / "data/chapters" / imageChapter(count);
        std::filesystem::create_directories(chapter / "scenes");
        std::filesystem::create_directories(chapter / "gfx");
        std::ofstream(chapter / "scenes/room.content.scene") << "";
        std::string xml = "<Dataset>\n";
        std::string objects = "  <Object type=\"Container\" name=\"content\" rect=\"0,0,1024,768\">\n";
        for (int i = 0; i < count; ++i)
        {
            const std::string name = "i" + std::to_string(i);
            writePng((chapter / "gfx" / (name + ".png")).string(), i, imageSide);
            xml += "  <Texture filename=\"gfx/" + name +
                   "\">\n    <Image name=\"all\" rect=\"0,0,128,128\"/>\n"
                   "  </Texture>\n";
            objects += "    <Object type=\"ImageBox\" name=\"box" + std::to_string(i) + "\" rect=\"" +
                       std::to_string((i * 37) % 900) + "," + std::to_string((i * 53) % 600) +
                       ",64,64\" image=\"" + name + "/all\"/>\n";
        }
        std::ofstream(chapter / (imageChapter(count) + ".datadef"))
            << xml + objects + "  </Object>\n</Dataset>\n";
    }

    void writeGame()
    {
        folder = quortypes_testing::makeTempFolder("vumo-bench-switch-");
        std::filesystem::create_directories(folder / "cfg");
        std::filesystem::create_directories(folder / "data/ui");
        std::filesystem::create_directories(folder / "data/chapters/small/scenes");
        std::filesystem::create_directories(folder / "data/chapters/big/scenes");
        std::filesystem::create_directories(folder / "data/chapters/big/gfx");
        std::ofstream(folder / "cfg/vumo.cfg") << "title: SwitchBench\ntarget: pc\nwidth: 1024\nheight: 768\n"
                                                  "audio_mute: 1\nscene: small.start\n";
        std::ofstream(folder / "data/ui/ui.dts") << "<Dataset/>";
        std::ofstream(folder / "data/chapters/small/small.datadef") << "<Dataset/>";
        std::ofstream(folder / "data/chapters/small/scenes/start.scene") << "";
        std::ofstream(folder / "data/chapters/big/scenes/room.content.scene") << "entered = true";
        std::string xml = "<Dataset>\n";
        for (int t = 0; t < textureCount; ++t)
        {
            if (t % 2 == 0)
            {
                writePng((folder / "data/chapters/big/gfx" / fileName(t)).string(), t);
            }
            else
            {
                writeJpeg((folder / "data/chapters/big/gfx" / fileName(t)).string(), t);
            }
            xml += "  <Texture filename=\"gfx/t" + std::to_string(t) +
                   "\">\n    <Image name=\"all\" rect=\"0,0,256,256\"/>\n"
                   "  </Texture>\n";
        }
        std::ofstream(folder / "data/chapters/big/big.datadef") << xml + boxes(objectCount);
        for (int count : {10000, 50000})
        {
            const std::string name = "boxes" + std::to_string(count);
            std::filesystem::create_directories(folder / "data/chapters" / name / "scenes");
            std::ofstream(folder / "data/chapters" / name / "scenes/room.content.scene") << "";
            std::filesystem::create_symlink(folder / "data/chapters/big/gfx",
                                            folder / "data/chapters" / name / "gfx");
            std::ofstream(folder / "data/chapters" / name / (name + ".datadef")) << xml + boxes(count);
        }
        for (int count : imageCounts)
        {
            writeImageChapter(count);
        }
    }

    void start()
    {
        static bool started = false;
        if (started)
        {
            return;
        }
        started = true;
        writeGame();
        // A thousand images a run: the folder goes with the program.
        atexit([] { std::filesystem::remove_all(folder); });
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("XDG_DATA_HOME", (folder / "xdg").c_str(), 1);
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
        std::filesystem::current_path(folder);
        quortypes::Log::setCallback([](const hstring&, const hstring&) {});
        Scene::registerFactory("content.scene", &ContentScene::create);
        Session::loadConfig(false);
        Session::init(nullptr);
    }

    // A switch as the frame that makes it pays for it: with the frees of what it destroyed at the frame's
    // end.
    void switchInAFrame(const hstring& target)
    {
        Session::changeScene(target, 0.0f, "");
        tesraui::freeDestroyed();
    }

    void coldSwitchToANewChapter(benchmark::State& state)
    {
        start();
        for (auto _ : state)
        {
            Session::changeScene("big.room", 0.0f, "");
            state.PauseTiming();
            tesraui::freeDestroyed();
            switchInAFrame("small.start");
            state.ResumeTiming();
        }
        state.counters["objects"] = objectCount;
    }

    void referenceDecodeAndParse(benchmark::State& state)
    {
        start();
        const std::string gfx = (folder / "data/chapters/big/gfx/").string();
        const std::string datadef = (folder / "data/chapters/big/big.datadef").string();
        std::vector<unsigned char> pixels((size_t)size * size * 4);
        for (auto _ : state)
        {
            for (int t = 0; t < textureCount; ++t)
            {
                const std::string path = gfx + fileName(t);
                if (t % 2 == 0)
                {
                    png_image image = {};
                    image.version = PNG_IMAGE_VERSION;
                    png_image_begin_read_from_file(&image, path.c_str());
                    image.format = PNG_FORMAT_RGBA;
                    png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
                    continue;
                }
                jpeg_decompress_struct info;
                jpeg_error_mgr errors;
                info.err = jpeg_std_error(&errors);
                jpeg_create_decompress(&info);
                FILE* file = fopen(path.c_str(), "rb");
                jpeg_stdio_src(&info, file);
                jpeg_read_header(&info, TRUE);
                jpeg_start_decompress(&info);
                while (info.output_scanline < info.output_height)
                {
                    JSAMPROW row = &pixels[(size_t)info.output_scanline * info.output_width * 3];
                    jpeg_read_scanlines(&info, &row, 1);
                }
                jpeg_finish_decompress(&info);
                jpeg_destroy_decompress(&info);
                fclose(file);
            }
            TiXmlDocument document;
            document.LoadFile(datadef.c_str());
            benchmark::DoNotOptimize(document.RootElement());
            benchmark::DoNotOptimize(pixels.data());
        }
    }

    // Leaving the scene of a chapter of N boxes for a scene of another chapter (which unloads it) beside
    // entering it (which loads it); each side's way back is untimed.
    void leaveChapterBesideEnterIt(benchmark::State& state)
    {
        start();
        const hstring room = "boxes" + hstring((int)state.range(0)) + ".room";
        benchcompare::Side leave{[] { switchInAFrame("small.start"); }};
        leave.prepare = [room] { switchInAFrame(room); };
        benchcompare::Side enter{[room] { switchInAFrame(room); }};
        enter.cleanup = [] { switchInAFrame("small.start"); };
        benchcompare::compare(state, leave, enter, 1.0, 5, 0.05);
        state.counters["objects"] = (double)state.range(0);
    }

    // The UI's update (the library's per-frame call for every dataset, the session's frame) with the scene
    // of 50,000 boxes active beside the update of the UI's object tree, which holds the same boxes.
    void uiUpdateBesideTreeUpdate(benchmark::State& state)
    {
        start();
        Session::changeScene("boxes50000.room", 0.0f, "");
        tesraui::Container* root = UI::getInstance()->getRootObject();
        benchcompare::Side ui{[] { UI::getInstance()->update(0.016f); }};
        benchcompare::Side tree{[root] { root->update(0.016f); }};
        benchcompare::compare(state, ui, tree);
        switchInAFrame("small.start");
        state.counters["objects"] = 50000;
    }
    // What the scene of N images is made of, done by hand: the dataset file parsed, each file decoded and
    // uploaded to a texture of its own; the textures go again untimed.
    struct ImageParts
    {
        std::string datadef;
        std::vector<std::string> files;
        std::vector<GLuint> names;
        std::vector<unsigned char> pixels;

        explicit ImageParts(int count)
            : datadef((folder / "data/chapters" / imageChapter(count) / (imageChapter(count) + ".datadef"))
                          .string()),
              names((size_t)count), pixels((size_t)imageSide * imageSide * 4)
        {
            for (int i = 0; i < count; ++i)
            {
                files.push_back((folder / "data/chapters" / imageChapter(count) / "gfx" /
                                 ("i" + std::to_string(i) + ".png"))
                                    .string());
            }
        }

        void load()
        {
            TiXmlDocument document;
            document.LoadFile(datadef.c_str());
            benchmark::DoNotOptimize(document.RootElement());
            glGenTextures((GLsizei)names.size(), names.data());
            for (size_t i = 0; i < files.size(); ++i)
            {
                png_image image = {};
                image.version = PNG_IMAGE_VERSION;
                png_image_begin_read_from_file(&image, files[i].c_str());
                image.format = PNG_FORMAT_RGBA;
                png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
                glBindTexture(GL_TEXTURE_2D, names[i]);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
                glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
                glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, (GLsizei)image.width, (GLsizei)image.height, 0,
                             GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
            }
            glFinish();
        }

        void release() { glDeleteTextures((GLsizei)names.size(), names.data()); }
    };

    // Entering the scene of N images (its chapter not loaded yet) beside its parts done by hand; the way
    // back is untimed on both sides.
    void enterSceneOfImagesBesideParts(benchmark::State& state)
    {
        start();
        const int count = (int)state.range(0);
        const hstring room = hstring(imageChapter(count).c_str()) + ".room";
        std::shared_ptr<ImageParts> parts = std::make_shared<ImageParts>(count);
        benchcompare::Side enter{[room]
                                 {
                                     switchInAFrame(room);
                                     glFinish();
                                 }};
        enter.cleanup = [] { switchInAFrame("small.start"); };
        benchcompare::Side byHand{[parts] { parts->load(); }};
        byHand.cleanup = [parts] { parts->release(); };
        benchcompare::compare(state, enter, byHand, 1.0, 7, 0.2);
        state.counters["images"] = count;
    }

    // Leaving the scene of N images for a scene of another chapter (which unloads its textures) beside
    // entering it.
    void leaveSceneOfImagesBesideEnter(benchmark::State& state)
    {
        start();
        const int count = (int)state.range(0);
        const hstring room = hstring(imageChapter(count).c_str()) + ".room";
        benchcompare::Side leave{[] { switchInAFrame("small.start"); }};
        leave.prepare = [room] { switchInAFrame(room); };
        benchcompare::Side enter{[room] { switchInAFrame(room); }};
        enter.cleanup = [] { switchInAFrame("small.start"); };
        benchcompare::compare(state, leave, enter, 1.0, 7, 0.2);
        state.counters["images"] = count;
    }
} // namespace

BENCHMARK(enterSceneOfImagesBesideParts)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(leaveSceneOfImagesBesideEnter)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(leaveChapterBesideEnterIt)->Arg(10000)->Arg(50000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(uiUpdateBesideTreeUpdate)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(coldSwitchToANewChapter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(referenceDecodeAndParse)->Unit(benchmark::kMillisecond)->UseRealTime();
