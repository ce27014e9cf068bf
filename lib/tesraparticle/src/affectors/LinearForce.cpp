#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/LinearForce.h>
#include <tesraparticle/tesraparticle.h>

#include "FiniteStep.h"
#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        namespace
        {
            inline void push(Particle& particle, const kavtypes::Vector3& direction, float random,
                             float timeDelta)
            {
                takeFiniteStep(particle.direction, particle.direction + direction * (random * timeDelta));
            }
        } // namespace

        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(LinearForce, Affector, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(LinearForce, Affector, _properties)

        const PropertyTable<LinearForce>& LinearForce::_properties()
        {
            static const PropertyTable<LinearForce> table = {
                {"direction", PropertyInfo::COLOR, [](LinearForce& f) { return gvec3_to_str(f.direction); },
                 [](LinearForce& f, const hstring& value) { f.direction = str_to_gvec3(value); }},
            };
            return table;
        }

        void LinearForce::update(Particle* particle, float timeDelta, kavtypes::Vector3&)
        {
            push(*particle, direction, _getRandom(), timeDelta);
        }

        bool LinearForce::updatesRuns() const
        {
            return typeid(*this) == typeid(LinearForce);
        }

        void LinearForce::updateRun(Particle* first, int count, float timeDelta, kavtypes::Vector3* movements)
        {
            // Copies: stores into the particles could otherwise be the affector's own fields for all the
            // compiler knows, and it would read those again for every particle.
            const kavtypes::Vector3 force = direction;
            if (randomnessMin == randomnessMax)
            {
                // The same push for every particle: the same product, made once.
                const kavtypes::Vector3 step = force * (_getRandom() * timeDelta);
                forLiveParticles(first, count, movements,
                                 [&](Particle& particle, kavtypes::Vector3&)
                                 { takeFiniteStep(particle.direction, particle.direction + step); });
                return;
            }
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3&)
                             { push(particle, force, _getRandom(), timeDelta); });
        }
    } // namespace Affectors
} // namespace tesraparticle
