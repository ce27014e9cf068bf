#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ResizerTimed.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        void ResizerTimed::update(Particle* particle, float, kavtypes::Vector3&)
        {
            if (!this->timings.isEmpty())
            {
                particle->size = this->timings.valueAt(particle->getLifeProgressRatio());
            }
        }
    } // namespace Affectors
} // namespace tesraparticle
