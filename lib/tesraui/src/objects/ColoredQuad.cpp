#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/ColoredQuad.h>

namespace tesraui
{
    ColoredQuad::ColoredQuad(const hstring& name, kavtypes::Rectangle rect) : Object(name, rect) {}

    ColoredQuad::~ColoredQuad() {}

    Object* ColoredQuad::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new ColoredQuad(name, rect);
    }

    bool ColoredQuad::onMouseDown(unsigned int keyCode)
    {
        return Object::onMouseDown(keyCode) || _triggerClickEvent("MouseDown", keyCode);
    }

    bool ColoredQuad::onMouseUp(unsigned int keyCode)
    {
        return Object::onMouseUp(keyCode) || _triggerClickEvent("Click", keyCode);
    }

    void ColoredQuad::_draw()
    {
        tesra::rendersys->drawFilledRect(getDrawRect(), getDerivedColor());
    }
} // namespace tesraui
