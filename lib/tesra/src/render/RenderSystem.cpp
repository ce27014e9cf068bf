#include <tesra/RenderSystem.h>

#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <tesra/SystemInfo.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>

#include <tesra/Shader.h>

namespace tesra
{

    hstring RenderSystem::Options::toString() const
    {
        return depthBuffer ? "depth-buffer" : "none";
    }

    RenderSystem::RenderSystem() : state(std::make_unique<RenderState>()) {}

    RenderSystem::~RenderSystem()
    {
        // Derived destructors have already torn down their device, so a texture still listed keeps no
        // video memory to free here.
        detachTextures(false);
    }

    bool RenderSystem::create(Options options)
    {
        if (created)
        {
            return false;
        }
        state->reset();
        quortypes::Log::writef(logTag, "Creating rendersystem: '%s' (options: %s)", name.c_str(),
                               options.toString().c_str());
        this->options = options;
        created = true;
        return true;
    }

    bool RenderSystem::destroy()
    {
        if (!created)
        {
            return false;
        }
        quortypes::Log::writef(logTag, "Destroying rendersystem '%s'.", name.c_str());
        detachTextures(true);
        state->reset();
        created = false;
        return true;
    }

    void RenderSystem::attach(Window* window)
    {
        this->window = window;
    }

    void RenderSystem::reset()
    {
        quortypes::Log::write(logTag, "Resetting rendersystem.");
    }

    harray<DisplayMode> RenderSystem::getDisplayModes()
    {
        kavtypes::Vector2 resolution = getSystemInfo().displayResolution;
        harray<DisplayMode> result;
        result.push_back(DisplayMode((int)resolution.x, (int)resolution.y, 60));
        return result;
    }

    void RenderSystem::setViewport(const kavtypes::Rectangle& rect)
    {
        viewport = rect;
    }

    std::unique_ptr<PixelShader> RenderSystem::createPixelShader(const hstring& filename)
    {
        std::unique_ptr<PixelShader> shader = createPixelShader();
        if (shader != nullptr && !shader->load(filename))
        {
            return nullptr;
        }
        return shader;
    }

    std::unique_ptr<VertexShader> RenderSystem::createVertexShader(const hstring& filename)
    {
        std::unique_ptr<VertexShader> shader = createVertexShader();
        if (shader != nullptr && !shader->load(filename))
        {
            return nullptr;
        }
        return shader;
    }

    void RenderSystem::presentFrame()
    {
        if (window != nullptr)
        {
            window->presentFrame();
        }
    }

    void RenderSystem::drawFilledRect(const kavtypes::Rectangle& rect, const Color& color)
    {
        static PlainVertex v[4];
        v[0].set(rect.x, rect.y);
        v[1].set(rect.x + rect.w, rect.y);
        v[2].set(rect.x, rect.y + rect.h);
        v[3].set(rect.x + rect.w, rect.y + rect.h);
        render(RenderOperation::TRIANGLE_STRIP, v, 4, color);
    }

    void RenderSystem::drawRect(const kavtypes::Rectangle& rect, const Color& color)
    {
        static PlainVertex v[5];
        v[0].set(rect.x, rect.y);
        v[1].set(rect.x + rect.w, rect.y);
        v[2].set(rect.x + rect.w, rect.y + rect.h);
        v[3].set(rect.x, rect.y + rect.h);
        v[4].set(rect.x, rect.y);
        render(RenderOperation::LINE_STRIP, v, 5, color);
    }

    void RenderSystem::drawTexturedRect(const kavtypes::Rectangle& rect, const kavtypes::Rectangle& src)
    {
        static TexturedVertex v[4];
        v[0] = TexturedVertex(rect.x, rect.y, 0.0f, src.x, src.y);
        v[1] = TexturedVertex(rect.x + rect.w, rect.y, 0.0f, src.x + src.w, src.y);
        v[2] = TexturedVertex(rect.x, rect.y + rect.h, 0.0f, src.x, src.y + src.h);
        v[3] = TexturedVertex(rect.x + rect.w, rect.y + rect.h, 0.0f, src.x + src.w, src.y + src.h);
        render(RenderOperation::TRIANGLE_STRIP, v, 4);
    }

    void RenderSystem::setProjectionMatrix(const kavtypes::Matrix4& matrix)
    {
        projectionMatrix = matrix;
        applyProjectionMatrix(projectionMatrix);
    }

    void RenderSystem::rotate(float angle, float x, float y, float z)
    {
        modelviewMatrix.rotate(x, y, z, angle);
        modelviewChanged = true;
    }

    void RenderSystem::scale(float x, float y, float z)
    {
        modelviewMatrix.scale(x, y, z);
        modelviewChanged = true;
    }

    kavtypes::Vector2 RenderSystem::getTargetSize()
    {
        return window != nullptr ? window->getSize() : kavtypes::Vector2(viewport.w, viewport.h);
    }

    void RenderSystem::setOrthoProjection(const kavtypes::Rectangle& rect)
    {
        orthoProjection = rect;
        kavtypes::Rectangle moved = rect;
        float offset = getPixelOffset();
        if (offset != 0.0f)
        {
            kavtypes::Vector2 size = getTargetSize();
            if (size.x > 0.0f && size.y > 0.0f)
            {
                moved.x -= rect.w * offset / size.x;
                moved.y -= rect.h * offset / size.y;
            }
        }
        projectionMatrix.setOrthoProjection(moved);
        applyProjectionMatrix(projectionMatrix);
    }

    void RenderSystem::setOrthoProjection(const kavtypes::Vector2& size)
    {
        setOrthoProjection(kavtypes::Rectangle(0.0f, 0.0f, size.x, size.y));
    }

    void RenderSystem::registerTexture(Texture* texture)
    {
        textures.push_back(texture);
    }

    void RenderSystem::unregisterTexture(Texture* texture)
    {
        for (auto it = textures.begin(); it != textures.end(); ++it)
        {
            if (*it == texture)
            {
                textures.erase(it);
                break;
            }
        }
        if (state->texture == texture)
        {
            state->texture = nullptr;
        }
    }

    void RenderSystem::detachTextures(bool unload)
    {
        // The list borrows: each texture belongs to whoever asked for it. One still listed outlived the
        // device its maker meant to delete it before; it gives back its video memory while the device
        // stands and lets go of this render system, so that its later delete touches neither.
        const harray<Texture*> left = textures;
        for (Texture* texture : left)
        {
            quortypes::Log::warn(logTag, "Texture " + texture->toString() + " outlived the rendersystem '" +
                                             name + "'; its owner deletes it later.");
            if (unload)
            {
                texture->unload();
            }
            texture->renderSystem = nullptr;
        }
        textures.clear();
    }

    void RenderSystem::unloadTextures()
    {
        for (Texture* texture : textures)
        {
            texture->unload();
        }
    }
} // namespace tesra
