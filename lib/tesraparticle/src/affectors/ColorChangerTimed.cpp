#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ColorChangerTimed.h>
#include <tesraparticle/tesraparticle.h>

#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        void ColorChangerTimed::update(Particle* particle, float, kavtypes::Vector3&)
        {
            if (!this->timings.isEmpty())
            {
                particle->color = this->timings.valueAt(particle->getLifeProgressRatio());
            }
        }

        bool ColorChangerTimed::updatesRuns() const
        {
            return typeid(*this) == typeid(ColorChangerTimed);
        }

        void ColorChangerTimed::updateRun(Particle* first, int count, float, kavtypes::Vector3* movements)
        {
            if (!timings.isEmpty())
            {
                forLiveParticles(first, count, movements,
                                 [&](Particle& particle, kavtypes::Vector3&)
                                 { particle.color = timings.valueAt(particle.getLifeProgressRatio()); });
            }
        }
    } // namespace Affectors
} // namespace tesraparticle
