#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Container.h>
#include <tesraui/tesraui.h>

namespace tesraui
{
    Container::Container(const hstring& name, kavtypes::Rectangle rect) : Object(name, rect) {}

    Container::~Container() {}

    Object* Container::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new Container(name, rect);
    }

    void Container::_draw()
    {
        if (isDebugEnabled())
        {
            kavtypes::Rectangle area = getDrawRect();
            tesra::rendersys->drawFilledRect(area, tesra::Color(255, 0, 0, 32));
            tesra::rendersys->drawRect(area, tesra::Color(255, 255, 0, 64));
        }
    }
} // namespace tesraui
