#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ResizerTimed.h>
#include <tesraparticle/tesraparticle.h>

#include "FiniteStep.h"
#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        void ResizerTimed::update(Particle* particle, float, kavtypes::Vector3&)
        {
            if (!this->timings.isEmpty())
            {
                takeFiniteStep(particle->size, this->timings.valueAt(particle->getLifeProgressRatio()));
            }
        }

        bool ResizerTimed::updatesRuns() const
        {
            return typeid(*this) == typeid(ResizerTimed);
        }

        void ResizerTimed::updateRun(Particle* first, int count, float, kavtypes::Vector3* movements)
        {
            if (!timings.isEmpty())
            {
                forLiveParticles(
                    first, count, movements,
                    [&](Particle& particle, kavtypes::Vector3&)
                    { takeFiniteStep(particle.size, timings.valueAt(particle.getLifeProgressRatio())); });
            }
        }
    } // namespace Affectors
} // namespace tesraparticle
