#include "OpenGL_Texture.h"

#include <cstring>

#include <memory>
#include <utility>
#include <vector>

#include <quortypes/Log.h>
#include <tesra/tesra.h>

#include "GLFunctions.h"
#include "OpenGL_RenderSystem.h"

namespace tesra
{
    using opengl::gl;

    OpenGL_Texture::OpenGL_Texture(OpenGL_RenderSystem* renderSystem, bool fromResource)
        : Texture(renderSystem, fromResource)
    {
    }

    OpenGL_Texture::~OpenGL_Texture()
    {
        unload();
    }

    OpenGL_RenderSystem* OpenGL_Texture::getGLRenderSystem() const
    {
        return static_cast<OpenGL_RenderSystem*>(renderSystem);
    }

    void OpenGL_Texture::unload()
    {
        // A detached texture gave its video memory back before its render system went.
        if (!isLoaded() || renderSystem == nullptr)
        {
            return;
        }
        quortypes::Log::write(logTag, "Unloading texture: " + toString());
        OpenGL_RenderSystem* system = getGLRenderSystem();
        system->flush();
        if (system->getRenderTarget() == this)
        {
            system->setRenderTarget(nullptr);
        }
        if (system->state->texture == this)
        {
            system->setTexture(nullptr);
        }
        system->forgetTexture(this);
        if (system->context)
        {
            if (framebufferId != 0)
            {
                gl.DeleteFramebuffers(1, &framebufferId);
            }
            glDeleteTextures(1, &textureId);
        }
        framebufferId = 0;
        textureId = 0;
        appliedFilter = appliedAddressMode = 0;
    }

    void OpenGL_Texture::assignFormat()
    {
        nativeFormat = renderSystem->getNativeTextureFormat(format);
        switch (nativeFormat)
        {
        case Image::FORMAT_BGRX:
            internalFormat = GL_RGB8; // samples alpha 1 whatever the unused byte holds
            break;
        case Image::FORMAT_ALPHA:
            internalFormat = GL_ALPHA8;
            break;
        case Image::FORMAT_GRAYSCALE:
            internalFormat = GL_LUMINANCE8;
            break;
        default:
            internalFormat = GL_RGBA8;
            break;
        }
    }

    // Client layout of pixels in a native format, for uploads and read-backs.
    static void getClientFormat(Image::Format native, GLenum& glFormat, int& bpp)
    {
        switch (native)
        {
        case Image::FORMAT_ALPHA:
            glFormat = GL_ALPHA;
            bpp = 1;
            break;
        case Image::FORMAT_GRAYSCALE:
            glFormat = GL_LUMINANCE;
            bpp = 1;
            break;
        default:
            glFormat = GL_BGRA;
            bpp = 4;
            break;
        }
    }

    static bool getDirectUpload(Image::Format source, Image::Format native, GLenum& glFormat);

