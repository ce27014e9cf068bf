#include <fintu/Font.h>
#include <fintu/RenderSequence.h>

namespace fintu
{
    void RenderSequence::addRenderRectangle(const RenderRectangle& quad)
    {
        const kavtypes::Rectangle& d = quad.dest;
        const kavtypes::Rectangle& s = quad.src;
        const float left = d.x, top = d.y, right = d.x + d.w, bottom = d.y + d.h;
        const float u0 = s.x, v0 = s.y, u1 = s.x + s.w, v1 = s.y + s.h;
        vertices.push_back(tesra::TexturedVertex(left, top, 0.0f, u0, v0));
        vertices.push_back(tesra::TexturedVertex(right, top, 0.0f, u1, v0));
        vertices.push_back(tesra::TexturedVertex(left, bottom, 0.0f, u0, v1));
        vertices.push_back(tesra::TexturedVertex(right, top, 0.0f, u1, v0));
        vertices.push_back(tesra::TexturedVertex(right, bottom, 0.0f, u1, v1));
        vertices.push_back(tesra::TexturedVertex(left, bottom, 0.0f, u0, v1));
    }
} // namespace fintu
