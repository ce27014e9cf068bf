#include "DraggableContainer.h"

#include <tesraui/tesraui.h>

#include "Session.h"
#include "GameUiHost.h"

tesraui::Object* DraggableContainer::createInstance(const hstring& name, kavtypes::Rectangle rect)
{
    return new DraggableContainer(name, rect);
}

harray<PropertyInfo> DraggableContainer::getPropertyDescriptions() const
{
    harray<PropertyInfo> result = {PropertyInfo("draggable", PropertyInfo::BOOL),
                                   PropertyInfo("new_x", PropertyInfo::FLOAT),
                                   PropertyInfo("new_y", PropertyInfo::FLOAT)};
    harray<PropertyInfo> base = tesraui::Container::getPropertyDescriptions();
    result.insert(result.end(), base.begin(), base.end());
    return result;
}

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
    this->triggerEvent("EndDrag", 0u, "");
}

void DraggableContainer::update(float timeDelta)
{
    const bool down = (getGameUiHost().isPointerDown() && !Session::isSceneLocked() && !Session::isPaused());
    if (down)
    {
        const kavtypes::Vector2 cursor = tesraui::getCursorPosition();
        if (!this->pointerWasDown && this->draggable && this->isPointInside(cursor) &&
            this->isUnderCursor(cursor))
        {
            this->dragging = true;
            this->triggerEvent("BeginDrag", 0u, "");
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

hstring DraggableContainer::getProperty(const hstring& name)
{
    if (name == "draggable")
    {
        return (this->draggable ? "1" : "0");
    }
    if (name == "new_x")
    {
        return hstring(this->newPosition.x);
    }
    if (name == "new_y")
    {
        return hstring(this->newPosition.y);
    }
    return tesraui::Container::getProperty(name);
}

bool DraggableContainer::setProperty(const hstring& name, const hstring& value)
{
    if (name == "draggable")
    {
        this->draggable = value.toBool();
        if (!this->draggable && this->dragging)
        {
            this->endDrag();
        }
        return true;
    }
    return tesraui::Container::setProperty(name, value);
}
