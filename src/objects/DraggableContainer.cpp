#include "DraggableContainer.h"

#include <tesraui/tesraui.h>

#include "Session.h"
#include "GameUiHost.h"

namespace vumo
{
    tesraui::Object* DraggableContainer::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new DraggableContainer(name, rect);
    }

    // "new_x" and "new_y" are where a drag would have put the container; scripts read them and move it.
    const PropertyTable<DraggableContainer>& DraggableContainer::_properties()
    {
        static const PropertyTable<DraggableContainer> table = {
            {"draggable", PropertyInfo::BOOL,
             [](DraggableContainer& container) { return hstring(container.draggable ? "1" : "0"); },
             [](DraggableContainer& container, const hstring& value)
             {
                 container.draggable = value.toBool();
                 if (!container.draggable && container.dragging)
                 {
                     container.endDrag();
                 }
             }},
            {"new_x", PropertyInfo::FLOAT,
             [](DraggableContainer& container) { return hstring(container.newPosition.x); }},
            {"new_y", PropertyInfo::FLOAT,
             [](DraggableContainer& container) { return hstring(container.newPosition.y); }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(DraggableContainer, tesraui::Container, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(DraggableContainer, tesraui::Container, _properties)

    bool DraggableContainer::isPointInside(kavtypes::Vector2 point)
    {
        for (tesraui::Object* child : this->children)
        {
            if (child->isVisible() && child->getAlpha() > 0 && !child->isClickThrough() &&
                child->isPointInside(point))
            {
                return true;
            }
        }
        return false;
    }

    kavtypes::Vector2 DraggableContainer::cursorInParentSpace() const
    {
        const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
        return (this->parent != nullptr ? this->parent->transformToLocalSpace(cursor) : cursor);
    }

    // Nothing else lies above the piece where the pointer is.
    bool DraggableContainer::isUnderCursor(kavtypes::Vector2 cursor)
    {
        tesraui::Object* root = getGameUiHost().getRootObject();
        if (root == nullptr)
        {
            return false;
        }
        tesraui::Object* found = root->getChildUnderPoint(cursor);
        return found != nullptr && (found == this || found->isDescendantOf(this));
    }

    void DraggableContainer::endDrag()
    {
        this->dragging = false;
        this->triggerEventInTurn("EndDrag", 0u, "");
    }

    void DraggableContainer::update(float timeDelta)
    {
        const bool down =
            (getGameUiHost().isPointerDown() && !Session::isSceneLocked() && !Session::isPaused());
        if (down)
        {
            const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
            if (!this->pointerWasDown && this->draggable && this->isPointInside(cursor) &&
                this->isUnderCursor(cursor))
            {
                this->dragging = true;
                this->triggerEventInTurn("BeginDrag", 0u, "");
                this->grabOffset = this->cursorInParentSpace() - this->getPosition();
            }
        }
        else if (this->pointerWasDown && this->dragging)
        {
            this->endDrag();
        }
        if (this->dragging)
        {
            const kavtypes::Vector2 wanted = this->cursorInParentSpace() - this->grabOffset;
            if (wanted.x != this->rect.x || wanted.y != this->rect.y)
            {
                this->newPosition = wanted;
                if (this->events.hasKey("UpdatePosition"))
                {
                    this->triggerEvent("UpdatePosition", 0u, "");
                }
                else
                {
                    this->setPosition(wanted);
                }
            }
        }
        this->pointerWasDown = down;
        tesraui::Container::update(timeDelta);
    }
} // namespace vumo
