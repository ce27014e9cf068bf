#pragma once

#include <tesraparticle/Affector.h>
#include <tesraparticle/affectors/Timings.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Sets the particle size from values at points of its life; does nothing until given "timings".
        class ResizerTimed : public Affector
        {
        public:
            explicit ResizerTimed(const hstring& name = "") : Affector(name) {}

            static Affector* createInstance(const hstring& name) { return new ResizerTimed(name); }

            harray<PropertyInfo> getPropertyDescriptions() const override;
            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            hstring getProperty(const hstring& name) override;
            bool setProperty(const hstring& name, const hstring& value) override;

            const Timings<kavtypes::Vector2>& getTimings() const { return this->timings; }

        protected:
            Timings<kavtypes::Vector2> timings;
        };
    } // namespace Affectors
} // namespace tesraparticle
