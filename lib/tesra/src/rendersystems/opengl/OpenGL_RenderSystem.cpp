#include "OpenGL_RenderSystem.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

#include <algorithm>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

#include "GLFunctions.h"
#include "OpenGL_Shaders.h"
#include "OpenGL_Texture.h"

namespace tesra
{
    using opengl::gl;

    // Frames presented ahead of the renderer: enough to keep it busy, few enough to bound the wait.
    static const size_t maxFramesInFlight = 2;

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
        if (!created)
        {
            return false;
        }
        flush();
        if (renderTarget != nullptr)
        {
            setRenderTarget(nullptr);
        }
        RenderSystem::destroy(); // deletes the textures while the window's context still exists
        if (context)
        {
            waitForFramesInFlight(0);
            program.destroy();
        }
        framesInFlight.clear();
        program.abandon();
        slots.clear();
        slotInRun.clear();
        context = false;
        sdlWindow = nullptr;
        displayModes.clear();
        window = nullptr;
        return true;
    }

    void OpenGL_RenderSystem::attach(Window* window)
    {
        attachToSdlWindow(window->getBackendId(), window);
    }

    void OpenGL_RenderSystem::attachToSdlWindow(void* sdlWindow, Window* window)
    {
        RenderSystem::attach(window);
        this->sdlWindow = sdlWindow;
        context = false;
        if (sdlWindow == nullptr || SDL_GL_GetCurrentContext() == nullptr)
        {
            throw quortypes::exception("Unable to attach rendersystem, the window has no OpenGL context!",
                                       "src/rendersystems/opengl/OpenGL_RenderSystem", __LINE__);
        }
        if (!gl.load())
        {
            throw quortypes::exception("Unable to attach rendersystem, OpenGL 2.1 entry points are missing!",
                                       "src/rendersystems/opengl/OpenGL_RenderSystem", __LINE__);
        }
        GLint units = 0;
        glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
        units = units < 1 ? 1 : (units > maxUnits ? maxUnits : units);
        // The software renderer shades one triangle at a time and takes a sampler array's index from the
        // first pixel of the group, branching to that unit's sampling alone; elsewhere the index may differ
        // within a draw, which GLSL leaves undefined, so the units stay a tree of branches there.
        const char* renderer = (const char*)glGetString(GL_RENDERER);
        program.create(units, renderer != nullptr && strstr(renderer, "llvmpipe") != nullptr);
        framesInFlight.clear(); // fences of an earlier context are gone with it
        slots.assign((size_t)units, nullptr);
        slotInRun.assign((size_t)units, false);
        context = true;
        renderTarget = nullptr;
        setDefaultState();
        clear(true, false);
        int width = 0, height = 0;
        getCurrentTargetSize(width, height);
        setViewport(kavtypes::Rectangle(0.0f, 0.0f, (float)width, (float)height));
        orthoProjection.setSize((float)width, (float)height);
        setOrthoProjection(orthoProjection);
        setModelviewMatrix(modelviewMatrix);
    }

    void OpenGL_RenderSystem::setDefaultState()
    {
        glDisable(GL_LIGHTING);
        glDisable(GL_CULL_FACE);
        glDisable(GL_DITHER);
        glDisable(GL_ALPHA_TEST);
        glEnable(GL_BLEND);
        gl.BlendEquationSeparate(GL_FUNC_ADD, GL_FUNC_ADD);
        gl.BlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
        if (options.depthBuffer)
        {
            glEnable(GL_DEPTH_TEST);
            glDepthFunc(GL_LEQUAL);
        }
        else
        {
            glDisable(GL_DEPTH_TEST);
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        program.use(0, false);
        for (int unit = (int)slots.size() - 1; unit >= 0; --unit)
        {
            gl.ActiveTexture(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        // Texture operations bind on unit 0; it stays the active one everywhere else.
        clearSlots();
        gl.DisableVertexAttribArray(OpenGL_DrawProgram::slotAttribute);
        slotArrayEnabled = false;
        glEnableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glColor4ub(255, 255, 255, 255);
        glMatrixMode(GL_MODELVIEW);
        glModelviewKnown = false;
        colorArrayEnabled = texCoordArrayEnabled = false;
        currentColorWhite = true;
        state->reset();
        setTextureBlendMode(BlendMode::DEFAULT);
        setTextureColorMode(ColorMode::DEFAULT, 1.0f);
        textureFilter = RenderState::UNSET;
        textureAddressMode = RenderState::UNSET;
    }

    void OpenGL_RenderSystem::reset()
    {
        RenderSystem::reset();
        if (!context)
        {
            return;
        }
        flush();
        setRenderTarget(nullptr);
        unloadTextures();
        setDefaultState();
        setViewport(viewport);
        setOrthoProjection(orthoProjection);
        applyModelviewMatrix(modelviewMatrix);
        // No frame is drawn from here: it would run the application's update inside whatever asked for the
        // new size (a script's call, a window event). The main loop's next frame shows the new size.
        quortypes::Log::write(logTag, "OpenGL rendersystem restored.");
    }

    harray<DisplayMode> OpenGL_RenderSystem::getDisplayModes()
    {
        if (displayModes.size() == 0)
        {
            int count = SDL_GetNumDisplayModes(0);
            for (int i = 0; i < count; ++i)
            {
                SDL_DisplayMode mode;
                if (SDL_GetDisplayMode(0, i, &mode) == 0)
                {
                    DisplayMode entry(mode.w, mode.h, mode.refresh_rate);
                    bool known = false;
                    for (const DisplayMode& existing : displayModes)
                    {
                        known = known || existing == entry;
                    }
                    if (!known)
                    {
                        displayModes.push_back(entry);
                    }
                }
            }
            if (displayModes.size() == 0)
            {
                return RenderSystem::getDisplayModes();
            }
        }
        return displayModes;
    }

    void OpenGL_RenderSystem::getCurrentTargetSize(int& width, int& height)
    {
        width = height = 0;
        if (renderTarget != nullptr)
        {
            width = renderTarget->width;
            height = renderTarget->height;
        }
        else
        {
            getBackBufferSize(width, height);
        }
    }

    void OpenGL_RenderSystem::getBackBufferSize(int& width, int& height)
    {
        width = height = 0;
        if (sdlWindow != nullptr)
        {
            SDL_GL_GetDrawableSize(static_cast<SDL_Window*>(sdlWindow), &width, &height);
        }
    }

    kavtypes::Vector2 OpenGL_RenderSystem::getTargetSize()
    {
        int width = 0, height = 0;
        getCurrentTargetSize(width, height);
        return kavtypes::Vector2((float)width, (float)height);
    }

    void OpenGL_RenderSystem::setViewport(const kavtypes::Rectangle& rect)
    {
        RenderSystem::setViewport(rect);
        applyViewport();
    }

    // A viewport edge in whole pixels. A rectangle from a script's numbers may be huge, infinite or not a
    // number, which no int holds; far past any screen the exact value no longer matters, and the bound
    // leaves room for the sums below.
    static int viewportPixels(float value)
    {
        const float bound = 16777216.0f;
        return (std::isnan(value) ? 0 : (int)std::clamp(value, -bound, bound));
    }

    void OpenGL_RenderSystem::applyViewport()
    {
        if (!context)
        {
            return;
        }
        flush();
        int x = viewportPixels(viewport.x), y = viewportPixels(viewport.y), w = viewportPixels(viewport.w),
            h = viewportPixels(viewport.h);
        appliedViewportWidth = w;
        appliedViewportHeight = h;
        if (renderTarget != nullptr)
        {
            // A render target is addressed top-down already: the projection is flipped instead.
            glViewport(x, y, w, h);
            return;
        }
        int width = 0, height = 0;
        getCurrentTargetSize(width, height);
        glViewport(x, height - y - h, w, h);
    }

    int OpenGL_RenderSystem::getMaxTextureSize()
    {
        if (!context)
        {
            return 0;
        }
        GLint size = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
        return size;
    }

    int OpenGL_RenderSystem::getVRam()
    {
        if (!context)
        {
            return 0;
        }
        // Only some drivers tell; both queries answer in kilobytes.
        GLint values[4] = {0, 0, 0, 0};
        const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        if (extensions == nullptr)
        {
            return 0;
        }
        hstring list = extensions;
        if (list.contains("GL_NVX_gpu_memory_info"))
        {
            glGetIntegerv(0x9049, values); // GPU_MEMORY_INFO_CURRENT_AVAILABLE_VIDMEM_NVX
            return values[0] >> 10;
        }
        if (list.contains("GL_ATI_meminfo"))
        {
            glGetIntegerv(0x87FC, values); // TEXTURE_FREE_MEMORY_ATI
            return values[0] >> 10;
        }
        return 0;
    }

    Texture* OpenGL_RenderSystem::getRenderTarget()
    {
        return renderTarget;
    }

    void OpenGL_RenderSystem::setRenderTarget(Texture* texture)
    {
        OpenGL_Texture* target = static_cast<OpenGL_Texture*>(texture);
        if (target != nullptr && !target->isLoaded())
        {
            target->load();
        }
        if (target != nullptr && target->framebufferId == 0)
        {
            quortypes::Log::error(logTag, "Cannot use texture as render target: " + target->toString());
            return;
        }
        if (target == renderTarget)
        {
            return;
        }
        flush();
        renderTarget = target;
        if (!context)
        {
            return;
        }
        gl.BindFramebuffer(GL_FRAMEBUFFER, target != nullptr ? target->framebufferId : 0);
        // Switching targets covers the whole new target, as a freshly bound surface does.
        int width = 0, height = 0;
        getCurrentTargetSize(width, height);
        glViewport(0, 0, width, height);
        appliedViewportWidth = width;
        appliedViewportHeight = height;
        applyProjectionMatrix(projectionMatrix);
    }

    void OpenGL_RenderSystem::applyProjectionMatrix(const kavtypes::Matrix4& matrix)
    {
        state->projectionMatrix = matrix;
        const bool affine = matrix.data[3] == 0.0f && matrix.data[7] == 0.0f && matrix.data[11] == 0.0f &&
                            matrix.data[15] == 1.0f;
        if (!context)
        {
            projectionAffine = affine;
            return;
        }
        flush(); // under the projection it was merged under
        projectionAffine = affine;
        glMatrixMode(GL_PROJECTION);
        if (renderTarget != nullptr)
        {
            // Texture rows run bottom-up in GL; mirroring y stores the top row first, so the texture
            // samples upright like any loaded picture.
            GLfloat flip[16] = {1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
            glLoadMatrixf(flip);
            glMultMatrixf(matrix.data);
        }
        else
        {
            glLoadMatrixf(matrix.data);
        }
        glMatrixMode(GL_MODELVIEW);
    }

    void OpenGL_RenderSystem::setPixelShader(PixelShader* shader)
    {
        state->pixelShader = shader;
    }

    void OpenGL_RenderSystem::setVertexShader(VertexShader* shader)
    {
        state->vertexShader = shader;
    }

    std::unique_ptr<PixelShader> OpenGL_RenderSystem::createPixelShader()
    {
        return std::make_unique<OpenGL_PixelShader>();
    }

    std::unique_ptr<VertexShader> OpenGL_RenderSystem::createVertexShader()
    {
        return std::make_unique<OpenGL_VertexShader>();
    }

    Image::Format OpenGL_RenderSystem::getNativeTextureFormat(Image::Format format)
    {
        switch (format)
        {
        case Image::FORMAT_RGBA:
        case Image::FORMAT_ARGB:
        case Image::FORMAT_BGRA:
        case Image::FORMAT_ABGR:
            return Image::FORMAT_BGRA;
        case Image::FORMAT_RGBX:
        case Image::FORMAT_XRGB:
        case Image::FORMAT_BGRX:
        case Image::FORMAT_XBGR:
        case Image::FORMAT_RGB:
        case Image::FORMAT_BGR:
            return Image::FORMAT_BGRX;
        case Image::FORMAT_ALPHA:
        case Image::FORMAT_GRAYSCALE:
        case Image::FORMAT_PALETTE:
            return format;
        default:
            return Image::FORMAT_UNKNOWN;
        }
    }

    std::unique_ptr<Texture> OpenGL_RenderSystem::createTextureObject(bool fromResource)
    {
        return std::make_unique<OpenGL_Texture>(this, fromResource);
    }

    void OpenGL_RenderSystem::presentFrame()
    {
        flush();
        if (window != nullptr)
        {
            RenderSystem::presentFrame(); // the window owns the context and swaps it
        }
        else if (sdlWindow != nullptr)
        {
            SDL_GL_SwapWindow(static_cast<SDL_Window*>(sdlWindow));
        }
        if (context && gl.FenceSync != nullptr)
        {
            framesInFlight.push_back(gl.FenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0));
            waitForFramesInFlight(maxFramesInFlight);
        }
    }

    void OpenGL_RenderSystem::waitForFramesInFlight(size_t frames)
    {
        while (framesInFlight.size() > frames)
        {
            GLsync fence = static_cast<GLsync>(framesInFlight.front());
            framesInFlight.pop_front();
            if (context && fence != nullptr)
            {
                while (gl.ClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, 100000000) == GL_TIMEOUT_EXPIRED)
                {
                }
                gl.DeleteSync(fence);
            }
        }
    }

    void OpenGL_RenderSystem::setResolution(int width, int height, bool fullscreen)
    {
        (void)fullscreen; // the window itself switches; the drawable follows it
        if (!context)
        {
            return;
        }
        if (width < 1 || height < 1)
        {
            quortypes::Log::warnf(logTag, "Cannot set resolution to: %d x %d", width, height);
            return;
        }
        viewport.set(0.0f, 0.0f, (float)width, (float)height);
        reset();
    }
} // namespace tesra
