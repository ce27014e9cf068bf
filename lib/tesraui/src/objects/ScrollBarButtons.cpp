#include <tesraui/EventArgs.h>
#include <tesraui/ScrollBarButtons.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    static ScrollBar* barOf(EventArgs* args)
    {
        return dynamic_cast<ScrollBar*>(args->object->getParent());
    }

    static void onTrackClick(EventArgs* args)
    {
        ScrollBar* bar = barOf(args);
        if (bar != nullptr)
        {
            Object* track = args->object;
            kavtypes::Vector2 point = track->transformToLocalSpace(getCursorPosition());
            bar->addScrollValue(
                bar->_calcScrollJump(point.x, point.y, track->getWidth(), track->getHeight()));
        }
    }

    static void onSliderDown(EventArgs* args)
    {
        ScrollBar* bar = barOf(args);
        Object* track = (bar != nullptr ? bar->getButtonBackground() : nullptr);
        if (track != nullptr)
        {
            Object* slider = args->object;
            kavtypes::Vector2 point = slider->transformToLocalSpace(getCursorPosition());
            point = slider->getDerivedPoint(point, bar) - slider->getPosition() + track->getPosition();
            bar->_setGrabOffset(track->transformToLocalSpace(point, bar));
        }
    }

    static void onSliderClick(EventArgs* args)
    {
        ScrollBar* bar = barOf(args);
        if (bar != nullptr)
        {
            bar->_resetAreaInertia();
            bar->adjustDragSpeed();
        }
    }

    static void onForwardClick(EventArgs* args)
    {
        ScrollBar* bar = barOf(args);
        if (bar != nullptr)
        {
            bar->scrollForward(1.0f);
        }
    }

    static void onBackwardClick(EventArgs* args)
    {
        ScrollBar* bar = barOf(args);
        if (bar != nullptr)
        {
            bar->scrollBack(1.0f);
        }
    }

    ScrollBarButtonBackground::ScrollBarButtonBackground(const hstring& name, kavtypes::Rectangle rect)
        : ScrollBarButton(name, rect)
    {
        registerEvent("Click", &onTrackClick);
    }

    Object* ScrollBarButtonBackground::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ScrollBarButtonBackground(name, rect);
    }

    ScrollBarButtonSlider::ScrollBarButtonSlider(const hstring& name, kavtypes::Rectangle rect)
        : ScrollBarButton(name, rect)
    {
        registerEvent("MouseDown", &onSliderDown);
        registerEvent("Click", &onSliderClick);
    }

    Object* ScrollBarButtonSlider::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ScrollBarButtonSlider(name, rect);
    }

    ScrollBarButtonForward::ScrollBarButtonForward(const hstring& name, kavtypes::Rectangle rect)
        : ScrollBarButton(name, rect)
    {
        registerEvent("Click", &onForwardClick);
    }

    Object* ScrollBarButtonForward::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ScrollBarButtonForward(name, rect);
    }

    ScrollBarButtonBackward::ScrollBarButtonBackward(const hstring& name, kavtypes::Rectangle rect)
        : ScrollBarButton(name, rect)
    {
        registerEvent("Click", &onBackwardClick);
    }

    Object* ScrollBarButtonBackward::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ScrollBarButtonBackward(name, rect);
    }
} // namespace tesraui
