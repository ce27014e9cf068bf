#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Rotator.h>
#include <tesraparticle/tesraparticle.h>

#include "LiveParticles.h"

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
            particle->angle += rotationSpeed * _getRandom() * timeDelta;
        }

        bool Rotator::updatesRuns() const
        {
            return typeid(*this) == typeid(Rotator);
        }

        void Rotator::updateRun(Particle* first, int count, float timeDelta, kavtypes::Vector3* movements)
        {
            const float speed = rotationSpeed;
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3&)
                             { particle.angle += speed * _getRandom() * timeDelta; });
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
