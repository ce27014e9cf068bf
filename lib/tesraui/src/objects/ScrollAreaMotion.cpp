#include <cmath>

#include <tesraui/ScrollArea.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    static float sign(float value)
    {
        return value > 0.0f ? 1.0f : (value < 0.0f ? -1.0f : 0.0f);
    }

    void ScrollArea::update(float timeDelta)
    {
        Object::update(timeDelta);
        if (allowDrag && parent != nullptr && _updateDrag(timeDelta))
        {
            return;
        }
        if (!dragging && inertia > 0.0f && !pushed && (dragSpeed.x != 0.0f || dragSpeed.y != 0.0f))
        {
            _updateFling(timeDelta);
        }
        else
        {
            inertiaTime.set(0.0f, 0.0f);
            // Without inertia a released area rests at once; a speed kept here would read as a fling for
            // ever.
            if (inertia <= 0.0f && !pushed && !dragging)
            {
                dragSpeed.set(0.0f, 0.0f);
            }
        }
    }

    bool ScrollArea::_updateDrag(float timeDelta)
    {
        ButtonBase::update(timeDelta);
        kavtypes::Vector2 cursor = getCursorPosition();
        if (pushed && !dragging)
        {
            // A press on a flinging area catches it at once; otherwise the pointer must travel first.
            bool moving = (dragSpeed.x != 0.0f || dragSpeed.y != 0.0f);
            if (moving || std::fabs(cursor.x - clickPosition.x) >= dragThreshold ||
                std::fabs(cursor.y - clickPosition.y) >= dragThreshold)
            {
                dragging = true;
                clickScrollOffset = getScrollOffset();
                lastCursorPosition = cursor;
                _cancelChildren(1);
            }
            else
            {
                dragSpeed.set(0.0f, 0.0f);
                snapScrollOffset();
            }
        }
        else if (pushed && dragging)
        {
            dragSpeed.set(0.0f, 0.0f);
            snapScrollOffset();
        }
        if (!dragging)
        {
            return false;
        }
        kavtypes::Vector2 scale = getDerivedScale();
        kavtypes::Vector2 offset = getScrollOffset();
        // A vanished scale gives no way to map the pointer's travel: that axis stays.
        if (scale.x != 0.0f)
        {
            offset.x = clickScrollOffset.x + (clickPosition.x - cursor.x) / scale.x;
        }
        if (scale.y != 0.0f)
        {
            offset.y = clickScrollOffset.y + (clickPosition.y - cursor.y) / scale.y;
        }
        setScrollOffset(offset);
        // An unfocused window reports frames of no time; they carry no speed.
        if (timeDelta > 0.0f)
        {
            dragSpeed = (cursor - lastCursorPosition) / timeDelta;
            float length = dragSpeed.length();
            if (dragMaxSpeed > 0.0f && length > 0.0f && length > dragMaxSpeed)
            {
                dragSpeed *= dragMaxSpeed / length;
            }
        }
        lastCursorPosition = cursor;
        _adjustDragSpeed();
        return true;
    }

    void ScrollArea::_updateFling(float timeDelta)
    {
        // A frame of no time moves nothing, and must not read as the fling having come to rest.
        if (timeDelta <= 0.0f)
        {
            return;
        }
        inertiaTime += kavtypes::Vector2(timeDelta, timeDelta);
        float a = inertia;
        float* speeds[2] = {&dragSpeed.x, &dragSpeed.y};
        float* times[2] = {&inertiaTime.x, &inertiaTime.y};
        float* starts[2] = {&inertiaStartOffset.x, &inertiaStartOffset.y};
        float distances[2] = {0.0f, 0.0f};
        for (int axis = 0; axis < 2; ++axis)
        {
            float v = *speeds[axis];
            if (v == 0.0f)
            {
                continue;
            }
            float stop = std::fabs(v) / a;
            float t = *times[axis];
            if (stop > t)
            {
                distances[axis] = v * t - sign(v) * a * t * t * 0.5f;
            }
            else
            {
                *starts[axis] -= sign(v) * a * stop * stop * 0.5f;
                *speeds[axis] = 0.0f;
                *times[axis] = 0.0f;
            }
        }
        kavtypes::Vector2 before = getScrollOffset();
        setScrollOffset(inertiaStartOffset.x - distances[0], inertiaStartOffset.y - distances[1]);
        snapScrollOffset();
        kavtypes::Vector2 after = getScrollOffset();
        float befores[2] = {before.x, before.y};
        float afters[2] = {after.x, after.y};
        for (int axis = 0; axis < 2; ++axis)
        {
            // At a limit, or a step of less than half a unit: the fling ends on this axis.
            if (afters[axis] == befores[axis])
            {
                *starts[axis] = afters[axis];
                *speeds[axis] = 0.0f;
                *times[axis] = 0.0f;
            }
        }
    }
} // namespace tesraui
