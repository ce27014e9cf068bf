#include <GL/gl.h>

#include <quortypes/Log.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

#include "OpenGL_RenderSystem.h"

namespace tesra
{

    OpenGL_RenderSystem::OpenGL_RenderSystem()
    {
        name = "OpenGL";
    }

    OpenGL_RenderSystem::~OpenGL_RenderSystem()
    {
        destroy();
    }

    bool OpenGL_RenderSystem::destroy()
    {
        if (!RenderSystem::destroy())
        {
            return false;
        }
        attachedWindow = nullptr;
        return true;
    }

    void OpenGL_RenderSystem::attach(Window* window)
    {
        attachedWindow = window;
        glViewport(0, 0, window->getWidth(), window->getHeight());
        clear(true, false);
    }

    void OpenGL_RenderSystem::setResolution(int width, int height, bool)
    {
        if (attachedWindow == nullptr)
        {
            return;
        }
        if (width < 1 || height < 1)
        {
            quortypes::Log::warn(logTag, formatString("Cannot set resolution to: %d x %d", width, height));
            return;
        }
        glViewport(0, 0, width, height);
    }

    void OpenGL_RenderSystem::clear(bool useColor, bool depth)
    {
        if (attachedWindow == nullptr)
        {
            return;
        }
        GLbitfield mask = 0;
        if (useColor)
        {
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (depth && options.depthBuffer)
        {
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        if (mask != 0)
        {
            glClear(mask);
        }
    }

} // namespace tesra
