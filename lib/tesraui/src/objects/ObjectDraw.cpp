#include <tesraui/Object.h>

namespace tesraui
{
    kavtypes::Rectangle Object::getDrawRect() const
    {
        return kavtypes::Rectangle(-this->center.x, -this->center.y, this->rect.w, this->rect.h);
    }

    void Object::_drawDebug() {}
} // namespace tesraui
