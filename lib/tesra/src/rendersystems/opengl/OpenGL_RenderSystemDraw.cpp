#include "OpenGL_RenderSystem.h"

#include <cmath>
#include <cstring>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include <quortypes/Log.h>
#include <tesra/tesra.h>

#include "GLFunctions.h"
#include "OpenGL_Texture.h"

namespace tesra
{
    using opengl::gl;

    static const int scratchSize = 65536;
    // Recoloured vertices go here, so that drawing up to 65536 vertices never allocates.
    static ColoredVertex coloredScratch[scratchSize];
    static ColoredTexturedVertex coloredTexturedScratch[scratchSize];

    // Fills the scratch array, or `heap` when there are more vertices than it holds, with make(i)
    // for every vertex, and answers where they went.
    template <typename Vertex, typename Make>
    static Vertex* convertVertices(Vertex* scratch, int count, std::unique_ptr<Vertex[]>& heap, Make make)
    {
        Vertex* out = scratch;
        if (count > scratchSize)
        {
            heap.reset(new Vertex[count]);
            out = heap.get();
        }
        for (int i = 0; i < count; ++i)
        {
            out[i] = make(i);
        }
        return out;
    }

    static void setClientArray(GLenum array, bool& enabled, bool wanted)
    {
        if (enabled == wanted)
        {
            return;
        }
        if (wanted)
        {
            glEnableClientState(array);
        }
        else
        {
            glDisableClientState(array);
        }
        enabled = wanted;
    }

    // 0xRRGGBBAA as a number, to the bytes R, G, B, A in memory, which is what GL reads.
    static inline unsigned int toByteOrder(unsigned int rgba)
    {
        unsigned char bytes[4] = {(unsigned char)(rgba >> 24), (unsigned char)(rgba >> 16),
                                  (unsigned char)(rgba >> 8), (unsigned char)rgba};
        unsigned int result;
        memcpy(&result, bytes, 4);
        return result;
    }

    static inline unsigned int toByteOrder(const Color& color)
    {
        unsigned char bytes[4] = {color.r, color.g, color.b, color.a};
        unsigned int result;
        memcpy(&result, bytes, 4);
        return result;
    }

    static int getDrawnVertexCount(RenderOperation operation, int count)
    {
        int primitives = getPrimitiveCount(operation, count);
        if (primitives <= 0)
        {
            return 0;
        }
        switch (operation)
        {
        case RenderOperation::TRIANGLE_LIST:
            return primitives * 3;
        case RenderOperation::TRIANGLE_STRIP:
        case RenderOperation::TRIANGLE_FAN:
            return primitives + 2;
        case RenderOperation::LINE_LIST:
            return primitives * 2;
        case RenderOperation::LINE_STRIP:
            return primitives + 1;
        case RenderOperation::POINT_LIST:
            return primitives;
        }
        return 0;
    }

    static GLenum getPrimitiveType(RenderOperation operation)
    {
        switch (operation)
        {
        case RenderOperation::TRIANGLE_LIST:
            return GL_TRIANGLES;
        case RenderOperation::TRIANGLE_STRIP:
            return GL_TRIANGLE_STRIP;
        case RenderOperation::TRIANGLE_FAN:
            return GL_TRIANGLE_FAN;
        case RenderOperation::LINE_LIST:
            return GL_LINES;
        case RenderOperation::LINE_STRIP:
            return GL_LINE_STRIP;
        case RenderOperation::POINT_LIST:
            return GL_POINTS;
        }
        return GL_POINTS;
    }

    // Beyond this many vertices a merged run goes out before the next draw joins it. Client arrays are
    // copied into the driver's upload buffer at every draw; runs larger than that buffer (some 64 kB with
    // Mesa) make it allocate and map fresh memory each time, which costs more than the extra draws.
    static const size_t mergeLimit = 2048;
    static_assert(mergeLimit - 1 <= 0xFFFF, "merged runs are indexed with 16 bits");
    // Where units are a tree of branches, above this many pixels, divided by the run's units less one, a draw
    // shares its run with no other texture: 48 x 48 for two units, about 18 x 18 for eight.
    static const float largeDrawArea = 48.0f * 48.0f;

