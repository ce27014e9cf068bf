#pragma once

#include <cstdlib>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>

#include <quortypes/Dir.h>
#include <quortypes_testing/LogCapture.h>
#include <quortypes_testing/ResourceFolder.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesra_testing/KeepLoadedLibraries.h>
#include <tesra_testing/Png.h>
#include <tesraui/ColoredQuad.h>
#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

namespace uitest
{
    typedef std::vector<std::string> Lines;

    // The library's log lines, level prefix included, while alive.
    struct LogCapture : quortypes_testing::TagLogCapture<Lines>
    {
        LogCapture() : TagLogCapture("tesraui") {}
    };

    // A coloured quad that writes "name:what" into a journal for every notification, input slot and update.
    class Recorder : public tesraui::ColoredQuad
    {
    public:
        Recorder(const hstring& name, kavtypes::Rectangle rect, harray<hstring>* journal)
            : tesraui::ColoredQuad(name, rect), journal(journal)
        {
        }
        void notifyEvent(const hstring& type, void* args) override
        {
            this->note(type);
            ColoredQuad::notifyEvent(type, args);
        }
        bool onMouseDown(unsigned int key) override
        {
            this->note("down");
            return ColoredQuad::onMouseDown(key);
        }
        bool onMouseUp(unsigned int key) override
        {
            this->note("up");
            return ColoredQuad::onMouseUp(key);
        }
        bool onMouseMove() override
        {
            this->note("move");
            return ColoredQuad::onMouseMove();
        }
        bool onMouseScroll(float x, float y) override
        {
            this->note("scroll");
            return ColoredQuad::onMouseScroll(x, y);
        }
        bool onKeyDown(unsigned int key) override
        {
            this->note("key");
            return ColoredQuad::onKeyDown(key);
        }
        void _mouseCancel() override
        {
            this->note("cancel");
            ColoredQuad::_mouseCancel();
        }
        void update(float timeDelta) override
        {
            this->note("update");
            ColoredQuad::update(timeDelta);
        }

    private:
        harray<hstring>* journal;
        void note(const hstring& what)
        {
            if (this->journal != nullptr)
                this->journal->push_back(this->name + ":" + what);
        }
    };

    inline harray<hstring> names(const harray<tesraui::Object*>& objects)
    {
        harray<hstring> result;
        for (tesraui::Object* object : objects)
            result.push_back(object->getName());
        return result;
    }

    // Stands in for the platform window while alive: the library only asks it for its size and the cursor.
    class FakeWindow : public tesra::Window
    {
    public:
        FakeWindow() { tesra::window = this; }
        ~FakeWindow() override { tesra::window = nullptr; }
        int width = 800;
        int height = 600;
        int keyboardTerminations = 0;

        int getWidth() const override { return this->width; }
        int getHeight() const override { return this->height; }
        void* getBackendId() const override { return nullptr; }
        void terminateKeyboardHandling() override { ++this->keyboardTerminations; }
        using tesra::Window::setCursor;
        void setCursor(float x, float y) { this->cursorPosition.set(x, y); }

    protected:
        tesra::Cursor* createCursorObject() override { return nullptr; }
    };

    // A scratch folder that resources are read from while the object lives.
    struct ResourceFolder : quortypes_testing::ResourceFolder
    {
        ResourceFolder() : quortypes_testing::ResourceFolder("tesraui") {}
    };

    using quortypes_testing::messageText;
    using quortypes_testing::thrownText;

    using tesra_testing::makePng;

    inline std::string solidPng(int width, int height, tesra::Color color)
    {
        return makePng(width, height, [color](int, int) { return color; });
    }

    // Red, green / blue, white quarters of 8 by 8.
    inline std::string quadsPng()
    {
        const tesra::Color quarters[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
        return makePng(16, 16, [&](int x, int y) { return quarters[(y / 8) * 2 + x / 8]; });
    }

    // A file of the tests' data folder.
    inline std::string testData(const std::string& name)
    {
        std::ifstream in(std::string(VUMO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // A hidden window with the OpenGL render system and the UI library, cleared to black; files are read
    // from a scratch folder.
    class UiWindowTest : public testing::Test
    {
    protected:
        ResourceFolder folder;
        int windowWidth = 128;
        int windowHeight = 128;

        void SetUp() override
        {
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(this->windowWidth, this->windowHeight, false, "tesraui");
            tesra_testing::keepLoadedLibraries();
            tesraui::init();
            tesra::rendersys->clear(true, false);
        }

        void TearDown() override
        {
            tesraui::destroy();
            tesra::destroy();
        }

        // The frame as 0xRRGGBBAA at a pixel.
        static unsigned int pixel(const tesra::Image& shot, int x, int y)
        {
            const unsigned char* p = shot.data.get() + ((size_t)y * shot.width + x) * 4;
            return ((unsigned int)p[0] << 24) | ((unsigned int)p[1] << 16) | ((unsigned int)p[2] << 8) | p[3];
        }

        static std::unique_ptr<tesra::Image> grab()
        {
            return std::unique_ptr<tesra::Image>(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
        }
    };
} // namespace uitest
