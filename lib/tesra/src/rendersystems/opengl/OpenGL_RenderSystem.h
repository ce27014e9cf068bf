#pragma once

#include <deque>
#include <vector>

#include <tesra/RenderSystem.h>

#include "OpenGL_DrawProgram.h"

namespace tesra
{
    class OpenGL_Texture;

    /// The render system on an OpenGL compatibility context, the one the window made, drawing through one
    /// small GLSL program. Origins are top-left everywhere, as callers expect.
    class OpenGL_RenderSystem : public RenderSystem
    {
        friend class OpenGL_Texture;

    public:
        OpenGL_RenderSystem();
        ~OpenGL_RenderSystem() override;

        bool destroy() override;
        void attach(Window* window) override;
        /// Draws into the SDL window whose OpenGL context is current; attach() ends here with the window's
        /// own.
        void attachToSdlWindow(void* sdlWindow, Window* window);
        void reset() override;
        harray<DisplayMode> getDisplayModes() override;
        void setViewport(const kavtypes::Rectangle& rect) override;
        float getPixelOffset() override { return 0.0f; }
        int getMaxTextureSize() override;
        int getVRam() override;
        void setTextureBlendMode(BlendMode mode) override;
        void setTextureColorMode(ColorMode mode, float factor = 1.0f) override;
        void setTextureFilter(Texture::Filter filter) override;
        void setTextureAddressMode(Texture::AddressMode mode) override;
        void setTexture(Texture* texture) override;
        Texture* getRenderTarget() override;
        void setRenderTarget(Texture* texture) override;
        void setPixelShader(PixelShader* shader) override;
        void setVertexShader(VertexShader* shader) override;
        using RenderSystem::createPixelShader;
        using RenderSystem::createVertexShader;
        std::unique_ptr<PixelShader> createPixelShader() override;
        std::unique_ptr<VertexShader> createVertexShader() override;
        void clear(bool depth, const kavtypes::Rectangle& rect, const Color& color = Color()) override;
        void clear(bool useColor = true, bool depth = false) override;
        void render(RenderOperation operation, ColoredTexturedVertex* v, int count) override;
        void render(RenderOperation operation, ColoredVertex* v, int count) override;
        void render(RenderOperation operation, TexturedVertex* v, int count, const Color& color) override;
        void render(RenderOperation operation, TexturedVertex* v, int count) override;
        void render(RenderOperation operation, PlainVertex* v, int count, const Color& color) override;
        void render(RenderOperation operation, PlainVertex* v, int count) override;
        Image::Format getNativeTextureFormat(Image::Format format) override;
        std::unique_ptr<Image> takeScreenshot(Image::Format format) override;
        void presentFrame() override;
        void setResolution(int width, int height, bool fullscreen) override;

        /// Sends the triangles merged so far to GL as one draw. Every change of GL state, texture contents,
        /// target, read-back and presentation does this first.
        void flush();
        /// Draw calls GL was given since the render system was made.
        int getDrawCallCount() const { return drawCalls; }
        /// Textures one merged run can sample: the fragment stage's units, at most 16.
        int getTextureSlotCount() const { return (int)slots.size(); }
        /// Whether runs over several textures pick a triangle's unit by an index into the samplers (the
        /// software renderer; draws of any size then share runs) or by a tree of branches (elsewhere; large
        /// draws then keep a run to their own texture). Chosen at attach; tests switch it to cover both.
        bool hasIndexedUnitChoice() const { return program.isIndexed(); }
        void setIndexedUnitChoice(bool indexed);

