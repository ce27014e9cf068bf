#pragma once

#include <tesra/RenderSystem.h>

namespace tesra
{

    // Draws through OpenGL in the context that the window made.
    class OpenGL_RenderSystem : public RenderSystem
    {
    public:
        OpenGL_RenderSystem();
        ~OpenGL_RenderSystem() override;

        bool destroy() override;
        void attach(Window* window) override;
        void setResolution(int width, int height, bool fullscreen) override;
        void clear(bool useColor = true, bool depth = false) override;

    protected:
        Window* attachedWindow = nullptr;
    };

} // namespace tesra
