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
        if (this->allowDrag && this->parent != nullptr && this->_updateDrag(timeDelta))
        {
            return;
        }
        if (!this->dragging && this->inertia > 0.0f && !this->pushed &&
            (this->dragSpeed.x != 0.0f || this->dragSpeed.y != 0.0f))
        {
            this->_updateFling(timeDelta);
        }
        else
        {
            this->inertiaTime.set(0.0f, 0.0f);
            // Without inertia a released area rests at once; a speed kept here would read as a fling for
            // ever.
            if (this->inertia <= 0.0f && !this->pushed && !this->dragging)
            {
                this->dragSpeed.set(0.0f, 0.0f);
            }
        }
    }

    bool ScrollArea::_updateDrag(float timeDelta)
    {
        ButtonBase::update(timeDelta);
        kavtypes::Vector2 cursor = getCursorPosition();
        if (this->pushed && !this->dragging)
        {
            // A press on a flinging area catches it at once; otherwise the pointer must travel first.
            bool moving = (this->dragSpeed.x != 0.0f || this->dragSpeed.y != 0.0f);
            if (moving || std::fabs(cursor.x - this->clickPosition.x) >= this->dragThreshold ||
                std::fabs(cursor.y - this->clickPosition.y) >= this->dragThreshold)
            {
                this->dragging = true;
                this->clickScrollOffset = this->getScrollOffset();
                this->lastCursorPosition = cursor;
                this->_cancelChildren(1);
            }
            else
            {
                this->dragSpeed.set(0.0f, 0.0f);
                this->snapScrollOffset();
            }
        }
        else if (this->pushed && this->dragging)
        {
            this->dragSpeed.set(0.0f, 0.0f);
            this->snapScrollOffset();
        }
        if (!this->dragging)
        {
            return false;
        }
        kavtypes::Vector2 scale = this->getDerivedScale();
        kavtypes::Vector2 offset = this->getScrollOffset();
        // A vanished scale gives no way to map the pointer's travel: that axis stays.
        if (scale.x != 0.0f)
        {
            offset.x = this->clickScrollOffset.x + (this->clickPosition.x - cursor.x) / scale.x;
        }
        if (scale.y != 0.0f)
        {
            offset.y = this->clickScrollOffset.y + (this->clickPosition.y - cursor.y) / scale.y;
        }
        this->setScrollOffset(offset);
        // An unfocused window reports frames of no time; they carry no speed.
        if (timeDelta > 0.0f)
        {
            this->dragSpeed = (cursor - this->lastCursorPosition) / timeDelta;
            float length = this->dragSpeed.length();
            if (this->dragMaxSpeed > 0.0f && length > 0.0f && length > this->dragMaxSpeed)
            {
                this->dragSpeed *= this->dragMaxSpeed / length;
            }
        }
        this->lastCursorPosition = cursor;
        this->_adjustDragSpeed();
        return true;
    }

    void ScrollArea::_updateFling(float timeDelta)
    {
        // A frame of no time moves nothing, and must not read as the fling having come to rest.
        if (timeDelta <= 0.0f)
        {
            return;
        }
        this->inertiaTime += kavtypes::Vector2(timeDelta, timeDelta);
        float a = this->inertia;
        float* speeds[2] = {&this->dragSpeed.x, &this->dragSpeed.y};
        float* times[2] = {&this->inertiaTime.x, &this->inertiaTime.y};
        float* starts[2] = {&this->inertiaStartOffset.x, &this->inertiaStartOffset.y};
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
        kavtypes::Vector2 before = this->getScrollOffset();
        this->setScrollOffset(this->inertiaStartOffset.x - distances[0],
                              this->inertiaStartOffset.y - distances[1]);
        this->snapScrollOffset();
        kavtypes::Vector2 after = this->getScrollOffset();
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
