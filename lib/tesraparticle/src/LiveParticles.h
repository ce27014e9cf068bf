#pragma once

#include <kavtypes/Vector3.h>
#include <tesraparticle/Particle.h>

namespace tesraparticle
{
    // Calls apply(particle, movement) for every live particle of a run, front to back.
    template <class F>
    inline void forLiveParticles(Particle* first, int count, kavtypes::Vector3* movements, F apply)
    {
        for (int i = 0; i < count; ++i)
        {
            if (!first[i].isDead())
            {
                apply(first[i], movements[i]);
            }
        }
    }
} // namespace tesraparticle