    static bool isTriangles(RenderOperation operation)
    {
        return operation == RenderOperation::TRIANGLE_LIST || operation == RenderOperation::TRIANGLE_STRIP ||
               operation == RenderOperation::TRIANGLE_FAN;
    }

    // Appends the vertices, each fetch(i) moved by the affine matrix, and the triangles of the list, strip
    // or fan as indices of a list, in the order GL itself takes them from a strip or fan. Shared corners
    // stay one vertex, so GL transforms each once.
    template <typename Fetch>
    static void appendTriangles(std::vector<ColoredTexturedVertex>& vertices, std::vector<GLushort>& indices,
                                const kavtypes::Matrix4& matrix, RenderOperation operation, int count,
                                Fetch fetch)
    {
        const int triangles = getPrimitiveCount(operation, count);
        const int used = operation == RenderOperation::TRIANGLE_LIST ? triangles * 3 : count;
        const size_t first = vertices.size();
        const float* m = matrix.data;
        for (int i = 0; i < used; ++i)
        {
            ColoredTexturedVertex v = fetch(i);
            const float x = v.x, y = v.y, z = v.z;
            v.x = m[0] * x + m[4] * y + m[8] * z + m[12];
            v.y = m[1] * x + m[5] * y + m[9] * z + m[13];
            v.z = m[2] * x + m[6] * y + m[10] * z + m[14];
            vertices.push_back(v);
        }
        const size_t start = indices.size();
        indices.resize(start + (size_t)triangles * 3);
        GLushort* index = indices.data() + start;
        const GLushort base = (GLushort)first;
        for (int t = 0; t < triangles; ++t)
        {
            switch (operation)
            {
            case RenderOperation::TRIANGLE_STRIP:
                *index++ = (GLushort)(base + ((t & 1) ? t + 1 : t));
                *index++ = (GLushort)(base + ((t & 1) ? t : t + 1));
                *index++ = (GLushort)(base + t + 2);
                break;
            case RenderOperation::TRIANGLE_FAN:
                *index++ = base;
                *index++ = (GLushort)(base + t + 1);
                *index++ = (GLushort)(base + t + 2);
                break;
            default:
                *index++ = (GLushort)(base + t * 3);
                *index++ = (GLushort)(base + t * 3 + 1);
                *index++ = (GLushort)(base + t * 3 + 2);
                break;
            }
        }
    }

    void OpenGL_RenderSystem::loadModelview(const kavtypes::Matrix4& matrix)
    {
        if (glModelviewKnown && memcmp(glModelview.data, matrix.data, sizeof(matrix.data)) == 0)
        {
            return;
        }
        glLoadMatrixf(matrix.data); // the matrix mode is left at the model-view everywhere
        glModelview = matrix;
        glModelviewKnown = true;
    }

    // Pixels a draw covers, from its triangles scaled by the model-view matrix (the projection maps units
    // to pixels).
    template <typename Fetch>
    float OpenGL_RenderSystem::pixelArea(RenderOperation operation, int count, Fetch fetch)
    {
        const int triangles = getPrimitiveCount(operation, count);
        float area = 0.0f;
        for (int t = 0; t < triangles; ++t)
        {
            int a = t * 3, b = t * 3 + 1, c = t * 3 + 2;
            if (operation == RenderOperation::TRIANGLE_STRIP)
            {
                a = t, b = t + 1, c = t + 2;
            }
            else if (operation == RenderOperation::TRIANGLE_FAN)
            {
                a = 0, b = t + 1, c = t + 2;
            }
            const ColoredTexturedVertex p = fetch(a), q = fetch(b), r = fetch(c);
            area += std::fabs((q.x - p.x) * (r.y - p.y) - (r.x - p.x) * (q.y - p.y)) * 0.5f;
        }
        const float* m = modelviewMatrix.data;
        return area * std::fabs(m[0] * m[5] - m[4] * m[1]);
    }

