#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Rotator.h>
#include <tesraparticle/tesraparticle.h>

#include "FiniteStep.h"
#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Rotator, Affector, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(Rotator, Affector, _properties)

        const PropertyTable<Rotator>& Rotator::_properties()
        {
            static const PropertyTable<Rotator> table = {
                {"rotation_speed", PropertyInfo::FLOAT, [](Rotator& r) { return hstring(r.rotationSpeed); },
                 [](Rotator& r, const hstring& value) { r.rotationSpeed = value.toFloat(); }},
            };
            return table;
        }

        void Rotator::update(Particle* particle, float timeDelta, kavtypes::Vector3&)
        {
            takeFiniteStep(particle->angle, particle->angle + rotationSpeed * _getRandom() * timeDelta);
        }

        bool Rotator::updatesRuns() const
        {
            return typeid(*this) == typeid(Rotator);
        }

        void Rotator::updateRun(Particle* first, int count, float timeDelta, kavtypes::Vector3* movements)
        {
            const float speed = rotationSpeed;
            forLiveParticles(
                first, count, movements,
                [&](Particle& particle, kavtypes::Vector3&)
                { takeFiniteStep(particle.angle, particle.angle + speed * _getRandom() * timeDelta); });
        }
    } // namespace Affectors
} // namespace tesraparticle
