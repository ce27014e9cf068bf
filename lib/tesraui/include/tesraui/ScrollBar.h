#pragma once

#include <tesraui/Object.h>

namespace tesraui
{
    class Container;
    class ImageButton;
    class ScrollArea;

    // Shows and moves the offset of the scroll area in the same container along one axis. With a skin it
    // builds a track, a slider and two arrows as child buttons; without one it draws a fading indicator.
    // A button of one of the four kinds placed into the bar by hand replaces the skinned one of its kind.
    class ScrollBar : public Object
    {
    public:
        enum ButtonKind
        {
            BACKGROUND = 0,
            SLIDER = 1,
            FORWARD = 2,
            BACKWARD = 3
        };

        // One arrow click or wheel notch.
        static const float scrollDistance;

        ScrollBar(const hstring& name, kavtypes::Rectangle rect);
        ~ScrollBar() override;

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "ScrollBar"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool onMouseMove() override;
        bool onMouseScroll(float x, float y) override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;

        // Moves the area by value offset units: at once without inertia, else as a fling that stops
        // exactly there (on top of what a running fling still has to go).
        virtual void addScrollValue(float value);
        virtual hstring getSkinNameBackground() const = 0;
        virtual hstring getSkinNameSliderNormal() const = 0;
        virtual hstring getSkinNameSliderHover() const = 0;
        virtual hstring getSkinNameSliderPushed() const = 0;
        virtual hstring getSkinNameForwardNormal() const = 0;
        virtual hstring getSkinNameForwardHover() const = 0;
        virtual hstring getSkinNameForwardPushed() const = 0;
        virtual hstring getSkinNameBackwardNormal() const = 0;
        virtual hstring getSkinNameBackwardHover() const = 0;
        virtual hstring getSkinNameBackwardPushed() const = 0;
        virtual kavtypes::Rectangle _getBarDrawRect();
        // One container length back or forward from a click on the track, never past either end.
        virtual float _calcScrollJump(float x, float y, float width, float height);
        virtual float _calcScrollMove(float x, float y);
        virtual void _updateChildren();
        // The area follows a slider dragged to (x, y) in the track's space.
        virtual void _moveScrollBar(float x, float y);
        // The slider follows the area.
        virtual void _updateBar();
        // Re-aims the area's fling so that it comes to rest on the grid.
        virtual void adjustDragSpeed();
        // Whether the area is longer than the container along the axis; true without either.
        virtual bool _checkAreaSize();

        const hstring& getSkin() const { return skin; }
        float getGridSize() const { return gridSize; }
        void setGridSize(float value) { gridSize = value; }
        bool isUseFading() const { return useFading; }
        void setUseFading(bool value) { useFading = value; }
        bool isHeightHide() const { return heightHide; }
        void setHeightHide(bool value) { heightHide = value; }
        bool isUseStretchedSlider() const { return useStretchedSlider; }
        void setUseStretchedSlider(bool value) { useStretchedSlider = value; }
        float getFadeTimer() const { return fadeTimer; }

        // The manual button of that kind when set, else the skinned one; either may be null.
        ImageButton* getButtonBackground() const;
        ImageButton* getButtonSlider() const;
        ImageButton* getButton(ButtonKind kind) const;
        ImageButton* getManualButton(ButtonKind kind) const { return _manual(kind); }
        ImageButton* getSkinButton(ButtonKind kind) const { return _skinned(kind); }
        // Called by the buttons as they attach and detach: the bar's own skinned button is never taken as
        // a manual one, and the skinned button shows exactly while no manual one of its kind is set.
        void _setManualButton(ButtonKind kind, ImageButton* button);
        // Forgets a button that is going away, whichever link holds it.
        void _forgetButton(ImageButton* button);

        void scrollBack(float multiplier);
        void scrollForward(float multiplier);
        // Where the slider was grabbed, in the track's units.
        kavtypes::Vector2 getGrabOffset() const { return grabOffset; }
        void _setGrabOffset(kavtypes::Vector2 value) { grabOffset = value; }
        // Lets a fling stopped on one axis start from where the area is now.
        void _resetAreaInertia();

    protected:
        // 0 for x, 1 for y; the subclass chooses.
        int axis = 0;
        hstring skin;
        float gridSize = 0.0f;
        bool useFading = true;
        bool heightHide = true;
        bool useStretchedSlider = true;
        float fadeTimer = 0.0f;
        ImageButton* buttonBackground = nullptr;
        ImageButton* buttonSlider = nullptr;
        ImageButton* buttonForward = nullptr;
        ImageButton* buttonBackward = nullptr;
        ImageButton* skinButtonBackground = nullptr;
        ImageButton* skinButtonSlider = nullptr;
        ImageButton* skinButtonForward = nullptr;
        ImageButton* skinButtonBackward = nullptr;
        kavtypes::Vector2 grabOffset;

        ImageButton*& _manual(ButtonKind kind);
        ImageButton* _manual(ButtonKind kind) const;
        ImageButton*& _skinned(ButtonKind kind);
        ImageButton* _skinned(ButtonKind kind) const;
        Container* _getContainer() const;
        ScrollArea* _getArea() const;
        void _applySkin();
        // The container's link to this bar, set or cleared.
        virtual void _linkContainer(Container* container, bool attach) = 0;

    private:
        static const PropertyTable<ScrollBar>& _properties();
    };
} // namespace tesraui