    bool OpenGL_Texture::createInternalTexture(const unsigned char* pixels, Image::Format pixelsFormat,
                                               Type type)
    {
        OpenGL_RenderSystem* system = getGLRenderSystem();
        if (!system->context)
        {
            quortypes::Log::error(logTag, "Failed to create OpenGL texture! No context.");
            return false;
        }
        system->flush();
        unload();
        while (glGetError() != GL_NO_ERROR)
        {
        }
        GLenum clientFormat;
        int bpp;
        getClientFormat(nativeFormat, clientFormat, bpp);
        // The first pixels go up with the storage, straight from the caller when GL can take their layout;
        // otherwise converted over zeros, as a write through a lock of fresh storage would find it. Storage
        // without pixels starts out cleared, as every later partial write expects defined pixels around it.
        GLenum directFormat;
        const unsigned char* initial = pixels;
        std::vector<unsigned char> converted;
        if (pixels != nullptr && getDirectUpload(pixelsFormat, nativeFormat, directFormat))
        {
            clientFormat = directFormat;
        }
        else
        {
            converted.assign((size_t)width * height * bpp, 0);
            if (pixels != nullptr)
            {
                Image::write(0, 0, width, height, 0, 0, pixels, width, height, pixelsFormat, converted.data(),
                             width, height, nativeFormat);
            }
            initial = converted.data();
        }
        glGenTextures(1, &textureId);
        glBindTexture(GL_TEXTURE_2D, textureId);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, clientFormat, GL_UNSIGNED_BYTE,
                     initial);
        appliedFilter = appliedAddressMode = 0;
        syncSamplerState((int)filter, (int)addressMode);
        bool ok = glGetError() == GL_NO_ERROR;
        if (ok && type == Type::RENDER_TARGET)
        {
            gl.GenFramebuffers(1, &framebufferId);
            gl.BindFramebuffer(GL_FRAMEBUFFER, framebufferId);
            gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textureId, 0);
            ok = gl.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
            OpenGL_Texture* target = system->renderTarget;
            gl.BindFramebuffer(GL_FRAMEBUFFER, target != nullptr ? target->framebufferId : 0);
        }
        system->restoreTextureBinding();
        if (!ok)
        {
            quortypes::Log::error(logTag, "Failed to create OpenGL texture!");
            if (framebufferId != 0)
            {
                gl.DeleteFramebuffers(1, &framebufferId);
                framebufferId = 0;
            }
            glDeleteTextures(1, &textureId);
            textureId = 0;
            return false;
        }
        return true;
    }

    void OpenGL_Texture::syncSamplerState(int filterValue, int addressValue)
    {
        const bool filterChanges = filterValue != appliedFilter && (filterValue == (int)Filter::NEAREST ||
                                                                    filterValue == (int)Filter::LINEAR);
        const bool addressChanges =
            addressValue != appliedAddressMode &&
            (addressValue == (int)AddressMode::WRAP || addressValue == (int)AddressMode::CLAMP);
        if (!filterChanges && !addressChanges)
        {
            return;
        }
        // Draws waiting in the run sample with the modes they were made under.
        OpenGL_RenderSystem* system = getGLRenderSystem();
        system->flush();
        glBindTexture(GL_TEXTURE_2D, textureId);
        if (filterChanges)
        {
            GLint mode = filterValue == (int)Filter::NEAREST ? GL_NEAREST : GL_LINEAR;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, mode);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, mode);
            appliedFilter = filterValue;
        }
        if (addressChanges)
        {
            GLint mode = addressValue == (int)AddressMode::WRAP ? GL_REPEAT : GL_CLAMP_TO_EDGE;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, mode);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, mode);
            appliedAddressMode = addressValue;
        }
        system->restoreTextureBinding();
    }

    Texture::Lock OpenGL_Texture::lockRect(int x, int y, int w, int h)
    {
        if (!isLoaded() || w <= 0 || h <= 0 || x < 0 || y < 0 || x + w > width || y + h > height)
        {
            Lock refused;
            refused.x = x;
            refused.y = y;
            refused.w = w;
            refused.h = h;
            return refused;
        }
        getGLRenderSystem()->flush();
        GLenum clientFormat;
        int bpp;
        getClientFormat(nativeFormat, clientFormat, bpp);
        // A staging copy of the rectangle, read back so that pixels a conversion leaves alone survive.
        std::vector<unsigned char> whole((size_t)width * height * bpp);
        glBindTexture(GL_TEXTURE_2D, textureId);
        glGetTexImage(GL_TEXTURE_2D, 0, clientFormat, GL_UNSIGNED_BYTE, whole.data());
        getGLRenderSystem()->restoreTextureBinding();
        std::unique_ptr<unsigned char[]> copy(new unsigned char[(size_t)w * h * bpp]);
        for (int row = 0; row < h; ++row)
        {
            memcpy(copy.get() + (size_t)row * w * bpp, whole.data() + ((size_t)(y + row) * width + x) * bpp,
                   (size_t)w * bpp);
        }
        Lock result = heldLock(x, y, w, h, copy.get(), 0, 0, w, h, nativeFormat);
        result.staging = std::move(copy);
        return result;
    }

    bool OpenGL_Texture::unlockRect(Lock& lock, bool update)
    {
        if (!lock.locked)
        {
            return false;
        }
        bool result = !lock.failed;
        if (update && !lock.failed && isLoaded())
        {
            getGLRenderSystem()->flush();
            GLenum clientFormat;
            int bpp;
            getClientFormat(lock.format, clientFormat, bpp);
            glBindTexture(GL_TEXTURE_2D, textureId);
            glTexSubImage2D(GL_TEXTURE_2D, 0, lock.x, lock.y, lock.w, lock.h, clientFormat, GL_UNSIGNED_BYTE,
                            lock.data);
            getGLRenderSystem()->restoreTextureBinding();
            result = glGetError() == GL_NO_ERROR;
        }
        lock.staging.reset();
        lock.data = nullptr;
        lock.locked = false;
        return result;
    }

    // The client layout GL can take a source format in without our conversion, for a texture of a native
    // format.
    static bool getDirectUpload(Image::Format source, Image::Format native, GLenum& glFormat)
    {
        switch (native)
        {
        case Image::FORMAT_BGRA:
        case Image::FORMAT_PALETTE:
        case Image::FORMAT_BGRX:
            // The unused byte of X formats would become alpha, so into textures with alpha those go through
            // conversion.
            if ((source == Image::FORMAT_RGBX || source == Image::FORMAT_BGRX) &&
                native != Image::FORMAT_BGRX)
            {
                return false;
            }
            switch (source)
            {
            case Image::FORMAT_RGBA:
            case Image::FORMAT_RGBX:
                glFormat = GL_RGBA;
                return true;
            case Image::FORMAT_BGRA:
            case Image::FORMAT_BGRX:
                glFormat = GL_BGRA;
                return true;
            case Image::FORMAT_RGB:
                glFormat = GL_RGB;
                return true;
            case Image::FORMAT_BGR:
                glFormat = GL_BGR;
                return true;
            case Image::FORMAT_GRAYSCALE:
                glFormat = GL_LUMINANCE;
                return true;
            default:
                return false;
            }
        case Image::FORMAT_ALPHA:
        case Image::FORMAT_GRAYSCALE:
            // One-byte sources are copied unchanged into one-byte textures.
            if (source == Image::FORMAT_ALPHA || source == Image::FORMAT_GRAYSCALE)
            {
                glFormat = native == Image::FORMAT_ALPHA ? GL_ALPHA : GL_LUMINANCE;
                return true;
            }
            return false;
        default:
            return false;
        }
    }

    bool OpenGL_Texture::uploadDataToGpu(int sx, int sy, int sw, int sh, int dx, int dy,
                                         const unsigned char* srcData, int srcWidth, int srcHeight,
                                         Image::Format srcFormat)
    {
        GLenum clientFormat;
        if (!isLoaded() || srcData == nullptr || !getDirectUpload(srcFormat, nativeFormat, clientFormat))
        {
            return false;
        }
        if (sx < 0 || sy < 0 || sw <= 0 || sh <= 0 || sx + sw > srcWidth || sy + sh > srcHeight || dx < 0 ||
            dy < 0 || dx + sw > width || dy + sh > height)
        {
            return false;
        }
        getGLRenderSystem()->flush();
        glBindTexture(GL_TEXTURE_2D, textureId);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, srcWidth);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, sx);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, sy);
        glTexSubImage2D(GL_TEXTURE_2D, 0, dx, dy, sw, sh, clientFormat, GL_UNSIGNED_BYTE, srcData);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        getGLRenderSystem()->restoreTextureBinding();
        return glGetError() == GL_NO_ERROR;
    }
} // namespace tesra
