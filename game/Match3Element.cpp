#include "Match3Element.h"

#include <algorithm>
#include <utility>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

Match3Element::Match3Element(const hstring& name, kavtypes::Rectangle rect, Match3RowBand rowBand)
    : tesraui::ImageBox(name, rect), rowBand(std::move(rowBand))
{
}

void Match3Element::_draw()
{
    tesra::RenderSystem* rs = tesra::rendersys;
    float top = 0.0f;
    float bottom = 0.0f;
    // A mover ends a hair's breadth from its slot: only a cell truly beyond the rows is cut.
    if (rs == nullptr || parent == nullptr || !rowBand || !rowBand(parent, getHeight(), top, bottom) ||
        (getY() >= top - 0.5f && getY() + getHeight() <= bottom + 0.5f))
    {
        ImageBox::_draw();
        return;
    }
    // The band in the units of the projection in force, as the parent (and a zoom of it) places it,
    // then in pixels of the viewport in force, cut to that viewport so that an enclosing clip still holds.
    const float bandTop = parent->getDerivedPoint(kavtypes::Vector2(0.0f, top)).y;
    const float bandBottom = parent->getDerivedPoint(kavtypes::Vector2(0.0f, bottom)).y;
    const kavtypes::Rectangle projection = rs->getOrthoProjection();
    const kavtypes::Rectangle viewport = rs->getViewport();
    if (viewport.h <= 0.0f || projection.h == 0.0f)
    {
        return;
    }
    const float ratio = projection.h / viewport.h;
    const float start = viewport.y + (std::min(bandTop, bandBottom) + projection.y) / ratio;
    const float end = viewport.y + (std::max(bandTop, bandBottom) + projection.y) / ratio;
    const float from = std::max(start, viewport.y);
    const float size = std::min(end, viewport.y + viewport.h) - from;
    // Not a number when the band is beyond what a float places: nothing of the cell can be.
    if (!(size > 0.0f))
    {
        return;
    }
    rs->setOrthoProjection(kavtypes::Rectangle(projection.x, projection.y + (viewport.y - from) * ratio,
                                               projection.w, size * ratio));
    rs->setViewport(kavtypes::Rectangle(viewport.x, from, viewport.w, size));
    ImageBox::_draw();
    rs->setOrthoProjection(projection);
    rs->setViewport(viewport);
}
