#include <tesra/tesra.h>
#include <tesraparticle/SpaceObject.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    SpaceObject::SpaceObject(const hstring& name)
        : ActiveObject(name != "" ? name : tesra::generateName("SpaceObject"))
    {
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(SpaceObject, ActiveObject, _properties)
    QUORTYPES_PROPERTY_TABLE_SET(SpaceObject, ActiveObject, _properties)

    const PropertyTable<SpaceObject>& SpaceObject::_properties()
    {
        static const PropertyTable<SpaceObject> table = {
            {"position", PropertyInfo::COLOR, nullptr,
             [](SpaceObject& o, const hstring& value) { o.position = str_to_gvec3(value); }},
        };
        return table;
    }
} // namespace tesraparticle
