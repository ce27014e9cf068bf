#include <tesra/tesra.h>
#include <tesraparticle/SpaceObject.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    SpaceObject::SpaceObject(const hstring& name)
        : ActiveObject(name != "" ? name : tesra::generateName("SpaceObject"))
    {
    }

    harray<PropertyInfo> SpaceObject::getPropertyDescriptions() const
    {
        static const harray<PropertyInfo> own = {PropertyInfo("position", PropertyInfo::COLOR)};
        return ActiveObject::getPropertyDescriptions() + own;
    }

    bool SpaceObject::setProperty(const hstring& name, const hstring& value)
    {
        if (name == "position")
        {
            this->position = str_to_gvec3(value);
            return true;
        }
        return ActiveObject::setProperty(name, value);
    }
} // namespace tesraparticle
