#pragma once

#include <tesrauiparticle/ParticleBase.h>

namespace tesrauiparticle
{
    // Runs a whole particle system and draws it at its centre.
    class Particle : public ParticleBase
    {
    public:
        Particle(const hstring& name, kavtypes::Rectangle rect) : ParticleBase(name, rect) {}

        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "Particle"; }
        void update(float timeDelta) override;
        void _draw() override;
    };
} // namespace tesrauiparticle
