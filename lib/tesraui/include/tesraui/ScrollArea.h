#pragma once

#include <tesraui/ButtonBase.h>
#include <tesraui/Object.h>

namespace tesraui
{
    // The moving content of a scrolling view, placed in a Container that acts as the viewport. Dragged
    // with the pointer (when allowed), flung with inertia after a release, and moved by the container's
    // scroll bars. The scroll offset is the negated position inside the container.
    class ScrollArea : public Object, public ButtonBase
    {
    public:
        ScrollArea(const hstring& name, kavtypes::Rectangle rect);
        // Clears the container's link to it.
        ~ScrollArea() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        // ButtonBase's view of the Object part.
        hstring getName() const override { return Object::getName(); }
        bool isCursorInside() override { return Object::isCursorInside(); }
        int getFocusIndex() const override { return Object::getFocusIndex(); }
        Object* getParent() const override { return Object::getParent(); }
        Dataset* getDataset() const override { return Object::getDataset(); }
        // A cancel leaves the drag alone, and controller buttons never drag.
        using Object::onMouseCancel;
        bool onButtonDown(int buttonCode) override { return Object::onButtonDown(buttonCode); }
        bool onButtonUp(int buttonCode) override { return Object::onButtonUp(buttonCode); }
        void _mouseCancel() override { Object::_mouseCancel(); }
        // While dragging, the pointer only has to be inside, whatever child lies under it.
        bool _checkHover() override;

        hstring getClassName() const override { return "ScrollArea"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void notifyEvent(const hstring& type, void* args) override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        bool onMouseMove() override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        bool isAllowDrag() const { return allowDrag; }
        void setAllowDrag(bool value) { allowDrag = value; }
        float getInertia() const { return inertia; }
        void setInertia(float value) { inertia = value; }
        float getDragThreshold() const { return dragThreshold; }
        void setDragThreshold(float value) { dragThreshold = value; }
        float getDragMaxSpeed() const { return dragMaxSpeed; }
        void setDragMaxSpeed(float value) { dragMaxSpeed = value; }
        bool isSwapScrollWheels() const { return swapScrollWheels; }
        void setSwapScrollWheels(bool value) { swapScrollWheels = value; }
        bool isDragging() const { return dragging; }
        kavtypes::Vector2 getDragSpeed() const { return dragSpeed; }
        void setDragSpeed(kavtypes::Vector2 value) { dragSpeed = value; }
        kavtypes::Vector2 getInertiaStartOffset() const { return inertiaStartOffset; }
        void setInertiaStartOffset(kavtypes::Vector2 value) { inertiaStartOffset = value; }
        kavtypes::Vector2 getInertiaTime() const { return inertiaTime; }
        void setInertiaTime(kavtypes::Vector2 value) { inertiaTime = value; }

        kavtypes::Vector2 getScrollOffset() const { return kavtypes::Vector2(-rect.x, -rect.y); }
        float getScrollOffsetX() const { return -rect.x; }
        float getScrollOffsetY() const { return -rect.y; }
        // Clamped per axis to the container; an offset that is not a number leaves that axis alone.
        void setScrollOffset(float x, float y);
        void setScrollOffset(kavtypes::Vector2 value) { setScrollOffset(value.x, value.y); }
        void setScrollOffsetX(float value) { setScrollOffset(value, getScrollOffsetY()); }
        void setScrollOffsetY(float value) { setScrollOffset(getScrollOffsetX(), value); }
        // Whole numbers, halves upward, then clamped.
        void snapScrollOffset();
        // In a container and larger than it on some axis.
        bool isScrollable() const;
        // Flinging: not pushed and moving on some axis.
        bool isScrolling() const;
        void stopScrolling();
        // The fling is measured from here on; the container's bars re-aim it for their grid.
        void _adjustDragSpeed();

    protected:
        bool allowDrag = false;
        float inertia = 2000.0f;
        float dragThreshold = 16.0f;
        float dragMaxSpeed = 0.0f;
        bool swapScrollWheels = false;
        bool dragging = false;
        kavtypes::Vector2 clickPosition;
        kavtypes::Vector2 lastCursorPosition;
        kavtypes::Vector2 clickScrollOffset;
        kavtypes::Vector2 inertiaStartOffset;
        kavtypes::Vector2 dragSpeed;
        kavtypes::Vector2 inertiaTime;

        // One frame of the drag; false when there is no drag.
        bool _updateDrag(float timeDelta);
        void _updateFling(float timeDelta);
        // Sends the children a cancel, so that a press on one of them ends without a click.
        void _cancelChildren(unsigned int keyCode);

    private:
        static const PropertyTable<ScrollArea>& _properties();
    };
} // namespace tesraui
