#pragma once

#include <memory>

#include <kavtypes/Matrix4.h>
#include <kavtypes/Rectangle.h>
#include <kavtypes/Vector2.h>
#include <quortypes/harray.h>
#include <quortypes/hstring.h>
#include <tesra/Color.h>
#include <tesra/DisplayMode.h>
#include <tesra/Image.h>
#include <tesra/RenderModes.h>
#include <tesra/RenderState.h>
#include <tesra/Shader.h>
#include <tesra/Texture.h>
#include <tesra/Vertex.h>

namespace tesra
{
    class Window;

    /// The immediate-mode renderer: keeps viewport and matrices and draws vertex arrays. Every texture is
    /// registered here while it lives: its maker deletes it, and whatever is left goes with the render
    /// system.
    class RenderSystem
    {
        friend class Texture;

    public:
        struct Options
        {
            bool depthBuffer = false;

            Options() = default;
            explicit Options(bool depthBuffer) : depthBuffer(depthBuffer) {}
            /// "depth-buffer", or "none" without any flag.
            hstring toString() const;
        };

        RenderSystem();
        virtual ~RenderSystem();

        const hstring& getName() const { return name; }
        bool isCreated() const { return created; }
        const Options& getOptions() const { return options; }
        const harray<Texture*>& getTextures() const { return textures; }
        const kavtypes::Rectangle& getViewport() const { return viewport; }
        const kavtypes::Matrix4& getModelviewMatrix() const { return modelviewMatrix; }
        const kavtypes::Matrix4& getProjectionMatrix() const { return projectionMatrix; }
        const kavtypes::Rectangle& getOrthoProjection() const { return orthoProjection; }
        Window* getWindow() const { return window; }

        virtual bool create(Options options);
        virtual bool destroy();
        virtual void attach(Window* window);
        virtual void reset();
        virtual harray<DisplayMode> getDisplayModes();
        virtual void setViewport(const kavtypes::Rectangle& rect);
        virtual float getPixelOffset() = 0;
        virtual int getMaxTextureSize() = 0;
        virtual int getVRam() = 0;
        virtual void setTextureBlendMode(BlendMode mode) = 0;
        virtual void setTextureColorMode(ColorMode mode, float factor = 1.0f) = 0;
        virtual void setTextureFilter(Texture::Filter filter) = 0;
        virtual void setTextureAddressMode(Texture::AddressMode mode) = 0;
        virtual void setTexture(Texture* texture) = 0;
        virtual Texture* getRenderTarget() = 0;
        virtual void setRenderTarget(Texture* texture) = 0;
        virtual void setPixelShader(PixelShader* shader) = 0;
        virtual void setVertexShader(VertexShader* shader) = 0;
        /// Null when the file cannot be loaded as a shader.
        virtual std::unique_ptr<PixelShader> createPixelShader(const hstring& filename);
        virtual std::unique_ptr<PixelShader> createPixelShader() = 0;
        virtual std::unique_ptr<VertexShader> createVertexShader(const hstring& filename);
        virtual std::unique_ptr<VertexShader> createVertexShader() = 0;
        virtual void clear(bool depth, const kavtypes::Rectangle& rect, const Color& color = Color()) = 0;
        virtual void clear(bool useColor = true, bool depth = false) = 0;
        virtual void render(RenderOperation operation, ColoredTexturedVertex* v, int count) = 0;
        virtual void render(RenderOperation operation, ColoredVertex* v, int count) = 0;
        virtual void render(RenderOperation operation, TexturedVertex* v, int count, const Color& color) = 0;
        virtual void render(RenderOperation operation, TexturedVertex* v, int count) = 0;
        virtual void render(RenderOperation operation, PlainVertex* v, int count, const Color& color) = 0;
        virtual void render(RenderOperation operation, PlainVertex* v, int count) = 0;
        virtual Image::Format getNativeTextureFormat(Image::Format format) = 0;
        /// A copy of the current frame in `format`; null on failure.
        virtual std::unique_ptr<Image> takeScreenshot(Image::Format format) = 0;
        virtual void presentFrame();
        virtual void setResolution(int width, int height, bool fullscreen) = 0;