    template <typename Fetch>
    bool OpenGL_RenderSystem::merge(RenderOperation operation, int count, Fetch fetch)
    {
        syncModelview();
        // Runs are indexed with 16 bits.
        if (!context || !isTriangles(operation) || !modelviewAffine || (size_t)count > mergeLimit)
        {
            return false;
        }
        if (getPrimitiveCount(operation, count) <= 0)
        {
            return true;
        }
        if (batch.size() + (size_t)count > mergeLimit)
        {
            flush();
        }
        // May end the run first, when every unit holds another texture.
        const int unit = slotForCurrentTexture();
        // Where the unit choice is a tree of branches, a software renderer runs all of it at every pixel, so
        // a run over several textures pays for all of them wherever it draws: there only draws small for the
        // units their run would sample share it with other textures.
        if (!program.isIndexed())
        {
            const float area = pixelArea(operation, count, fetch);
            int units = 1;
            while (units < std::max(batchMaxSlot, unit) + 1)
            {
                units *= 2;
            }
            const bool others = !batch.empty() && (batchMinSlot != unit || batchMaxSlot != unit);
            if (others && std::max(area, batchMaxArea) * (float)(units - 1) > largeDrawArea)
            {
                flush();
                if (unit >= 0)
                {
                    slotInRun[unit] = true;
                }
            }
            batchMaxArea = std::max(batchMaxArea, area);
        }
        const float slot = (float)unit;
        const size_t first = batch.size();
        appendTriangles(batch, batchIndices, modelviewMatrix, operation, count, fetch);
        batchSlots.resize(batch.size(), slot);
        std::fill(batchSlots.begin() + first, batchSlots.end(), slot);
        batchMaxSlot = std::max(batchMaxSlot, unit);
        batchMinSlot = std::min(batchMinSlot, unit);
        batchUntextured = batchUntextured || slot < 0.0f;
        for (size_t i = first; batchWhite && i < batch.size(); ++i)
        {
            batchWhite = batch[i].color == 0xFFFFFFFFu;
        }
        return true;
    }

    void OpenGL_RenderSystem::flush()
    {
        if (batch.empty())
        {
            std::fill(slotInRun.begin(), slotInRun.end(), false); // a draw of its own may have used one
            return;
        }
        if (!context)
        {
            batch.clear();
            batchIndices.clear();
            batchSlots.clear();
            return;
        }
        // The merged vertices are moved already.
        loadModelview(kavtypes::Matrix4());
        const char* base = reinterpret_cast<const char*>(batch.data());
        GLsizei stride = sizeof(ColoredTexturedVertex);
        glVertexPointer(3, GL_FLOAT, stride, base);
        setClientArray(GL_COLOR_ARRAY, colorArrayEnabled, true);
        glColorPointer(4, GL_UNSIGNED_BYTE, stride, base + offsetof(ColoredTexturedVertex, color));
        currentColorWhite = false;
        // Coordinates for an untextured run are ignored with texturing off.
        setClientArray(GL_TEXTURE_COORD_ARRAY, texCoordArrayEnabled, true);
        glTexCoordPointer(2, GL_FLOAT, stride, base + offsetof(ColoredTexturedVertex, u));
        if (!slotArrayEnabled)
        {
            gl.EnableVertexAttribArray(OpenGL_DrawProgram::slotAttribute);
            slotArrayEnabled = true;
        }
        gl.VertexAttribPointer(OpenGL_DrawProgram::slotAttribute, 1, GL_FLOAT, GL_FALSE, 0,
                               batchSlots.data());
        program.use(batchMaxSlot + 1, batchUntextured, batchMinSlot == batchMaxSlot ? batchMaxSlot : -1,
                    batchWhite, projectionAffine);
        glDrawElements(GL_TRIANGLES, (GLsizei)batchIndices.size(), GL_UNSIGNED_SHORT, batchIndices.data());
        ++drawCalls;
        batch.clear();
        batchIndices.clear();
        batchSlots.clear();
        batchMaxSlot = -1;
        batchMinSlot = maxUnits;
        batchUntextured = false;
        batchWhite = true;
        batchMaxArea = 0.0f;
        std::fill(slotInRun.begin(), slotInRun.end(), false);
    }

