#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Rotator.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> Rotator::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("rotation_speed", PropertyInfo::FLOAT)};
            return Affector::getPropertyDescriptions() + own;
        }

        void Rotator::update(Particle* particle, float timeDelta, kavtypes::Vector3&)
        {
            particle->angle += this->rotationSpeed * this->_getRandom() * timeDelta;
        }

        hstring Rotator::getProperty(const hstring& name)
        {
            if (name == "rotation_speed")
                return hstring(this->rotationSpeed);
            return Affector::getProperty(name);
        }

        bool Rotator::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "rotation_speed")
                this->rotationSpeed = value.toFloat();
            else
                return Affector::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