        void drawFilledRect(const kavtypes::Rectangle& rect, const Color& color);
        void drawRect(const kavtypes::Rectangle& rect, const Color& color);
        void drawTexturedRect(const kavtypes::Rectangle& rect, const kavtypes::Rectangle& src);

        // The back-end is given the model-view matrix when it draws; these two are inline, as the UI moves
        // the matrix and puts it back around every object it draws.
        void setModelviewMatrix(const kavtypes::Matrix4& matrix)
        {
            modelviewMatrix = matrix;
            modelviewChanged = true;
        }
        /// Puts back the last column (data[12] to data[15]) as it was read before: the only one `translate`
        /// changes, so that moves can be undone exactly without saving the whole matrix.
        void setModelviewTranslation(const float column[4])
        {
            for (int i = 0; i < 4; ++i)
            {
                modelviewMatrix.data[12 + i] = column[i];
            }
            modelviewChanged = true;
        }
        void setProjectionMatrix(const kavtypes::Matrix4& matrix);
        void translate(float x, float y, float z = 0.0f)
        {
            modelviewMatrix.translate(x, y, z);
            modelviewChanged = true;
        }
        void rotate(float angle, float x = 0.0f, float y = 0.0f, float z = -1.0f);
        void scale(float x, float y, float z = 1.0f);
        void setOrthoProjection(const kavtypes::Rectangle& rect);
        void setOrthoProjection(const kavtypes::Vector2& size);

        Texture* createTexture(const unsigned char* data, int width, int height,
                               Image::Format format = Image::FORMAT_RGBA,
                               Texture::Type type = Texture::Type::MANAGED);
        Texture* createTexture(int width, int height, const Color& color,
                               Image::Format format = Image::FORMAT_RGBA,
                               Texture::Type type = Texture::Type::MANAGED);
        Texture* createTextureFromFile(const hstring& name, Texture::Type type = Texture::Type::IMMUTABLE,
                                       bool loadImmediately = false);
        Texture* createTextureFromResource(const hstring& name, Texture::Type type = Texture::Type::IMMUTABLE,
                                           bool loadImmediately = false);
        /// The existing file the texture name stands for, trying the texture extensions; "" when none.
        hstring findTextureFile(const hstring& name);
        hstring findTextureResource(const hstring& name);

    protected:
        hstring name = "Generic";
        bool created = false;
        Options options;
        harray<Texture*> textures;
        kavtypes::Rectangle viewport;
        std::unique_ptr<RenderState> state;
        int textureFilter = RenderState::UNSET;
        int textureAddressMode = RenderState::UNSET;
        kavtypes::Matrix4 modelviewMatrix;
        bool modelviewChanged = false; ///< since the back-end was last given it
        kavtypes::Matrix4 projectionMatrix;
        kavtypes::Rectangle orthoProjection;
        Window* window = nullptr;

        virtual std::unique_ptr<Texture> createTextureObject(bool fromResource) = 0;
        virtual void applyModelviewMatrix(const kavtypes::Matrix4& matrix) = 0;
        /// Gives the back-end the model-view matrix if it changed since, before a draw: changes mostly come
        /// in pairs around a draw (a move and its undoing), and only the matrix a draw is made under matters.
        void syncModelview()
        {
            if (modelviewChanged)
            {
                modelviewChanged = false;
                applyModelviewMatrix(modelviewMatrix);
            }
        }
        virtual void applyProjectionMatrix(const kavtypes::Matrix4& matrix) = 0;

        /// The size the ortho projection's pixel offset is measured against.
        virtual kavtypes::Vector2 getTargetSize();

        void registerTexture(Texture* texture);
        void unregisterTexture(Texture* texture);
        void unloadTextures();
        /// Lets go of the textures still listed, which outlived the device, reporting each; with unload,
        /// they free their video memory first.
        void detachTextures(bool unload);

    private:
        hstring findTexture(const hstring& name, bool (*exists)(const hstring&));
        Texture* createTextureFrom(const hstring& name, Texture::Type type, bool loadImmediately,
                                   bool fromResource);
    };
} // namespace tesra
