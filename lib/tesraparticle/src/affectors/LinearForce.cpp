#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/LinearForce.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> LinearForce::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("direction", PropertyInfo::COLOR)};
            return Affector::getPropertyDescriptions() + own;
        }

        void LinearForce::update(Particle* particle, float timeDelta, kavtypes::Vector3&)
        {
            particle->direction += this->direction * (this->_getRandom() * timeDelta);
        }

        hstring LinearForce::getProperty(const hstring& name)
        {
            if (name == "direction")
                return gvec3_to_str(this->direction);
            return Affector::getProperty(name);
        }

        bool LinearForce::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "direction")
                this->direction = str_to_gvec3(value);
            else
                return Affector::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
