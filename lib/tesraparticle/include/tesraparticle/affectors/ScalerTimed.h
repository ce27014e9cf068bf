#pragma once

#include <tesraparticle/Affector.h>
#include <tesraparticle/affectors/Timings.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Sets the particle scale from values at points of its life; does nothing until given "timings".
        class ScalerTimed : public Affector
        {
        public:
            explicit ScalerTimed(const hstring& name = "") : Affector(name) {}

            static Affector* createInstance(const hstring& name) { return new ScalerTimed(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            const Timings<float>& getTimings() const { return this->timings; }

        protected:
            Timings<float> timings;
        };
    } // namespace Affectors
} // namespace tesraparticle
