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
        if (Object::onMouseDown(keyCode))
        {
            return true;
        }
        // A refused press (invisible, disabled, click-through) must not fire when handed to a root.
        if (this->_acceptsClicks() && this->isCursorInside())
        {
            this->triggerEvent("MouseDown", keyCode);
            return true;
        }
        return false;
    }

    bool ColoredQuad::onMouseUp(unsigned int keyCode)
    {
        if (Object::onMouseUp(keyCode))
        {
            return true;
        }
        if (this->_acceptsClicks() && this->isCursorInside())
        {
            this->triggerEvent("Click", keyCode);
            return true;
        }
        return false;
    }

    void ColoredQuad::_draw()
    {
        tesra::rendersys->drawFilledRect(this->getDrawRect(), this->getDerivedColor());
    }
} // namespace tesraui
