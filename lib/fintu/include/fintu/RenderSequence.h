#pragma once

#include <quortypes/harray.h>
#include <tesra/Color.h>
#include <tesra/Vertex.h>

namespace tesra
{
    class Texture;
}

namespace fintu
{
    struct RenderRectangle;

    /// Glyph quads that share an atlas and a colour, drawn with one call.
    struct RenderSequence
    {
        tesra::Texture* texture = nullptr; // not owned
        tesra::Color color;
        harray<tesra::TexturedVertex> vertices;

        /// Six vertices, two triangles: top-left, top-right, bottom-left, top-right, bottom-right,
        /// bottom-left.
        void addRenderRectangle(const RenderRectangle& quad);
    };
} // namespace fintu
