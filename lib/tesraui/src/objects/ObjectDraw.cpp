#include <algorithm>
#include <cmath>

#include <kavtypes/Matrix4.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    void Object::_drawDebug()
    {
        tesra::rendersys->drawRect(kavtypes::Rectangle(-1.0f, -1.0f, 2.0f, 2.0f),
                                   tesra::Color(255, 255, 255, 255));
        tesra::rendersys->drawRect(kavtypes::Rectangle(-3.0f, -3.0f, 6.0f, 6.0f),
                                   tesra::Color(0, 255, 0, 255));
    }

    void Object::draw()
    {
        tesra::RenderSystem* rs = tesra::rendersys;
        if (rs == nullptr || !visible || color.a == 0)
        {
            return;
        }
        const bool unscaled = scaleFactor.x == 1.0f && scaleFactor.y == 1.0f;
        if (!unscaled && (std::fabs(scaleFactor.x) < 0.0001f || std::fabs(scaleFactor.y) < 0.0001f))
        {
            return;
        }
        if (clip && parent != nullptr)
        {
            _drawClipped(rs);
            return;
        }
        if (unscaled && angle == 0.0f)
        {
            _drawTranslated(rs);
        }
        else
        {
            _drawMoved(rs);
        }
    }

    void Object::_drawClipped(tesra::RenderSystem* rs)
    {
        const kavtypes::Rectangle projection = rs->getOrthoProjection();
        const kavtypes::Rectangle viewport = rs->getViewport();
        kavtypes::Rectangle bounds = parent->getBoundingRect(nullptr);
        // An empty area (an outer clip left nothing, or the parent has no extent) shows nothing of the
        // subtree; the arithmetic below would divide by zero.
        if (viewport.w <= 0.0f || viewport.h <= 0.0f || projection.w == 0.0f || projection.h == 0.0f ||
            bounds.w <= 0.0f || bounds.h <= 0.0f)
        {
            return;
        }
        // The parent's bounds in pixels, placed where the projection and viewport in force put them
        // and cut to that viewport, so that clips nest: the subtree lands where it would unclipped,
        // inside every enclosing clip. The new projection keeps the units per pixel.
        const kavtypes::Vector2 ratio = projection.getSize() / viewport.getSize();
        const kavtypes::Vector2 start =
            viewport.getPosition() + (bounds.getPosition() + projection.getPosition()) / ratio;
        const kavtypes::Vector2 end = start + bounds.getSize() / ratio;
        const kavtypes::Vector2 topLeft(std::max(start.x, viewport.x), std::max(start.y, viewport.y));
        const kavtypes::Vector2 size(std::min(end.x, viewport.x + viewport.w) - topLeft.x,
                                     std::min(end.y, viewport.y + viewport.h) - topLeft.y);
        // Not a number when the bounds were infinite: nothing of it can be placed.
        if (!(size.x > 0.0f) || !(size.y > 0.0f))
        {
            return;
        }
        const kavtypes::Vector2 origin =
            projection.getPosition() + (viewport.getPosition() - topLeft) * ratio;
        const kavtypes::Vector2 units = size * ratio;
        rs->setOrthoProjection(kavtypes::Rectangle(origin.x, origin.y, units.x, units.y));
        rs->setViewport(kavtypes::Rectangle(topLeft.x, topLeft.y, size.x, size.y));
        if (angle == 0.0f && scaleFactor.x == 1.0f && scaleFactor.y == 1.0f)
        {
            _drawTranslated(rs);
        }
        else
        {
            _drawMoved(rs);
        }
        rs->setOrthoProjection(projection);
        rs->setViewport(viewport);
    }

    // The object under its move, then its children relative to its unmoved corner; the caller puts the
    // matrix back.
    inline void Object::_drawSelfAndChildren(tesra::RenderSystem* rs)
    {
        _draw();
        if (isDebugEnabled())
        {
            _drawDebug();
        }
        if (children.size() > 0)
        {
            if (center.x != 0.0f || center.y != 0.0f)
            {
                rs->translate(-center.x, -center.y, 0.0f);
            }
            for (Object* child : children)
            {
                child->draw();
            }
        }
    }

    // Draws this object and its subtree under the object's own move, rotation and scale.
    void Object::_drawMoved(tesra::RenderSystem* rs)
    {
        kavtypes::Matrix4 modelview = rs->getModelviewMatrix();
        kavtypes::Vector2 translation = rect.getPosition() + center;
        if (translation.x != 0.0f || translation.y != 0.0f)
        {
            rs->translate(translation.x, translation.y, 0.0f);
        }
        if (angle != 0.0f)
        {
            rs->rotate(angle, 0.0f, 0.0f, -1.0f);
        }
        if (scaleFactor.x != 1.0f || scaleFactor.y != 1.0f)
        {
            rs->scale(scaleFactor.x, scaleFactor.y, 1.0f);
        }
        _drawSelfAndChildren(rs);
        rs->setModelviewMatrix(modelview);
    }

    // The common case of _drawMoved, neither rotated nor scaled: moves only change the matrix's last column,
    // and every drawer below puts back what it changes, so saving and restoring that column undoes them
    // exactly, at a quarter of the copying.
    void Object::_drawTranslated(tesra::RenderSystem* rs)
    {
        const float* data = rs->getModelviewMatrix().data;
        const float column[4] = {data[12], data[13], data[14], data[15]};
        const kavtypes::Vector2 translation = rect.getPosition() + center;
        if (translation.x != 0.0f || translation.y != 0.0f)
        {
            rs->translate(translation.x, translation.y, 0.0f);
        }
        _drawSelfAndChildren(rs);
        rs->setModelviewTranslation(column);
    }
} // namespace tesraui
