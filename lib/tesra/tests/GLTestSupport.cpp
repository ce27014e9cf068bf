#include "GLTestSupport.h"

#include <dlfcn.h>
#include <link.h>
#include <stdlib.h>

#include <stdexcept>

#include <SDL.h>

#include <quortypes/Log.h>

namespace testsupport
{
    // SDL unloads the GL driver before LeakSanitizer looks, which then reports the driver's memory as
    // leaked from an unknown module; pinning every loaded object keeps their symbols for the report.
    static int pinLibrary(struct dl_phdr_info* info, size_t, void*)
    {
        if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
        {
            dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
    }

    GLContext::GLContext(int width, int height, bool depthBuffer)
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        SDL_InitSubSystem(SDL_INIT_VIDEO); // outlives the render system's own hold on it
        system.reset(new tesra::OpenGL_RenderSystem());
        system->create(tesra::RenderSystem::Options(depthBuffer));
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBuffer ? 16 : 0);
        sdlWindow = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (sdlWindow == nullptr)
        {
            throw std::runtime_error(SDL_GetError());
        }
        glContext = SDL_GL_CreateContext(static_cast<SDL_Window*>(sdlWindow));
        if (glContext == nullptr)
        {
            throw std::runtime_error(SDL_GetError());
        }
        system->attachToSdlWindow(sdlWindow, nullptr);
        dl_iterate_phdr(&pinLibrary, nullptr);
    }

    GLContext::~GLContext()
    {
        system->destroy();
        system.reset();
        SDL_GL_DeleteContext(glContext);
        SDL_DestroyWindow(static_cast<SDL_Window*>(sdlWindow));
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    std::unique_ptr<tesra::Image> GLContext::grab()
    {
        return std::unique_ptr<tesra::Image>(system->takeScreenshot(tesra::Image::FORMAT_RGBA));
    }

    static LogCapture* activeCapture = nullptr;

    static void captureLine(const hstring&, const hstring& text)
    {
        if (activeCapture != nullptr)
        {
            activeCapture->lines.push_back(text);
        }
    }

    LogCapture::LogCapture()
    {
        activeCapture = this;
        quortypes::Log::setCallback(&captureLine);
    }

    LogCapture::~LogCapture()
    {
        quortypes::Log::setCallback(nullptr);
        activeCapture = nullptr;
    }

    bool LogCapture::contains(const hstring& text) const
    {
        return count(text) > 0;
    }

    int LogCapture::count(const hstring& text) const
    {
        int result = 0;
        for (const hstring& line : lines)
        {
            result += line == text ? 1 : 0;
        }
        return result;
    }

    unsigned int pixelAt(const tesra::Image& image, int x, int y)
    {
        const unsigned char* p = image.data + ((size_t)y * image.width + x) * 4;
        return ((unsigned int)p[0] << 24) | ((unsigned int)p[1] << 16) | ((unsigned int)p[2] << 8) | p[3];
    }

    bool near(unsigned int a, unsigned int b, int tolerance)
    {
        for (int shift = 0; shift < 32; shift += 8)
        {
            int difference = (int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF);
            if (difference > tolerance || difference < -tolerance)
            {
                return false;
            }
        }
        return true;
    }

    hstring hexColor(unsigned int rgba)
    {
        return formatString("%08X", rgba);
    }
} // namespace testsupport
