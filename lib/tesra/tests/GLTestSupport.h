#pragma once

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <quortypes/hstring.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <quortypes_testing/TempFolder.h>
#include <tesra_testing/KeepLoadedLibraries.h>

namespace testsupport
{
    using tesra_testing::keepLoadedLibraries;

    // The library with a window on the headless display and its render system, for read-back tests.
    class GLContext
    {
    public:
        GLContext(int width, int height, const hstring& title = "test", tesra::Window::Options options = {})
        {
            setenv("SDL_VIDEODRIVER", "offscreen", 0);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(width, height, false, title, options);
            keepLoadedLibraries();
        }
        ~GLContext()
        {
            // A test owns the textures it asked the render system for; those it left are deleted here,
            // before the render system goes.
            if (tesra::rendersys != nullptr)
            {
                while (tesra::rendersys->getTextures().size() > 0)
                {
                    delete tesra::rendersys->getTextures().back();
                }
            }
            tesra::destroy();
        }

        std::unique_ptr<tesra::Image> grab()
        {
            return std::unique_ptr<tesra::Image>(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
        }
    };

    // A scratch folder of its own, removed with everything in it.
    struct TempDir
    {
        TempDir() : path(quortypes_testing::makeTempFolder("tesra-test-")) {}
        ~TempDir() { (void)std::system(("rm -rf '" + path + "'").c_str()); }
        hstring file(const hstring& name, const std::string& content = "") const
        {
            std::ofstream((path + "/" + name).c_str(), std::ios::binary) << content;
            return path + "/" + name;
        }
        hstring path;
    };

    inline std::string readFile(const hstring& filename)
    {
        std::ifstream file(filename.c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    // An RGBA pixel as 0xRRGGBBAA.
    inline unsigned int pixelAt(const tesra::Image& image, int x, int y)
    {
        const unsigned char* p = image.data.get() + ((size_t)y * image.width + x) * 4;
        return ((unsigned int)p[0] << 24) | ((unsigned int)p[1] << 16) | ((unsigned int)p[2] << 8) | p[3];
    }

    inline unsigned int pack(const tesra::Color& c)
    {
        return ((unsigned int)c.r << 24) | ((unsigned int)c.g << 16) | ((unsigned int)c.b << 8) | c.a;
    }

    // Every channel of two 0xRRGGBBAA colours differs by at most `tolerance`.
    inline ::testing::AssertionResult near(unsigned int actual, unsigned int expected, int tolerance = 1)
    {
        for (int shift = 0; shift < 32; shift += 8)
        {
            if (std::abs((int)((actual >> shift) & 0xFF) - (int)((expected >> shift) & 0xFF)) > tolerance)
            {
                return ::testing::AssertionFailure() << formatString("%08X, expected %08X", actual, expected);
            }
        }
        return ::testing::AssertionSuccess();
    }

    // Opaque pixels at the points as letters (k black, r, g, b, w white, y yellow), others as (RRGGBBAA).
    inline std::string at(const tesra::Image& image, std::initializer_list<std::pair<int, int>> points)
    {
        static const std::map<unsigned int, char> names = {{0x000000FF, 'k'}, {0xFF0000FF, 'r'},
                                                           {0x00FF00FF, 'g'}, {0x0000FFFF, 'b'},
                                                           {0xFFFFFFFF, 'w'}, {0xFFFF00FF, 'y'}};
        std::string result;
        for (const auto& [x, y] : points)
        {
            const auto name = names.find(pixelAt(image, x, y));
            result += name != names.end() ? std::string(1, name->second)
                                          : std::string(formatString("(%08X)", pixelAt(image, x, y)));
        }
        return result;
    }

    // `count` pixels from (x, y) on, `step` apart, as letters like at().
    inline std::string row(const tesra::Image& image, int x, int y, int count, int step = 1)
    {
        std::string result;
        for (int i = 0; i < count; ++i)
        {
            result += at(image, {{x + i * step, y}});
        }
        return result;
    }
} // namespace testsupport
