#include <cmath>

#include <tesraui/Object.h>

namespace tesraui
{
    void Object::setRect(kavtypes::Rectangle value)
    {
        this->_moveChildrenX(value.w - this->rect.w);
        this->_moveChildrenY(value.h - this->rect.h);
        this->rect = value;
        this->notifyEvent("Resized", nullptr);
    }

    void Object::setPosition(float x, float y)
    {
        this->rect.x = x;
        this->rect.y = y;
    }

    void Object::setSize(float w, float h)
    {
        this->_moveChildrenX(w - this->rect.w);
        this->_moveChildrenY(h - this->rect.h);
        this->rect.w = w;
        this->rect.h = h;
        this->notifyEvent("Resized", nullptr);
    }

    void Object::setWidth(float value)
    {
        this->_moveChildrenX(value - this->rect.w);
        this->rect.w = value;
        this->notifyEvent("Resized", nullptr);
    }

    void Object::setHeight(float value)
    {
        this->_moveChildrenY(value - this->rect.h);
        this->rect.h = value;
        this->notifyEvent("Resized", nullptr);
    }

    void Object::resetCenter()
    {
        this->center.set(this->rect.w * 0.5f, this->rect.h * 0.5f);
    }

    void Object::setEnabled(bool value)
    {
        if (this->enabled != value)
        {
            this->enabled = value;
            this->notifyEvent("OnEnableChanged", nullptr);
        }
    }

    void Object::setAnchors(bool left, bool right, bool top, bool bottom)
    {
        this->anchorLeft = left;
        this->anchorRight = right;
        this->anchorTop = top;
        this->anchorBottom = bottom;
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
        for (Object* child : this->children)
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
        for (Object* child : this->children)
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
