#pragma once

#include <memory>

#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/Image.h>

#include "rendersystems/opengl/OpenGL_RenderSystem.h"

namespace testsupport
{
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

    /// Collects log lines while alive.
    class LogCapture
    {
    public:
        LogCapture();
        ~LogCapture();
        bool contains(const hstring& text) const;
        int count(const hstring& text) const;
        harray<hstring> lines;
    };

    /// An RGBA pixel of an image as 0xRRGGBBAA.
    unsigned int pixelAt(const tesra::Image& image, int x, int y);
    /// True when every channel of two 0xRRGGBBAA colours differs by at most `tolerance`.
    bool near(unsigned int a, unsigned int b, int tolerance = 1);
    hstring hexColor(unsigned int rgba);
} // namespace testsupport
