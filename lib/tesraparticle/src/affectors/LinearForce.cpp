#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/LinearForce.h>
#include <tesraparticle/tesraparticle.h>

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
                particle.direction += direction * (random * timeDelta);
            }
        } // namespace

        harray<PropertyInfo> LinearForce::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("direction", PropertyInfo::COLOR)};
            return Affector::getPropertyDescriptions() + own;
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
                                 [&](Particle& particle, kavtypes::Vector3&) { particle.direction += step; });
                return;
            }
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3&)
                             { push(particle, force, _getRandom(), timeDelta); });
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
