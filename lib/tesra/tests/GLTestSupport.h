#pragma once

#include <memory>
#include <initializer_list>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <quortypes/hstring.h>
#include <tesra/Image.h>

#include "rendersystems/opengl/OpenGL_RenderSystem.h"

namespace testsupport
{
    /// SDL unloads the GL driver before the leak check runs, which then reports the driver's memory from an
    /// unknown module; keeping every loaded library loaded avoids that.
    void keepLoadedLibraries();

    /// A scratch folder of its own, removed with everything in it.
    struct TempDir
    {
        TempDir();
        ~TempDir();
        /// Writes a file into the folder and gives its full name.
        hstring file(const hstring& name, const std::string& content = "") const;
        hstring path;
    };
    std::string readFile(const hstring& filename);

    /// A hidden SDL window with its own OpenGL context and a render system attached, for read-back tests.
    class GLContext
    {
    public:
        GLContext(int width, int height, bool depthBuffer = false);
        ~GLContext();

        tesra::OpenGL_RenderSystem* renderSystem() { return system.get(); }
        /// The frame as RGBA bytes, top row first.
        std::unique_ptr<tesra::Image> grab();

    private:
        std::unique_ptr<tesra::OpenGL_RenderSystem> system;
        void* sdlWindow = nullptr;
        void* glContext = nullptr;
    };

    /// An RGBA pixel of an image as 0xRRGGBBAA.
    unsigned int pixelAt(const tesra::Image& image, int x, int y);
    unsigned int pack(const tesra::Color& color);
    /// Every channel of two 0xRRGGBBAA colours differs by at most `tolerance`.
    ::testing::AssertionResult near(unsigned int actual, unsigned int expected, int tolerance = 1);
    /// `count` pixels from (x, y) on, `step` apart, as letters: k black, r red, g green, b blue, w white and
    /// y yellow (all opaque); any other colour as (RRGGBBAA).
    std::string row(const tesra::Image& image, int x, int y, int count, int step = 1);
    /// The pixels at the points, as letters like row().
    std::string at(const tesra::Image& image, std::initializer_list<std::pair<int, int>> points);
} // namespace testsupport
