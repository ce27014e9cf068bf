#include <tesraui/Container.h>

namespace tesraui
{
    Container::Container(const hstring& name, kavtypes::Rectangle rect) : Object(name, rect) {}

    Container::~Container() {}

    Object* Container::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new Container(name, rect);
    }

    void Container::_draw() {}
} // namespace tesraui
