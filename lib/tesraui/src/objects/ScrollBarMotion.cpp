#include <algorithm>
#include <cmath>

#include <tesraui/Container.h>
#include <tesraui/Image.h>
#include <tesraui/ImageButton.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBar.h>
#include <tesraui/tesraui.h>

using kavtypes::Vector2;

namespace tesraui
{
    static float sign(float value)
    {
        return value > 0.0f ? 1.0f : (value < 0.0f ? -1.0f : 0.0f);
    }

    static float whole(float value)
    {
        return std::floor(value + 0.5f);
    }

    static float along(Vector2 v, int axis)
    {
        return axis == 0 ? v.x : v.y;
    }

    static void setAlong(Vector2& v, int axis, float value)
    {
        (axis == 0 ? v.x : v.y) = value;
    }

    static void placeAlong(Object* object, int axis, float position)
    {
        axis == 0 ? object->setX(position) : object->setY(position);
    }

    static void sizeAlong(Object* object, int axis, float length)
    {
        axis == 0 ? object->setWidth(length) : object->setHeight(length);
    }

    void ScrollBar::scrollBack(float multiplier)
    {
        float step = std::max(std::fabs(gridSize), std::trunc(std::fabs(scrollDistance) * multiplier));
        addScrollValue(-step);
    }

    void ScrollBar::scrollForward(float multiplier)
    {
        float step = std::max(std::fabs(gridSize), std::trunc(std::fabs(scrollDistance) * multiplier));
        addScrollValue(step);
    }

    void ScrollBar::_resetAreaInertia()
    {
        ScrollArea* area = _getArea();
        if (area == nullptr)
        {
            return;
        }
        Vector2 start = area->getInertiaStartOffset();
        Vector2 time = area->getInertiaTime();
        for (int axis = 0; axis < 2; ++axis)
        {
            if (along(area->getDragSpeed(), axis) == 0.0f)
            {
                setAlong(start, axis, along(area->getScrollOffset(), axis));
                setAlong(time, axis, 0.0f);
            }
        }
        area->setInertiaStartOffset(start);
        area->setInertiaTime(time);
    }

    void ScrollBar::addScrollValue(float value)
    {
        ScrollArea* area = _getArea();
        if (area == nullptr)
        {
            return;
        }
        float a = area->getInertia();
        Vector2 offset = area->getScrollOffset();
        if (a <= 0.0f)
        {
            setAlong(offset, this->axis, along(offset, this->axis) + value);
            area->setScrollOffset(offset);
            _updateBar();
            return;
        }
        _resetAreaInertia();
        Vector2 speed = area->getDragSpeed();
        float s = along(speed, this->axis);
        if (s != 0.0f)
        {
            // What the running fling still has to go is added to this step.
            float stop = std::fabs(s) / a;
            float t = along(area->getInertiaTime(), this->axis);
            float remaining = sign(s) * a * stop * stop * 0.5f - (s * t - sign(s) * a * t * t * 0.5f);
            value -= whole(remaining);
            Vector2 start = area->getInertiaStartOffset();
            Vector2 time = area->getInertiaTime();
            setAlong(start, this->axis, along(offset, this->axis));
            setAlong(time, this->axis, 0.0f);
            area->setInertiaStartOffset(start);
            area->setInertiaTime(time);
        }
        else if (gridSize > 0.0f && std::fabs(value) < gridSize)
        {
            value = sign(value) * gridSize;
        }
        // The speed from which the deceleration stops after exactly value.
        setAlong(speed, this->axis, -sign(value) * std::sqrt(std::fabs(value) * a * 2.0f));
        area->setDragSpeed(speed);
        adjustDragSpeed();
        _updateBar();
    }

    void ScrollBar::adjustDragSpeed()
    {
        Container* container = _getContainer();
        ScrollArea* area = _getArea();
        float g = gridSize;
        if (area == nullptr || g <= 0.0f || area->getInertia() <= 0.0f)
        {
            return;
        }
        float a = area->getInertia();
        Vector2 speed = area->getDragSpeed();
        float s = along(speed, this->axis);
        float o = along(area->getInertiaStartOffset(), this->axis);
        float d = -sign(s) * s * s * 0.5f / a;
        float rem = o - g * whole(o / g);
        float n = whole(d / g);
        float w = 0.0f;
        if (along(container->getSize(), this->axis) > g)
        {
            w = whole(n * g - rem);
        }
        else if (rem == 0.0f)
        {
            w = sign(d) * g;
        }
        else if (std::fabs(rem) > std::fabs(d))
        {
            w = -rem;
        }
        else if (sign(d) == sign(rem))
        {
            w = (g - std::fabs(rem)) * sign(d);
        }
        else
        {
            w = -rem;
        }
        setAlong(speed, this->axis, -sign(w) * std::sqrt(std::fabs(w) * a * 2.0f));
        area->setDragSpeed(speed);
    }

