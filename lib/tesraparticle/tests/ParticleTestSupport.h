#pragma once

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
#include <quortypes_testing/LogCapture.h>
#include <quortypes_testing/ResourceFolder.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesra_testing/KeepLoadedLibraries.h>
#include <tesra_testing/Png.h>
#include <tesraparticle/tesraparticle.h>

namespace particletest
{
    typedef std::vector<std::string> Lines;

    // The log lines of one tag, level prefix included, while alive.
    struct LogCapture : quortypes_testing::TagLogCapture<Lines>
    {
        explicit LogCapture(const char* wanted = "tesraparticle") : TagLogCapture(wanted) {}
    };

    // A scratch folder that resources are read from while the object lives.
    struct ResourceFolder : quortypes_testing::ResourceFolder
    {
        ResourceFolder() : quortypes_testing::ResourceFolder("tesraparticle") {}
    };

    using quortypes_testing::messageText;
    using quortypes_testing::thrownText;

    using tesra_testing::makePng;

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
            tesra_testing::keepLoadedLibraries();
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
