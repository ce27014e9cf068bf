#pragma once

#include <kavtypes/Vector2.h>
#include <orvalo/UpsellImageSliderBase.h>

namespace orvalo
{
    // One image at a time with an eased slide to the next; dragged with the pointer, with indicators below.
    class UpsellImageSliderStatic : public UpsellImageSliderBase
    {
    public:
        UpsellImageSliderStatic(const hstring& name, kavtypes::Rectangle rect);
        ~UpsellImageSliderStatic() override;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "UpsellImageSliderStatic"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        bool onMouseDown(unsigned int keyCode) override;
        bool onMouseUp(unsigned int keyCode) override;
        bool onMouseMove() override;
        void _mouseCancel() override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        bool _tryLoadImages() override;
        void _updateImages(float timeDelta) override;

        const harray<tesraui::ImageBox*>& getIndicatorBoxes() const { return this->indicatorBoxes; }
        int getDirection() const { return this->direction; }
        float getFling() const { return this->fling; }
        bool isDragging() const { return this->dragging; }

    protected:
        hstring indicatorActive;
        hstring indicatorInactive;
        float indicatorOffset = 8.0f;
        harray<tesraui::ImageBox*> indicatorBoxes;
        int direction = 1;
        float fling = 0.0f;
        float pressTime = 0.0f;
        kavtypes::Vector2 startPosition;
        kavtypes::Vector2 totalDrag;
        kavtypes::Vector2 lastPosition;
        kavtypes::Vector2 lastMove;
        bool dragging = false;

        void _setupImageBox(tesraui::ImageBox* box, int index) override;
        void _removeIndicators();
        kavtypes::Vector2 _localCursor() const;
        // The fling a release gives: the last move as a share of the width, in move time.
        float _releaseFling() const;

    private:
        static const PropertyTable<UpsellImageSliderStatic>& _properties();
    };
} // namespace orvalo
