#include <algorithm>
#include <cmath>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarH.h>
#include <tesraui/ScrollBarV.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    ScrollArea::ScrollArea(const hstring& name, kavtypes::Rectangle rect) : Object(name, rect), ButtonBase()
    {
        clip = true;
    }

    ScrollArea::~ScrollArea()
    {
        Container* container = dynamic_cast<Container*>(parent);
        if (container != nullptr && container->_getScrollArea() == this)
        {
            container->_setScrollArea(nullptr);
        }
    }

    Object* ScrollArea::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ScrollArea(name, rect);
    }

    const PropertyTable<ScrollArea>& ScrollArea::_properties()
    {
        using Table = PropertyTable<ScrollArea>;
        static const Table table = {
            Table::flagRow("allow_drag", &ScrollArea::allowDrag),
            Table::floatRow("inertia", &ScrollArea::inertia),
            Table::floatRow("drag_threshold", &ScrollArea::dragThreshold),
            Table::floatRow("drag_max_speed", &ScrollArea::dragMaxSpeed),
            Table::flagRow("swap_scroll_wheels", &ScrollArea::swapScrollWheels),
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ScrollArea, Object, _properties)

    // The button part answers first, then the object.
    QUORTYPES_PROPERTY_TABLE_GET_SET_TWO_BASES(ScrollArea, ButtonBase, Object, _properties)

    void ScrollArea::notifyEvent(const hstring& type, void* args)
    {
        Object::notifyEvent(type, args);
        Container* container = dynamic_cast<Container*>(parent);
        if (type == "AttachToObject")
        {
            if (container != nullptr)
            {
                container->_setScrollArea(this);
            }
        }
        else if (type == "DetachFromObject")
        {
            if (container != nullptr && container->_getScrollArea() == this)
            {
                container->_setScrollArea(nullptr);
            }
        }
        else if (type == "Resized")
        {
            setScrollOffset(getScrollOffsetX(), getScrollOffsetY());
        }
    }

    // The position on one axis for an offset, kept between the container's far edge and its origin.
    static float clampedPosition(float offset, float parentSize, float size, bool clamp)
    {
        float position = -offset;
        if (clamp)
        {
            float lower = std::min(parentSize - size, 0.0f);
            position = position < lower ? lower : (position > 0.0f ? 0.0f : position);
        }
        return position;
    }

    void ScrollArea::setScrollOffset(float x, float y)
    {
        bool clamp = (parent != nullptr);
        kavtypes::Vector2 parentSize = clamp ? parent->getSize() : kavtypes::Vector2();
        if (!std::isnan(x))
        {
            this->rect.x = clampedPosition(x, parentSize.x, this->rect.w, clamp);
        }
        if (!std::isnan(y))
        {
            this->rect.y = clampedPosition(y, parentSize.y, this->rect.h, clamp);
        }
    }

    void ScrollArea::snapScrollOffset()
    {
        setScrollOffset(std::floor(getScrollOffsetX() + 0.5f), std::floor(getScrollOffsetY() + 0.5f));
    }

    bool ScrollArea::isScrollable() const
    {
        Container* container = dynamic_cast<Container*>(parent);
        return container != nullptr &&
               (this->rect.w > container->getWidth() || this->rect.h > container->getHeight());
    }

    bool ScrollArea::isScrolling() const
    {
        return !pushed && (dragSpeed.x != 0.0f || dragSpeed.y != 0.0f);
    }

    void ScrollArea::stopScrolling()
    {
        dragging = false;
        pushed = false;
        dragSpeed.set(0.0f, 0.0f);
    }

    void ScrollArea::_adjustDragSpeed()
    {
        inertiaStartOffset = getScrollOffset();
        inertiaTime.set(0.0f, 0.0f);
        Container* container = dynamic_cast<Container*>(parent);
        if (container != nullptr)
        {
            if (container->_getScrollBarH() != nullptr)
            {
                container->_getScrollBarH()->adjustDragSpeed();
            }
            if (container->_getScrollBarV() != nullptr)
            {
                container->_getScrollBarV()->adjustDragSpeed();
            }
        }
    }

    bool ScrollArea::_checkHover()
    {
        return dragging ? isCursorInside() : ButtonBase::_checkHover();
    }

    void ScrollArea::_cancelChildren(unsigned int keyCode)
    {
        harray<Object*> children = this->children;
        for (Object* child : children)
        {
            // A cancel handler may have removed a later child.
            if (std::find(this->children.begin(), this->children.end(), child) != this->children.end())
            {
                child->onMouseCancel(keyCode);
            }
        }
    }

    bool ScrollArea::onMouseDown(unsigned int keyCode)
    {
        if (allowDrag)
        {
            // Whatever child lies under the pointer, a press inside pushes the area.
            dragging = true;
            bool pushedNow = ButtonBase::onMouseDown(keyCode);
            dragging = false;
            if (pushedNow)
            {
                clickPosition = getCursorPosition();
            }
        }
        return Object::onMouseDown(keyCode);
    }

    bool ScrollArea::onMouseUp(unsigned int keyCode)
    {
        // Every release passes through here; only the end of the area's own press aims its fling. Any
        // other would restart a running fling from where it is, or pull a row resting between grid steps
        // onto the grid.
        if (allowDrag && pushed)
        {
            dragging = false;
            _adjustDragSpeed();
            if (ButtonBase::onMouseUp(keyCode))
            {
                // The children do not see this release: a press on one of them must not stay pending.
                _cancelChildren(keyCode);
                return true;
            }
        }
        return Object::onMouseUp(keyCode);
    }

    bool ScrollArea::onMouseMove()
    {
        if (Object::onMouseMove())
        {
            return true;
        }
        if (allowDrag)
        {
            ButtonBase::onMouseMove();
        }
        return false;
    }

    void ScrollArea::_draw()
    {
        if (isDebugEnabled())
        {
            kavtypes::Rectangle area = getDrawRect();
            tesra::rendersys->drawFilledRect(area, tesra::Color(0, 255, 0, 32));
            tesra::rendersys->drawRect(area, tesra::Color(255, 255, 0, 64));
        }
    }
} // namespace tesraui
