#pragma once

#include <tesraui/ScrollBar.h>

namespace tesraui
{
    class ScrollBarH : public ScrollBar
    {
    public:
        ScrollBarH(const hstring& name, kavtypes::Rectangle rect);
        ~ScrollBarH() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "ScrollBarH"; }
        hstring getSkinNameBackground() const override { return "h_background"; }
        hstring getSkinNameSliderNormal() const override { return "h_slider_normal"; }
        hstring getSkinNameSliderHover() const override { return "h_slider_hover"; }
        hstring getSkinNameSliderPushed() const override { return "h_slider_pushed"; }
        hstring getSkinNameForwardNormal() const override { return "right_normal"; }
        hstring getSkinNameForwardHover() const override { return "right_hover"; }
        hstring getSkinNameForwardPushed() const override { return "right_pushed"; }
        hstring getSkinNameBackwardNormal() const override { return "left_normal"; }
        hstring getSkinNameBackwardHover() const override { return "left_hover"; }
        hstring getSkinNameBackwardPushed() const override { return "left_pushed"; }

    protected:
        void _linkContainer(Container* container, bool attach) override;
    };
} // namespace tesraui