    void OpenGL_RenderSystem::draw(RenderOperation operation, const void* vertices, int count,
                                   VertexLayout layout)
    {
        int drawn = getDrawnVertexCount(operation, count);
        if (drawn <= 0 || !context)
        {
            return;
        }
        syncModelview();
        flush();
        const int slot = slotForCurrentTexture();
        loadModelview(modelviewMatrix);
        ++drawCalls;
        if (slotArrayEnabled)
        {
            gl.DisableVertexAttribArray(OpenGL_DrawProgram::slotAttribute);
            slotArrayEnabled = false;
        }
        // Untextured layouts draw the vertex colour alone whatever texture is current, as before.
        const bool sampled = (layout == LAYOUT_TEXTURED || layout == LAYOUT_COLORED_TEXTURED) && slot >= 0;
        gl.VertexAttrib1f(OpenGL_DrawProgram::slotAttribute, sampled ? (float)slot : -1.0f);
        program.use(sampled ? slot + 1 : 0, false, sampled ? slot : -1, false,
                    projectionAffine && modelviewAffine);
        const char* base = static_cast<const char*>(vertices);
        GLsizei stride = 12;
        bool colored = false, textured = false;
        switch (layout)
        {
        case LAYOUT_PLAIN:
            stride = sizeof(PlainVertex);
            break;
        case LAYOUT_COLORED:
            stride = sizeof(ColoredVertex);
            colored = true;
            break;
        case LAYOUT_TEXTURED:
            stride = sizeof(TexturedVertex);
            textured = true;
            break;
        case LAYOUT_COLORED_TEXTURED:
            stride = sizeof(ColoredTexturedVertex);
            colored = textured = true;
            break;
        }
        glVertexPointer(3, GL_FLOAT, stride, base);
        setClientArray(GL_COLOR_ARRAY, colorArrayEnabled, colored);
        if (colored)
        {
            glColorPointer(4, GL_UNSIGNED_BYTE, stride, base + offsetof(ColoredVertex, color));
            currentColorWhite = false; // a colour array leaves the current colour undefined
        }
        else if (!currentColorWhite)
        {
            glColor4ub(255, 255, 255, 255); // records without colour draw white
            currentColorWhite = true;
        }
        setClientArray(GL_TEXTURE_COORD_ARRAY, texCoordArrayEnabled, textured);
        if (textured)
        {
            glTexCoordPointer(
                2, GL_FLOAT, stride,
                base + (colored ? offsetof(ColoredTexturedVertex, u) : offsetof(TexturedVertex, u)));
        }
        // Lines and points at whole coordinates lie on pixel edges in GL; half a pixel puts them on pixel
        // centres, where filled shapes of the same rectangle have their outer pixels.
        bool centred = operation == RenderOperation::LINE_LIST || operation == RenderOperation::LINE_STRIP ||
                       operation == RenderOperation::POINT_LIST;
        if (centred && appliedViewportWidth > 0 && appliedViewportHeight > 0)
        {
            glMatrixMode(GL_PROJECTION);
            glPushMatrix();
            glLoadIdentity();
            if (renderTarget != nullptr)
            {
                glScalef(1.0f, -1.0f, 1.0f);
            }
            glTranslatef(1.0f / appliedViewportWidth, -1.0f / appliedViewportHeight, 0.0f);
            glMultMatrixf(state->projectionMatrix.data);
            glDrawArrays(getPrimitiveType(operation), 0, drawn);
            glPopMatrix();
            glMatrixMode(GL_MODELVIEW);
            return;
        }
        glDrawArrays(getPrimitiveType(operation), 0, drawn);
    }

