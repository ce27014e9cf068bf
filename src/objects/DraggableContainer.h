#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/PropertyTable.h>
#include <tesraui/Container.h>

namespace vumo
{
    // A container the player drags with the pointer by any of its visible children. With an "UpdatePosition"
    // handler it stays put and leaves the move to the script, which reads "new_x" and "new_y".
    class DraggableContainer : public tesraui::Container
    {
    public:
        DraggableContainer(const hstring& name, kavtypes::Rectangle rect) : tesraui::Container(name, rect) {}
        ~DraggableContainer() override = default;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        harray<PropertyInfo> getPropertyDescriptions() const override;
        // Only the children count; the container's own rectangle does not.
        bool isPointInside(kavtypes::Vector2 point) override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        bool isDragging() const { return this->dragging; }

    protected:
        bool draggable = true;
        bool dragging = false;
        bool pointerWasDown = false;
        kavtypes::Vector2 grabOffset;
        kavtypes::Vector2 newPosition;

        kavtypes::Vector2 cursorInParentSpace() const;
        bool isUnderCursor(kavtypes::Vector2 cursor);
        void endDrag();

    private:
        static const PropertyTable<DraggableContainer>& _properties();
    };
} // namespace vumo
