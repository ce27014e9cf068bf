#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ScalerTimed.h>
#include <tesraparticle/tesraparticle.h>

#include "FiniteStep.h"
#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        void ScalerTimed::update(Particle* particle, float, kavtypes::Vector3&)
        {
            if (!this->timings.isEmpty())
            {
                takeFiniteStep(particle->scale, this->timings.valueAt(particle->getLifeProgressRatio()));
            }
        }

        bool ScalerTimed::updatesRuns() const
        {
            return typeid(*this) == typeid(ScalerTimed);
        }

        void ScalerTimed::updateRun(Particle* first, int count, float, kavtypes::Vector3* movements)
        {
            if (!timings.isEmpty())
            {
                forLiveParticles(
                    first, count, movements,
                    [&](Particle& particle, kavtypes::Vector3&)
                    { takeFiniteStep(particle.scale, timings.valueAt(particle.getLifeProgressRatio())); });
            }
        }
    } // namespace Affectors
} // namespace tesraparticle
