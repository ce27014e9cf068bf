#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>

#include <fintu/Renderer.h>
#include <fintu/fintu.h>
#include <fintuttf/fintuttf.h>
#include <quortypes/Dir.h>
#include <quortypes/Resource.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesra_testing/KeepLoadedLibraries.h>
#include <tesra_testing/Png.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/tesraui.h>

#include <orvalo/MoreGamesScreen.h>
#include <orvalo/UpsellScreen.h>
#include <orvalo/orvalo.h>
#include <quortypes_testing/LogCapture.h>
#include <quortypes_testing/ScratchDir.h>

namespace orvalotest
{
    typedef std::vector<std::string> Lines;

    // The library's log lines, level prefix included, while alive.
    struct LogCapture : quortypes_testing::TagLogCapture<Lines>
    {
        LogCapture() : TagLogCapture("orvalo") {}
        bool has(const std::string& line) const { return this->contains(line); }
    };

    using quortypes_testing::ScratchDir;

    using quortypes_testing::ScopedEnv;

    // A stub desktop opener first in PATH that appends each URL it gets to a file.
    struct OpenerStub
    {
        ScratchDir dir;
        std::unique_ptr<ScopedEnv> path;
        OpenerStub()
        {
            dir.put("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + dir / "opened.txt" + "\"\n");
            std::filesystem::permissions(dir / "bin/xdg-open", std::filesystem::perms::owner_all);
            path = std::make_unique<ScopedEnv>("PATH", dir / "bin:" + getenv("PATH"));
        }
        // The URLs opened so far, waiting up to 10 s for the first count of them.
        std::string waitFor(int count)
        {
            for (int wait = 0; wait < 1000; ++wait)
            {
                std::string text = dir.read("opened.txt");
                if (std::count(text.begin(), text.end(), '\n') >= count)
                    return text;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            return dir.read("opened.txt");
        }
    };

    // An RGBA PNG of one colour.
    inline std::string solidPng(int width, int height, unsigned char r, unsigned char g, unsigned char b)
    {
        return tesra_testing::makePng(width, height, [=](int, int) { return tesra::Color(r, g, b, 255); });
    }

    inline std::string gameCfg(const std::string& id, bool rateMe = true)
    {
        return "[Game]\nUrlTorvin:https://example.invalid/" + id +
               "\nUrlStore:https://example.invalid/store/" + id +
               (rateMe ? "\nUrlRateMe:https://example.invalid/rate/" + id : std::string()) +
               "\nUrlFacebookShare:https://example.invalid/share/" + id + "\n";
    }

    // A hidden window with the OpenGL render system, text, TrueType fonts and the UI framework; resources
    // are read from a scratch folder. The library is shut down after each test, with its screens.
    class OrvaloTest : public testing::Test
    {
    protected:
        ScratchDir folder;
        int windowWidth = 1280;
        int windowHeight = 720;
        hstring oldCwd;

        void SetUp() override
        {
            std::srand(7);
            this->oldCwd = quortypes::Resource::getCwd();
            quortypes::Resource::setCwd(this->folder.path);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(this->windowWidth, this->windowHeight, false, "orvalo");
            tesra_testing::keepLoadedLibraries();
            fintu::init();
            fintuttf::init();
            tesraui::init();
        }

        void TearDown() override
        {
            if (orvalo::isMoreGamesScreenCreated())
                orvalo::destroyMoreGamesScreen();
            if (orvalo::getUpsellScreen() != nullptr)
                orvalo::destroyUpsellScreen();
            orvalo::destroy();
            tesraui::destroy();
            fintuttf::destroy();
            fintu::destroy();
            tesra::destroy();
            quortypes::Resource::setCwd(this->oldCwd);
        }

        // Three games, each with a thumbnail and a logo of its own colour, and the screens' data.
        void writePromotionData(const std::vector<std::string>& games = {"alpha", "beta", "gamma"})
        {
            const unsigned char colours[][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}, {200, 200, 0}};
            for (size_t i = 0; i < games.size(); ++i)
            {
                const std::string dir = "games/" + games[i] + "/";
                this->folder.put(dir + "game.cfg", gameCfg(games[i]));
                this->folder.put(dir + "thumbnail.png",
                                 solidPng(400, 180, colours[i][0], colours[i][1], colours[i][2]));
                this->folder.put(dir + "logo.png",
                                 solidPng(300, 150, colours[i][0], colours[i][1], colours[i][2]));
                this->folder.put(dir + "images.tex",
                                 "<Dataset><Texture filename=\"thumbnail\"><Image name=\"image\" "
                                 "rect=\"0,0,400,180\"/></Texture><Texture filename=\"logo\">"
                                 "<Image name=\"image\" rect=\"0,0,300,150\"/></Texture></Dataset>");
            }
            this->folder.put("system/orvalo.dts", "<Dataset/>");
            this->folder.put("system/texts/t.txt", "OrvaloUpsellContacting\n{\nContacting\n}\n");
            this->folder.put("system/more-games/bg.png", solidPng(4, 4, 20, 20, 20));
            this->folder.put(
                "system/more-games/more_games.gui",
                "<Dataset><Texture filename=\"bg\"/>"
                "<Object type=\"ImageBox\" name=\"orvalo_mgs_root\" rect=\"0,0,960,720\" image=\"bg\">"
                "<Object type=\"Container\" name=\"view\" rect=\"40,40,400,600\">"
                "<Object type=\"ScrollArea\" name=\"orvalo_mgs_scroll_area\" rect=\"0,0,400,600\"/>"
                "</Object>"
                "<Object type=\"ImageBox\" name=\"orvalo_mgs_game_logo\" x=\"520\" y=\"60\"/>"
                "<Object type=\"ImageButton\" name=\"orvalo_mgs_button_splash\" rect=\"520,300,100,100\" "
                "image=\"bg\"/>"
                "<Object type=\"ImageButton\" name=\"orvalo_mgs_button_play\" rect=\"700,600,100,50\" "
                "image=\"bg\"/>"
                "</Object></Dataset>");
        }
    };

    // A parent for the screens: a container of the window's size in a dataset of its own.
    struct Scene
    {
        tesraui::Dataset* dataset;
        tesraui::Container* root;
        explicit Scene(float w = 1280, float h = 720, const hstring& name = "scene")
            : dataset(new tesraui::Dataset("", name)),
              root(new tesraui::Container("root", kavtypes::Rectangle(0, 0, w, h)))
        {
            dataset->load();
            dataset->registerObjects(root);
        }
        ~Scene() { delete dataset; }
        Scene(const Scene&) = delete;
        Scene& operator=(const Scene&) = delete;
    };

    // Writes the frame into the build folder as a PNG, for a person to look at.
    inline void savePng(const tesra::Image& shot, const std::string& name)
    {
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = shot.width;
        image.height = shot.height;
        image.format = PNG_FORMAT_RGBA;
        png_image_write_to_file(&image, (std::string(VUMO_BUILD_DIR) + "/" + name).c_str(), 0,
                                shot.data.get(), 0, nullptr);
    }

    inline unsigned int pixel(const tesra::Image& shot, int x, int y)
    {
        const unsigned char* p = shot.data.get() + ((size_t)y * shot.width + x) * 4;
        return ((unsigned int)p[0] << 24) | ((unsigned int)p[1] << 16) | ((unsigned int)p[2] << 8) | p[3];
    }
} // namespace orvalotest
