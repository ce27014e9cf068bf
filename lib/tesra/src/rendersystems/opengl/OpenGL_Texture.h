#pragma once

#include <tesra/Texture.h>

namespace tesra
{
    class OpenGL_RenderSystem;

    /// A texture object of the OpenGL render system; render targets also own a framebuffer.
    class OpenGL_Texture : public Texture
    {
        friend class OpenGL_RenderSystem;

    public:
        OpenGL_Texture(OpenGL_RenderSystem* renderSystem, bool fromResource);
        ~OpenGL_Texture() override;

        void unload() override;
        bool isLoaded() const override { return textureId != 0; }

        unsigned int getTextureId() const { return textureId; }
        unsigned int getFramebufferId() const { return framebufferId; }

    protected:
        unsigned int textureId = 0;
        unsigned int framebufferId = 0;
        int internalFormat = 0;
        Image::Format nativeFormat = Image::FORMAT_UNKNOWN;
        // Sampler state is kept per texture object in GL; these remember what the object holds.
        int appliedFilter = 0;
        int appliedAddressMode = 0;

        bool createInternalTexture(const unsigned char* pixels, Image::Format pixelsFormat,
                                   Type type) override;
        void assignFormat() override;
        Lock lockRect(int x, int y, int w, int h) override;
        bool unlockRect(Lock& lock, bool update) override;
        bool uploadDataToGpu(int sx, int sy, int sw, int sh, int dx, int dy, const unsigned char* srcData,
                             int srcWidth, int srcHeight, Image::Format srcFormat) override;

        OpenGL_RenderSystem* getGLRenderSystem() const;
        /// Gives the object the filter and address mode, after the draws waiting for it.
        void syncSamplerState(int filter, int addressMode);
    };
} // namespace tesra
