#include "GLTestSupport.h"

#include <dlfcn.h>
#include <link.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <SDL.h>

#include <quortypes/hstring.h>

namespace testsupport
{
    void keepLoadedLibraries()
    {
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void*)
            {
                if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                {
                    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                }
                return 0;
            },
            nullptr);
    }

    TempDir::TempDir()
    {
        char pattern[] = "/tmp/tesra-test-XXXXXX";
        path = mkdtemp(pattern);
    }

    TempDir::~TempDir()
    {
        (void)system(("rm -rf '" + path + "'").c_str());
    }

    hstring TempDir::file(const hstring& name, const std::string& content) const
    {
        const hstring full = path + "/" + name;
        std::ofstream(full.c_str(), std::ios::binary) << content;
        return full;
    }

    std::string readFile(const hstring& filename)
    {
        std::ifstream file(filename.c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
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
        glContext =
            sdlWindow != nullptr ? SDL_GL_CreateContext(static_cast<SDL_Window*>(sdlWindow)) : nullptr;
        if (glContext == nullptr)
        {
            throw std::runtime_error(SDL_GetError());
        }
        system->attachToSdlWindow(sdlWindow, nullptr);
        keepLoadedLibraries();
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

    unsigned int pixelAt(const tesra::Image& image, int x, int y)
    {
        const unsigned char* p = image.data + ((size_t)y * image.width + x) * 4;
        return ((unsigned int)p[0] << 24) | ((unsigned int)p[1] << 16) | ((unsigned int)p[2] << 8) | p[3];
    }

    unsigned int pack(const tesra::Color& c)
    {
        return ((unsigned int)c.r << 24) | ((unsigned int)c.g << 16) | ((unsigned int)c.b << 8) | c.a;
    }

    ::testing::AssertionResult near(unsigned int actual, unsigned int expected, int tolerance)
    {
        for (int shift = 0; shift < 32; shift += 8)
        {
            if (std::abs((int)((actual >> shift) & 0xFF) - (int)((expected >> shift) & 0xFF)) > tolerance)
            {
                return ::testing::AssertionFailure()
                       << formatString("%08X, expected %08X", actual, expected).c_str();
            }
        }
        return ::testing::AssertionSuccess();
    }

    static std::string letter(unsigned int pixel)
    {
        static const std::pair<unsigned int, char> names[] = {
            {0x000000FF, 'k'}, {0xFF0000FF, 'r'}, {0x00FF00FF, 'g'},
            {0x0000FFFF, 'b'}, {0xFFFFFFFF, 'w'}, {0xFFFF00FF, 'y'},
        };
        for (const auto& [value, name] : names)
        {
            if (value == pixel)
            {
                return std::string(1, name);
            }
        }
        return formatString("(%08X)", pixel);
    }

    std::string row(const tesra::Image& image, int x, int y, int count, int step)
    {
        std::string result;
        for (int i = 0; i < count; ++i)
        {
            result += letter(pixelAt(image, x + i * step, y));
        }
        return result;
    }

    std::string at(const tesra::Image& image, std::initializer_list<std::pair<int, int>> points)
    {
        std::string result;
        for (const auto& [x, y] : points)
        {
            result += letter(pixelAt(image, x, y));
        }
        return result;
    }
} // namespace testsupport
