#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ColorChangerTimed.h>
#include <tesraparticle/tesraparticle.h>

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
    } // namespace Affectors
} // namespace tesraparticle
