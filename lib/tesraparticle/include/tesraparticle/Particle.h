#pragma once

#include <kavtypes/Vector2.h>
#include <kavtypes/Vector3.h>
#include <tesra/Color.h>

namespace tesraparticle
{
    class Particle
    {
    public:
        virtual ~Particle() = default;

        // timer / life within 0..1; 1 when life is not above 0.
        float getLifeProgressRatio() const
        {
            if (life <= 0.0f)
            {
                return 1.0f;
            }
            float ratio = timer / life;
            return ratio < 0.0f ? 0.0f : (ratio > 1.0f ? 1.0f : ratio);
        }
        bool isDead() const { return this->timer >= this->life; }

        float timer = 0.0f;
        float life = 1.0f;
        kavtypes::Vector3 position;
        // Units per second.
        kavtypes::Vector3 direction;
        // A factor of the texture's size.
        kavtypes::Vector2 size = kavtypes::Vector2(1.0f, 1.0f);
        float scale = 1.0f;
        float angle = 0.0f;
        tesra::Color color;
    };
} // namespace tesraparticle
