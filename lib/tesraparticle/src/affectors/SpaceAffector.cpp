#include <tesraparticle/Space.h>
#include <tesraparticle/affectors/SpaceAffector.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> Space::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("position", PropertyInfo::COLOR),
                                                     PropertyInfo("radius", PropertyInfo::FLOAT)};
            return Affector::getPropertyDescriptions() + own;
        }

        hstring Space::getProperty(const hstring& name)
        {
            if (name == "position")
                return gvec3_to_str(this->position);
            if (name == "radius")
                return hstring(this->radius);
            return Affector::getProperty(name);
        }

        bool Space::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "position")
                this->position = str_to_gvec3(value);
            else if (name == "radius")
                this->radius = value.toFloat();
            else
                return Affector::setProperty(name, value);
            return true;
        }

        kavtypes::Vector3 Space::_getCenter() const
        {
            return this->space != nullptr ? this->position + this->space->getPosition() : this->position;
        }
    } // namespace Affectors
} // namespace tesraparticle
