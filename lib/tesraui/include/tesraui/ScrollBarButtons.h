#pragma once

#include <tesraui/ImageButton.h>
#include <tesraui/ScrollBar.h>

namespace tesraui
{
    // The parts of a scroll bar. Each acts on the bar that is its parent and does nothing elsewhere;
    // placed into a bar by hand, it replaces the bar's skinned button of its kind.
    template <ScrollBar::ButtonKind Kind> class ScrollBarButton : public ImageButton
    {
    public:
        ScrollBarButton(const hstring& name, kavtypes::Rectangle rect) : ImageButton(name, rect) {}
        // Clears the bar's link to it.
        ~ScrollBarButton() override
        {
            ScrollBar* bar = dynamic_cast<ScrollBar*>(parent);
            if (bar != nullptr)
            {
                bar->_forgetButton(this);
            }
        }

        void notifyEvent(const hstring& type, void* args) override
        {
            ImageBox::notifyEvent(type, args);
            ScrollBar* bar = dynamic_cast<ScrollBar*>(parent);
            if (bar == nullptr)
            {
                return;
            }
            if (type == "AttachToObject")
            {
                bar->_setManualButton(Kind, this);
            }
            else if (type == "DetachFromObject" && bar->getManualButton(Kind) == this)
            {
                bar->_setManualButton(Kind, nullptr);
            }
        }
    };

    // The track: a click jumps one container length towards it.
    class ScrollBarButtonBackground : public ScrollBarButton<ScrollBar::BACKGROUND>
    {
    public:
        ScrollBarButtonBackground(const hstring& name, kavtypes::Rectangle rect);
        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "ScrollBarButtonBackground"; }
    };

    // The thumb: dragged, it moves the area; released, a grid bar lets the area glide onto a cell.
    class ScrollBarButtonSlider : public ScrollBarButton<ScrollBar::SLIDER>
    {
    public:
        ScrollBarButtonSlider(const hstring& name, kavtypes::Rectangle rect);
        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "ScrollBarButtonSlider"; }
    };

    class ScrollBarButtonForward : public ScrollBarButton<ScrollBar::FORWARD>
    {
    public:
        ScrollBarButtonForward(const hstring& name, kavtypes::Rectangle rect);
        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "ScrollBarButtonForward"; }
    };

    class ScrollBarButtonBackward : public ScrollBarButton<ScrollBar::BACKWARD>
    {
    public:
        ScrollBarButtonBackward(const hstring& name, kavtypes::Rectangle rect);
        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);
        hstring getClassName() const override { return "ScrollBarButtonBackward"; }
    };
} // namespace tesraui
