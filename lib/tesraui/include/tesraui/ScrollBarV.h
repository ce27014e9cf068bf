#pragma once

#include <tesraui/ScrollBar.h>

namespace tesraui
{
    class ScrollBarV : public ScrollBar
    {
    public:
        ScrollBarV(const hstring& name, kavtypes::Rectangle rect);
        ~ScrollBarV() override;

        static Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "ScrollBarV"; }
        hstring getSkinNameBackground() const override { return "v_background"; }
        hstring getSkinNameSliderNormal() const override { return "v_slider_normal"; }
        hstring getSkinNameSliderHover() const override { return "v_slider_hover"; }
        hstring getSkinNameSliderPushed() const override { return "v_slider_pushed"; }
        hstring getSkinNameForwardNormal() const override { return "down_normal"; }
        hstring getSkinNameForwardHover() const override { return "down_hover"; }
        hstring getSkinNameForwardPushed() const override { return "down_pushed"; }
        hstring getSkinNameBackwardNormal() const override { return "up_normal"; }
        hstring getSkinNameBackwardHover() const override { return "up_hover"; }
        hstring getSkinNameBackwardPushed() const override { return "up_pushed"; }

    protected:
        void _linkContainer(Container* container, bool attach) override;
    };
} // namespace tesraui
