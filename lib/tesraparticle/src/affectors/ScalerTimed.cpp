#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ScalerTimed.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        void ScalerTimed::update(Particle* particle, float, kavtypes::Vector3&)
        {
            if (!this->timings.isEmpty())
            {
                particle->scale = this->timings.valueAt(particle->getLifeProgressRatio());
            }
        }
    } // namespace Affectors
} // namespace tesraparticle