    protected:
        void* sdlWindow = nullptr;
        bool context = false;       ///< a context is current and its entry points are loaded
        bool brokenTexture = false; ///< the texture last set could not be decoded: textured draws are skipped
        OpenGL_Texture* renderTarget = nullptr;
        harray<DisplayMode> displayModes;
        // Client array state as last set, so that draws only change what differs.
        bool colorArrayEnabled = false;
        bool texCoordArrayEnabled = false;
        bool currentColorWhite = false;
        int appliedViewportWidth = 0;
        int appliedViewportHeight = 0;
        // Consecutive triangle draws under the same GL state, moved by their model-view matrix on the CPU
        // so that draws under different matrices merge too; colours in GL byte order.
        std::vector<ColoredTexturedVertex> batch;
        std::vector<unsigned short> batchIndices; ///< triangles as a list of indices into batch
        std::vector<float> batchSlots;            ///< each vertex's texture unit, -1 untextured
        int batchMaxSlot = -1;                    ///< the highest unit the run samples
        int batchMinSlot = maxUnits;              ///< the lowest, -1 for untextured vertices
        float batchMaxArea = 0.0f;                ///< pixels of the run's largest draw
        bool batchUntextured = false;             ///< the run has untextured vertices
        bool batchWhite = true;                   ///< every vertex of the run is opaque white
        // The textures bound to the units. Units keep their textures between runs; a texture new to the
        // units takes one the waiting run does not sample, and when the run samples them all it goes out
        // first.
        std::vector<OpenGL_Texture*> slots;
        std::vector<bool> slotInRun;
        OpenGL_DrawProgram program;
        // One fence per presented frame not yet known to be drawn. A driver that queues frames without
        // waiting (a software renderer behind an offscreen surface) would otherwise fall ever further
        // behind, and destroying the context at exit waits for everything queued.
        std::deque<void*> framesInFlight;
        bool slotArrayEnabled = false;
        int drawCalls = 0;
        bool modelviewAffine = true;
        bool projectionAffine = true; ///< w stays 1: no perspective to correct for when interpolating
        // The model-view matrix GL holds; merged runs go out under the identity.
        kavtypes::Matrix4 glModelview;
        bool glModelviewKnown = false;

        std::unique_ptr<Texture> createTextureObject(bool fromResource) override;
        // No GL call and no copy: draws move their vertices by the matrix themselves, or load it when they
        // cannot, reading it where it is kept (synced before every draw); only whether it is affine is worked
        // out here, once per change rather than per draw. Final and inline, so that the sync before each
        // draw costs no call.
        void applyModelviewMatrix(const kavtypes::Matrix4& matrix) final
        {
            modelviewAffine = matrix.data[3] == 0.0f && matrix.data[7] == 0.0f && matrix.data[11] == 0.0f &&
                              matrix.data[15] == 1.0f;
        }
        void applyProjectionMatrix(const kavtypes::Matrix4& matrix) override;
        kavtypes::Vector2 getTargetSize() override;

        void setDefaultState();
        /// Size of what is drawn into now: the render-target texture or the window's drawable.
        void getCurrentTargetSize(int& width, int& height);
        void getBackBufferSize(int& width, int& height);
        void applyViewport();
        /// Rebinds unit 0's texture after a texture operation bound another one there.
        void restoreTextureBinding();
        /// The unit holding the current texture, bound now when no unit has it; -1 without a texture.
        int slotForCurrentTexture();
        /// A texture that goes (unloaded or deleted) leaves the unit table; callers flush first.
        void forgetTexture(OpenGL_Texture* texture);
        void clearSlots();
        /// Waits until at most `frames` presented frames remain undrawn.
        void waitForFramesInFlight(size_t frames);

    private:
        enum VertexLayout
        {
            LAYOUT_PLAIN,
            LAYOUT_COLORED,
            LAYOUT_TEXTURED,
            LAYOUT_COLORED_TEXTURED
        };

        /// Draws straight away, after what was merged before: lines, points and anything under a projective
        /// model-view matrix.
        void draw(RenderOperation operation, const void* vertices, int count, VertexLayout layout);
        /// Adds triangles (fetch(i) gives vertex i in GL byte order) to the merged run; false when they
        /// cannot join one.
        template <typename Fetch> bool merge(RenderOperation operation, int count, Fetch fetch);
        template <typename Fetch> float pixelArea(RenderOperation operation, int count, Fetch fetch);
        static const int maxUnits = 16;
        void loadModelview(const kavtypes::Matrix4& matrix);
    };
} // namespace tesra
