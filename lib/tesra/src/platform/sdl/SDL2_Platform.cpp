#include "SDL2_Window.h"
#include "platform/Platform.h"
#include "rendersystems/opengl/OpenGL_RenderSystem.h"

namespace tesra::platform
{

    Window* createWindow()
    {
        return new SDL2_Window();
    }

    RenderSystem* createRenderSystem()
    {
        return new OpenGL_RenderSystem();
    }

} // namespace tesra::platform
