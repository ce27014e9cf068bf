#include <tesraparticle/Particle.h>

namespace tesraparticle
{
    float Particle::getLifeProgressRatio() const
    {
        if (this->life <= 0.0f)
        {
            return 1.0f;
        }
        float ratio = this->timer / this->life;
        return ratio < 0.0f ? 0.0f : (ratio > 1.0f ? 1.0f : ratio);
    }
} // namespace tesraparticle
