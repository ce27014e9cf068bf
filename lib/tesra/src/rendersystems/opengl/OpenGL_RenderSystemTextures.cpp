#include "OpenGL_RenderSystem.h"

#include <cmath>

#include <algorithm>

#include <quortypes/Log.h>
#include <tesra/tesra.h>

#include "GLFunctions.h"
#include "OpenGL_Texture.h"

// The texture state: blend and colour modes, filter and address mode, and the texture units a run of
// batched draws shares out.
namespace tesra
{
    using opengl::gl;

    void OpenGL_RenderSystem::setTextureBlendMode(BlendMode mode)
    {
        GLenum colorEquation = GL_FUNC_ADD;
        GLenum source = GL_SRC_ALPHA, destination = GL_ONE_MINUS_SRC_ALPHA;
        GLenum alphaSource = GL_ONE, alphaDestination = GL_ONE_MINUS_SRC_ALPHA;
        switch (mode)
        {
        case BlendMode::DEFAULT:
        case BlendMode::ALPHA:
            break;
        case BlendMode::ADD:
            destination = GL_ONE;
            break;
        case BlendMode::SUBTRACT:
            colorEquation = GL_FUNC_REVERSE_SUBTRACT;
            destination = GL_ONE;
            break;
        case BlendMode::OVERWRITE:
            source = GL_ONE;
            destination = GL_ZERO;
            alphaDestination = GL_ZERO;
            break;
        default:
            quortypes::Log::warn(logTag, "Trying to set unsupported texture blend mode!");
            return;
        }
        if (state->blendMode == (int)mode)
        {
            return;
        }
        if (context)
        {
            flush();
        }
        state->blendMode = (int)mode;
        if (!context)
        {
            return;
        }
        gl.BlendEquationSeparate(colorEquation, GL_FUNC_ADD);
        gl.BlendFuncSeparate(source, destination, alphaSource, alphaDestination);
    }

    void OpenGL_RenderSystem::setTextureColorMode(ColorMode mode, float factor)
    {
        if (mode != ColorMode::DEFAULT && mode != ColorMode::MULTIPLY && mode != ColorMode::LERP &&
            mode != ColorMode::ALPHA_MAP)
        {
            quortypes::Log::warn(logTag, "Trying to set unsupported texture color mode!");
            return;
        }
        if (state->colorMode == (int)mode && (mode != ColorMode::LERP || state->colorModeFactor == factor))
        {
            return;
        }
        if (context)
        {
            flush();
        }
        state->colorMode = (int)mode;
        state->colorModeFactor = factor;
        if (!context)
        {
            return;
        }
        switch (mode)
        {
        case ColorMode::LERP:
            // factor * vertex colour + (1 - factor) * texture colour
            program.setCombine(OpenGL_DrawProgram::COMBINE_INTERPOLATE, factor);
            break;
        case ColorMode::ALPHA_MAP:
            program.setCombine(OpenGL_DrawProgram::COMBINE_VERTEX_COLOR, factor);
            break;
        default:
            program.setCombine(OpenGL_DrawProgram::COMBINE_MODULATE, factor);
            break;
        }
    }

    void OpenGL_RenderSystem::setTextureFilter(Texture::Filter filter)
    {
        textureFilter = (int)filter;
        if (filter != Texture::Filter::NEAREST && filter != Texture::Filter::LINEAR)
        {
            quortypes::Log::warn(logTag, "Trying to set unsupported texture filter!");
            return;
        }
        OpenGL_Texture* current = static_cast<OpenGL_Texture*>(state->texture);
        if (current != nullptr && current->isLoaded())
        {
            current->syncSamplerState(textureFilter, textureAddressMode);
        }
    }

