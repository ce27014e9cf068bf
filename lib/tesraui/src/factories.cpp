#include <tesraui/CallbackObject.h>
#include <tesraui/ColoredQuad.h>
#include <tesraui/Container.h>
#include <tesraui/EditBox.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ImageButton.h>
#include <tesraui/Label.h>
#include <tesraui/ProgressBar.h>
#include <tesraui/ProgressCircle.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarButtons.h>
#include <tesraui/ScrollBarH.h>
#include <tesraui/ScrollBarV.h>
#include <tesraui/Slider.h>
#include <tesraui/TextImageButton.h>
#include <tesraui/ToggleButton.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    // The order is fixed: a second init fails at the first one, and later kinds join the list in place.
    void _registerFactories()
    {
        registerObjectFactory("CallbackObject", &CallbackObject::createInstance);
        registerObjectFactory("ColoredQuad", &ColoredQuad::createInstance);
        registerObjectFactory("Container", &Container::createInstance);
        registerObjectFactory("EditBox", &EditBox::createInstance);
        registerObjectFactory("ImageBox", &ImageBox::createInstance);
        registerObjectFactory("ImageButton", &ImageButton::createInstance);
        registerObjectFactory("Label", &Label::createInstance);
        registerObjectFactory("ProgressBar", &ProgressBar::createInstance);
        registerObjectFactory("ProgressCircle", &ProgressCircle::createInstance);
        registerObjectFactory("Slider", &Slider::createInstance);
        registerObjectFactory("ScrollArea", &ScrollArea::createInstance);
        registerObjectFactory("ScrollBarButtonBackground", &ScrollBarButtonBackground::createInstance);
        registerObjectFactory("ScrollBarButtonBackward", &ScrollBarButtonBackward::createInstance);
        registerObjectFactory("ScrollBarButtonForward", &ScrollBarButtonForward::createInstance);
        registerObjectFactory("ScrollBarButtonSlider", &ScrollBarButtonSlider::createInstance);
        registerObjectFactory("ScrollBarH", &ScrollBarH::createInstance);
        registerObjectFactory("ScrollBarV", &ScrollBarV::createInstance);
        registerObjectFactory("TextImageButton", &TextImageButton::createInstance);
        registerObjectFactory("ToggleButton", &ToggleButton::createInstance);
    }
} // namespace tesraui