    void OpenGL_RenderSystem::render(RenderOperation operation, ColoredTexturedVertex* v, int count)
    {
        if (count <= 0 || brokenTexture)
        {
            return;
        }
        auto fetch = [&](int i)
        { return ColoredTexturedVertex(v[i].x, v[i].y, v[i].z, toByteOrder(v[i].color), v[i].u, v[i].v); };
        if (merge(operation, count, fetch))
        {
            return;
        }
        std::unique_ptr<ColoredTexturedVertex[]> heap;
        draw(operation, convertVertices(coloredTexturedScratch, count, heap, fetch), count,
             LAYOUT_COLORED_TEXTURED);
    }

    void OpenGL_RenderSystem::render(RenderOperation operation, ColoredVertex* v, int count)
    {
        if (state->texture != nullptr)
        {
            setTexture(nullptr);
        }
        if (count <= 0)
        {
            return;
        }
        auto fetch = [&](int i)
        { return ColoredTexturedVertex(v[i].x, v[i].y, v[i].z, toByteOrder(v[i].color), 0.0f, 0.0f); };
        if (merge(operation, count, fetch))
        {
            return;
        }
        std::unique_ptr<ColoredVertex[]> heap;
        draw(operation,
             convertVertices(coloredScratch, count, heap,
                             [&](int i)
                             { return ColoredVertex(v[i].x, v[i].y, v[i].z, toByteOrder(v[i].color)); }),
             count, LAYOUT_COLORED);
    }

    void OpenGL_RenderSystem::render(RenderOperation operation, TexturedVertex* v, int count,
                                     const Color& color)
    {
        if (count <= 0 || brokenTexture)
        {
            return;
        }
        unsigned int packed = toByteOrder(color);
        auto fetch = [&](int i)
        { return ColoredTexturedVertex(v[i].x, v[i].y, v[i].z, packed, v[i].u, v[i].v); };
        if (merge(operation, count, fetch))
        {
            return;
        }
        std::unique_ptr<ColoredTexturedVertex[]> heap;
        draw(operation, convertVertices(coloredTexturedScratch, count, heap, fetch), count,
             LAYOUT_COLORED_TEXTURED);
    }

    void OpenGL_RenderSystem::render(RenderOperation operation, TexturedVertex* v, int count)
    {
        if (brokenTexture)
        {
            return;
        }
        if (count > 0 &&
            merge(operation, count,
                  [&](int i)
                  { return ColoredTexturedVertex(v[i].x, v[i].y, v[i].z, 0xFFFFFFFF, v[i].u, v[i].v); }))
        {
            return;
        }
        draw(operation, v, count, LAYOUT_TEXTURED);
    }

    void OpenGL_RenderSystem::render(RenderOperation operation, PlainVertex* v, int count, const Color& color)
    {
        if (state->texture != nullptr)
        {
            setTexture(nullptr);
        }
        if (count <= 0)
        {
            return;
        }
        unsigned int packed = toByteOrder(color);
        if (merge(operation, count,
                  [&](int i) { return ColoredTexturedVertex(v[i].x, v[i].y, v[i].z, packed, 0.0f, 0.0f); }))
        {
            return;
        }
        std::unique_ptr<ColoredVertex[]> heap;
        draw(operation,
             convertVertices(coloredScratch, count, heap,
                             [&](int i) { return ColoredVertex(v[i].x, v[i].y, v[i].z, packed); }),
             count, LAYOUT_COLORED);
    }

