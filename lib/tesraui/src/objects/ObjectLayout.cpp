#include <cmath>

#include <quortypes/UnderWay.h>
#include <tesraui/Object.h>

namespace tesraui
{
    namespace
    {
        // The walks over children under way.
        int layoutDepth = 0;
    } // namespace

    bool Object::isLayoutUnderWay()
    {
        return layoutDepth > 0;
    }

    void Object::setRect(kavtypes::Rectangle value)
    {
        _moveChildrenX(value.w - rect.w);
        _moveChildrenY(value.h - rect.h);
        rect = value;
        notifyEvent("Resized", nullptr);
    }

    void Object::setPosition(float x, float y)
    {
        rect.x = x;
        rect.y = y;
    }

    void Object::setSize(float w, float h)
    {
        _moveChildrenX(w - rect.w);
        _moveChildrenY(h - rect.h);
        rect.w = w;
        rect.h = h;
        notifyEvent("Resized", nullptr);
    }

    void Object::setWidth(float value)
    {
        _moveChildrenX(value - rect.w);
        rect.w = value;
        notifyEvent("Resized", nullptr);
    }

    void Object::setHeight(float value)
    {
        _moveChildrenY(value - rect.h);
        rect.h = value;
        notifyEvent("Resized", nullptr);
    }

    void Object::resetCenter()
    {
        center.set(rect.w * 0.5f, rect.h * 0.5f);
    }

    void Object::setEnabled(bool value)
    {
        if (enabled != value)
        {
            enabled = value;
            notifyEvent("OnEnableChanged", nullptr);
        }
    }

    void Object::setAnchors(bool left, bool right, bool top, bool bottom)
    {
        anchorLeft = left;
        anchorRight = right;
        anchorTop = top;
        anchorBottom = bottom;
    }

    // The size change that keeps a child's aspect; a child without extent along the changing axis has
    // no aspect to keep.
    static float aspectChange(float other, float delta, float extent)
    {
        return extent != 0.0f ? other * delta / extent : 0.0f;
    }

    void Object::_moveChildrenX(float dx)
    {
        if (std::fabs(dx) < 0.01f)
        {
            return;
        }
        const quortypes::CountedUnderWay walk(layoutDepth);
        for (Object* child : children)
        {
            float w = child->rect.w;
            float h = child->rect.h;
            float s = aspectChange(h, dx, w);
            if (!child->anchorLeft && !child->anchorRight)
            {
                child->rect.x += dx * 0.5f;
            }
            else if (child->anchorRight && !child->anchorLeft)
            {
                child->rect.x += dx;
            }
            else if (child->anchorLeft && child->anchorRight)
            {
                child->_moveChildrenX(dx);
                child->rect.w = w + dx;
                child->notifyEvent("Resized", nullptr);
                if (w != 0.0f)
                {
                    child->center.x *= (w + dx) / w;
                }
                if (child->retainAnchorAspect)
                {
                    child->_moveChildrenY(s);
                    child->rect.h = h + s;
                    child->notifyEvent("Resized", nullptr);
                    if (child->anchorTop == child->anchorBottom)
                    {
                        child->rect.y -= s * 0.5f;
                    }
                    else if (child->anchorBottom)
                    {
                        child->rect.y -= s;
                    }
                    if (h != 0.0f)
                    {
                        child->center.y *= (h + s) / h;
                    }
                }
            }
        }
    }

    void Object::_moveChildrenY(float dy)
    {
        if (std::fabs(dy) < 0.01f)
        {
            return;
        }
        const quortypes::CountedUnderWay walk(layoutDepth);
        for (Object* child : children)
        {
            float w = child->rect.w;
            float h = child->rect.h;
            float s = aspectChange(w, dy, h);
            if (!child->anchorTop && !child->anchorBottom)
            {
                child->rect.y += dy * 0.5f;
            }
            else if (child->anchorBottom && !child->anchorTop)
            {
                child->rect.y += dy;
            }
            else if (child->anchorTop && child->anchorBottom)
            {
                child->setHeight(h + dy);
                if (h != 0.0f)
                {
                    child->center.y *= (h + dy) / h;
                }
                if (child->retainAnchorAspect)
                {
                    child->_moveChildrenX(s);
                    child->rect.w = w + s;
                    child->notifyEvent("Resized", nullptr);
                    if (child->anchorLeft == child->anchorRight)
                    {
                        child->rect.x -= s * 0.5f;
                    }
                    else if (child->anchorRight)
                    {
                        child->rect.x -= s;
                    }
                    if (w != 0.0f)
                    {
                        child->center.x *= (w + s) / w;
                    }
                }
            }
        }
    }
} // namespace tesraui
