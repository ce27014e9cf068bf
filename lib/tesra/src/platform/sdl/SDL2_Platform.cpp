#include "SDL2_Window.h"
#include "platform/Platform.h"
#include "rendersystems/opengl/OpenGL_RenderSystem.h"

namespace tesra::platform
{

    std::unique_ptr<Window> createWindow()
    {
        return std::make_unique<SDL2_Window>();
    }

    std::unique_ptr<RenderSystem> createRenderSystem()
    {
        return std::make_unique<OpenGL_RenderSystem>();
    }

} // namespace tesra::platform