    void OpenGL_RenderSystem::setTextureAddressMode(Texture::AddressMode mode)
    {
        textureAddressMode = (int)mode;
        if (mode != Texture::AddressMode::WRAP && mode != Texture::AddressMode::CLAMP)
        {
            quortypes::Log::warn(logTag, "Trying to set unsupported texture address mode!");
            return;
        }
        OpenGL_Texture* current = static_cast<OpenGL_Texture*>(state->texture);
        if (current != nullptr && current->isLoaded())
        {
            current->syncSamplerState(textureFilter, textureAddressMode);
        }
    }

    void OpenGL_RenderSystem::setTexture(Texture* texture)
    {
        // Changing the texture ends no run: each draw names its texture's unit in its vertices.
        brokenTexture = false;
        if (texture == nullptr)
        {
            state->texture = nullptr;
            return;
        }
        // Rows written since the last draw with it go up together, whatever draws they end up in.
        if (texture->hasPendingRows())
        {
            texture->uploadPendingRows();
        }
        OpenGL_Texture* glTexture = static_cast<OpenGL_Texture*>(texture);
        if (texture == state->texture && glTexture->isLoaded() &&
            (int)texture->getFilter() == textureFilter &&
            (int)texture->getAddressMode() == textureAddressMode)
        {
            return; // the hot path: the same texture bound again for the next draw
        }
        if (!texture->isLoaded())
        {
            texture->load();
        }
        if (!context || !glTexture->isLoaded())
        {
            // Nothing to sample: draw untextured, and try loading again at the next bind. A picture that
            // could not be decoded is not drawn at all, rather than as a blank quad.
            state->texture = nullptr;
            brokenTexture = texture->hasLoadFailed();
            return;
        }
        // Filter and address mode live in each texture object, so textures of different modes share runs.
        state->texture = texture;
        textureFilter = (int)texture->getFilter();
        textureAddressMode = (int)texture->getAddressMode();
        glTexture->syncSamplerState(textureFilter, textureAddressMode);
    }

    void OpenGL_RenderSystem::setIndexedUnitChoice(bool indexed)
    {
        if (context)
        {
            flush();
            program.setIndexed(indexed);
        }
    }

    int OpenGL_RenderSystem::slotForCurrentTexture()
    {
        OpenGL_Texture* texture = static_cast<OpenGL_Texture*>(state->texture);
        if (texture == nullptr || !context)
        {
            return -1;
        }
        const int units = (int)slots.size();
        int slot = -1;
        for (int i = 0; i < units; ++i)
        {
            if (slots[i] == texture)
            {
                slotInRun[i] = true;
                return i;
            }
            // A unit the waiting run does not sample can take another texture; an empty one first.
            if (!slotInRun[i] && (slot < 0 || (slots[i] == nullptr && slots[slot] != nullptr)))
            {
                slot = i;
            }
        }
        if (slot < 0)
        {
            flush(); // every unit holds a texture of the waiting run
            slot = 0;
        }
        slots[slot] = texture;
        slotInRun[slot] = true;
        if (slot != 0)
        {
            gl.ActiveTexture(GL_TEXTURE0 + slot);
        }
        glBindTexture(GL_TEXTURE_2D, texture->textureId);
        if (slot != 0)
        {
            gl.ActiveTexture(GL_TEXTURE0);
        }
        return slot;
    }

    void OpenGL_RenderSystem::forgetTexture(OpenGL_Texture* texture)
    {
        for (size_t i = 0; i < slots.size(); ++i)
        {
            if (slots[i] == texture)
            {
                slots[i] = nullptr; // GL unbinds a deleted texture from its unit by itself
            }
        }
    }

    void OpenGL_RenderSystem::clearSlots()
    {
        std::fill(slots.begin(), slots.end(), nullptr);
        std::fill(slotInRun.begin(), slotInRun.end(), false);
    }

    void OpenGL_RenderSystem::restoreTextureBinding()
    {
        glBindTexture(GL_TEXTURE_2D, !slots.empty() && slots[0] != nullptr ? slots[0]->textureId : 0);
    }
} // namespace tesra