    void ScrollBar::_updateBar()
    {
        ImageButton* slider = getButtonSlider();
        ImageButton* track = getButtonBackground();
        Container* container = _getContainer();
        ScrollArea* area = _getArea();
        if (slider == nullptr || track == nullptr || area == nullptr)
        {
            return;
        }
        float t = along(track->getPosition(), this->axis);
        float tl = along(track->getSize(), this->axis);
        float aw = along(area->getSize(), this->axis);
        float range = aw - along(container->getSize(), this->axis);
        float ratio = aw > 0.0f ? range / aw : 0.0f;
        float fraction = ratio > 0.0f ? along(area->getScrollOffset(), this->axis) / range : 0.0f;
        if (slider == buttonSlider)
        {
            float sl = along(slider->getSize(), this->axis);
            placeAlong(slider, this->axis, whole(t + (tl - sl) * (ratio > 0.0f ? fraction : 0.5f)));
            return;
        }
        Image* image = slider->getImage();
        float imageLength = image != nullptr
                                ? along(image->getSourceRect().getSize(), this->axis) * getDefaultScale()
                                : along(slider->getSize(), this->axis);
        if (ratio > 0.0f)
        {
            float length =
                useStretchedSlider ? std::max(8.0f, std::min((1.0f - ratio) * tl, tl)) : imageLength;
            sizeAlong(slider, this->axis, length);
            placeAlong(slider, this->axis, whole(t + (tl - length) * fraction));
        }
        else
        {
            sizeAlong(slider, this->axis, useStretchedSlider ? tl : imageLength);
            placeAlong(slider, this->axis, t);
        }
    }

    void ScrollBar::_moveScrollBar(float x, float y)
    {
        ImageButton* slider = getButtonSlider();
        ImageButton* track = getButtonBackground();
        Container* container = _getContainer();
        ScrollArea* area = _getArea();
        if (slider == nullptr || track == nullptr || area == nullptr)
        {
            return;
        }
        // A slider that fills its track has nowhere to go.
        float free = along(track->getSize(), this->axis) - along(slider->getSize(), this->axis);
        if (free <= 0.0f)
        {
            return;
        }
        float range = along(area->getSize(), this->axis) - along(container->getSize(), this->axis);
        Vector2 offset = area->getScrollOffset();
        setAlong(offset, this->axis, whole(range * (this->axis == 0 ? x : y) / free));
        area->setScrollOffset(offset);
        _updateBar();
    }

    float ScrollBar::_calcScrollJump(float x, float y, float width, float height)
    {
        ScrollArea* area = _getArea();
        float length = (this->axis == 0 ? width : height);
        if (getButtonSlider() == nullptr || area == nullptr || length <= 0.0f)
        {
            return 0.0f;
        }
        float aw = along(area->getSize(), this->axis);
        float cw = along(_getContainer()->getSize(), this->axis);
        float offset = along(area->getScrollOffset(), this->axis);
        float clicked = (this->axis == 0 ? x : y) / length * aw;
        if (offset > clicked)
        {
            return -std::min(cw, offset);
        }
        return std::min(cw, aw - cw - offset);
    }

    float ScrollBar::_calcScrollMove(float x, float y)
    {
        return whole(scrollDistance * (this->axis == 0 ? x : y));
    }

    bool ScrollBar::_checkAreaSize()
    {
        ScrollArea* area = _getArea();
        if (area == nullptr)
        {
            return true;
        }
        return along(area->getSize(), this->axis) > along(_getContainer()->getSize(), this->axis);
    }

    kavtypes::Rectangle ScrollBar::_getBarDrawRect()
    {
        kavtypes::Rectangle rect = getDrawRect();
        ScrollArea* area = _getArea();
        if (area == nullptr || !_checkAreaSize())
        {
            return rect;
        }
        float aw = along(area->getSize(), this->axis);
        float cw = along(_getContainer()->getSize(), this->axis);
        float length = (this->axis == 0 ? rect.w : rect.h);
        float shift = std::trunc(along(area->getScrollOffset(), this->axis) / aw * length);
        float shown = std::max(8.0f, std::min(cw / aw * length, length));
        (this->axis == 0 ? rect.x : rect.y) += shift;
        (this->axis == 0 ? rect.w : rect.h) = shown;
        return rect;
    }

    void ScrollBar::_updateChildren()
    {
        ImageButton* background = skinButtonBackground;
        ImageButton* slider = skinButtonSlider;
        ImageButton* forward = skinButtonForward;
        ImageButton* backward = skinButtonBackward;
        float backwardLength = backward != nullptr ? along(backward->getSize(), this->axis) : 0.0f;
        float forwardLength = forward != nullptr ? along(forward->getSize(), this->axis) : 0.0f;
        float length = along(getSize(), this->axis);
        bool horizontal = (this->axis == 0);
        if (background != nullptr)
        {
            placeAlong(background, this->axis, backwardLength);
            Vector2 size = getSize();
            setAlong(size, this->axis, length - backwardLength - forwardLength);
            background->setSize(size);
            horizontal ? (background->setAnchorLeft(true), background->setAnchorRight(true))
                       : (background->setAnchorTop(true), background->setAnchorBottom(true));
        }
        // The slider and the backward arrow keep to the start, the forward arrow to the end.
        for (ImageButton* start : {slider, backward})
        {
            if (start != nullptr)
            {
                horizontal ? (start->setAnchorLeft(true), start->setAnchorRight(false))
                           : (start->setAnchorTop(true), start->setAnchorBottom(false));
            }
        }
        if (forward != nullptr)
        {
            placeAlong(forward, this->axis, length - forwardLength);
            horizontal ? (forward->setAnchorLeft(false), forward->setAnchorRight(true))
                       : (forward->setAnchorTop(false), forward->setAnchorBottom(true));
        }
    }
} // namespace tesraui
