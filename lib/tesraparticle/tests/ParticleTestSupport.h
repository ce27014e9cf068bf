#pragma once

#include <dlfcn.h>
#include <link.h>
#include <stdlib.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <png.h>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraparticle/tesraparticle.h>

namespace particletest
{
    typedef std::vector<std::string> Lines;

    // The log lines of one tag, level prefix included, while alive.
    struct LogCapture
    {
        explicit LogCapture(const char* wanted = "tesraparticle")
        {
            tag = wanted;
            lines.clear();
            quortypes::Log::setCallback(
                [](const hstring& lineTag, const hstring& text)
                {
                    if (lineTag == tag)
                        lines.push_back(text);
                });
        }
        ~LogCapture() { quortypes::Log::setCallback(nullptr); }
        Lines take() { return std::exchange(lines, Lines()); }
        static inline Lines lines;
        static inline std::string tag;
    };

    // A scratch folder that resources are read from while the object lives.
    class ResourceFolder
    {
    public:
        ResourceFolder()
        {
            char pattern[] = "/tmp/tesraparticle_test_XXXXXX";
            this->path = mkdtemp(pattern);
            this->oldCwd = quortypes::Resource::getCwd();
            quortypes::Resource::setCwd(this->path);
        }
        ~ResourceFolder()
        {
            quortypes::Resource::setCwd(this->oldCwd);
            quortypes::Dir::remove(this->path);
        }
        void write(const hstring& name, const std::string& data)
        {
            hstring full = quortypes::Dir::joinPath(this->path, name);
            quortypes::Dir::create(quortypes::Dir::baseDir(full));
            std::ofstream(full.c_str(), std::ios::binary) << data;
        }
        hstring path;

    private:
        hstring oldCwd;
    };

    // An exception's own text, without the "[source:line] " in front.
    inline std::string messageText(const quortypes::exception& e)
    {
        std::string message = e.getMessage();
        size_t end = message.find("] ");
        return end == std::string::npos ? message : message.substr(end + 2);
    }

    // The text of the quortypes::exception that f throws, or "nothing thrown".
    template <class F> std::string thrownText(F f)
    {
        try
        {
            f();
        }
        catch (quortypes::exception& e)
        {
            return messageText(e);
        }
        return "nothing thrown";
    }

    // An RGBA PNG of the pixels the function gives.
    inline std::string makePng(int width, int height, const std::function<tesra::Color(int, int)>& pixel)
    {
        std::vector<unsigned char> rgba;
        for (int y = 0; y < height; ++y)
        {
            for (int x = 0; x < width; ++x)
            {
                tesra::Color c = pixel(x, y);
                rgba.insert(rgba.end(), {c.r, c.g, c.b, c.a});
            }
        }
        png_image image = {};
        image.version = PNG_IMAGE_VERSION;
        image.width = width;
        image.height = height;
        image.format = PNG_FORMAT_RGBA;
        png_alloc_size_t size = 0;
        png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
        std::string png(size, '\0');
        png_image_write_to_memory(&image, &png[0], &size, 0, rgba.data(), 0, nullptr);
        return png;
    }

    // A white disc fading out towards its rim: the usual particle sprite.
    inline std::string softDotPng(int size)
    {
        return makePng(size, size,
                       [size](int x, int y)
                       {
                           float dx = (x + 0.5f) / size - 0.5f, dy = (y + 0.5f) / size - 0.5f;
                           float d = 1.0f - 2.0f * std::sqrt(dx * dx + dy * dy);
                           return tesra::Color(255, 255, 255, (unsigned char)(d > 0.0f ? d * 255.0f : 0.0f));
                       });
    }

    // The particle library started in a scratch folder, without a window: textures load as null.
    class ParticleTest : public testing::Test
    {
    protected:
        ResourceFolder folder;

        void SetUp() override { tesraparticle::init(); }
        void TearDown() override { tesraparticle::destroy(); }
    };

    // A hidden window with the OpenGL render system, cleared to black, and the particle library.
    class ParticleWindowTest : public ParticleTest
    {
    protected:
        int windowWidth = 128;
        int windowHeight = 128;

        void SetUp() override
        {
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(this->windowWidth, this->windowHeight, false, "tesraparticle");
            // SDL unloads the GL driver before the leak check, which then cannot name the driver's memory.
            dl_iterate_phdr(
                [](dl_phdr_info* info, size_t, void*)
                {
                    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                    return 0;
                },
                nullptr);
            ParticleTest::SetUp();
            tesra::rendersys->clear(true, false);
        }

        void TearDown() override
        {
            ParticleTest::TearDown();
            tesra::destroy();
        }

        static std::unique_ptr<tesra::Image> grab()
        {
            return std::unique_ptr<tesra::Image>(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
        }

        static tesra::Color pixel(const tesra::Image& shot, int x, int y)
        {
            const unsigned char* p = shot.data.get() + ((size_t)y * shot.width + x) * 4;
            return tesra::Color(p[0], p[1], p[2], p[3]);
        }
    };
} // namespace particletest