    void OpenGL_RenderSystem::render(RenderOperation operation, PlainVertex* v, int count)
    {
        if (state->texture != nullptr)
        {
            setTexture(nullptr);
        }
        if (count > 0 &&
            merge(operation, count,
                  [&](int i)
                  { return ColoredTexturedVertex(v[i].x, v[i].y, v[i].z, 0xFFFFFFFF, 0.0f, 0.0f); }))
        {
            return;
        }
        draw(operation, v, count, LAYOUT_PLAIN);
    }

    void OpenGL_RenderSystem::clear(bool depth, const kavtypes::Rectangle& rect, const Color& color)
    {
        if (!context)
        {
            return;
        }
        flush();
        int left = (int)rect.x, top = (int)rect.y, right = (int)(rect.x + rect.w),
            bottom = (int)(rect.y + rect.h);
        int width = 0, height = 0;
        getCurrentTargetSize(width, height);
        int y = renderTarget != nullptr ? top : height - bottom;
        glEnable(GL_SCISSOR_TEST);
        glScissor(left, y, right > left ? right - left : 0, bottom > top ? bottom - top : 0);
        glClearColor(color.r / 255.0f, color.g / 255.0f, color.b / 255.0f, color.a / 255.0f);
        GLbitfield mask = GL_COLOR_BUFFER_BIT;
        if (depth && options.depthBuffer)
        {
            glClearDepth(1.0);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        glClear(mask);
        glDisable(GL_SCISSOR_TEST);
    }

    void OpenGL_RenderSystem::clear(bool useColor, bool depth)
    {
        if (!context)
        {
            return;
        }
        flush();
        GLbitfield mask = 0;
        if (useColor)
        {
            glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (depth && options.depthBuffer)
        {
            glClearDepth(1.0);
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        if (mask != 0)
        {
            glClear(mask);
        }
    }

    std::unique_ptr<Image> OpenGL_RenderSystem::takeScreenshot(Image::Format format)
    {
        if (!context)
        {
            return nullptr;
        }
        flush();
        int width = 0, height = 0;
        getBackBufferSize(width, height);
        if (width <= 0 || height <= 0)
        {
            quortypes::Log::error(logTag, "Failed to grab screenshot, back buffer has no size.");
            return nullptr;
        }
        if (renderTarget != nullptr)
        {
            gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
        }
        std::unique_ptr<unsigned char[]> rows(new unsigned char[(size_t)width * height * 4]);
        glReadPixels(0, 0, width, height, GL_BGRA, GL_UNSIGNED_BYTE, rows.get());
        GLenum error = glGetError();
        if (renderTarget != nullptr)
        {
            gl.BindFramebuffer(GL_FRAMEBUFFER, renderTarget->framebufferId);
        }
        if (error != GL_NO_ERROR)
        {
            quortypes::Log::errorf(logTag, "Failed to grab screenshot, glReadPixels() call failed: 0x%X",
                                   error);
            return nullptr;
        }
        // GL reads bottom-up; pictures are stored top row first.
        auto image = std::make_unique<Image>();
        image->width = width;
        image->height = height;
        image->format = Image::FORMAT_BGRX;
        image->data.reset(new unsigned char[(size_t)width * height * 4]);
        size_t rowSize = (size_t)width * 4;
        for (int y = 0; y < height; ++y)
        {
            memcpy(image->data.get() + rowSize * y, rows.get() + rowSize * (height - 1 - y), rowSize);
        }
        if (format != Image::FORMAT_BGRX)
        {
            unsigned char* out = nullptr;
            const bool convertedWell =
                Image::convert(width, height, image->data.get(), Image::FORMAT_BGRX, &out, format);
            std::unique_ptr<unsigned char[]> converted(out);
            if (!convertedWell)
            {
                return nullptr;
            }
            image->data = std::move(converted);
            image->format = format;
        }
        return image;
    }
} // namespace tesra
