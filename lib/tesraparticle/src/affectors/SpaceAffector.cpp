#include <tesraparticle/Space.h>
#include <tesraparticle/affectors/SpaceAffector.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Space, Affector, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(Space, Affector, _properties)

        const PropertyTable<Space>& Space::_properties()
        {
            static const PropertyTable<Space> table = {
                {"position", PropertyInfo::COLOR, [](Space& s) { return gvec3_to_str(s.position); },
                 [](Space& s, const hstring& value) { s.position = str_to_gvec3(value); }},
                {"radius", PropertyInfo::FLOAT, [](Space& s) { return hstring(s.radius); },
                 [](Space& s, const hstring& value) { s.radius = value.toFloat(); }},
            };
            return table;
        }

        kavtypes::Vector3 Space::_getCenter() const
        {
            return this->space != nullptr ? this->position + this->space->getPosition() : this->position;
        }
    } // namespace Affectors
} // namespace tesraparticle
