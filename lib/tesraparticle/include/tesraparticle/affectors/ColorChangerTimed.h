#pragma once

#include <tesraparticle/affectors/TimedAffector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Sets the particle colour from values at points of its life; does nothing until given "timings".
        class ColorChangerTimed : public TimedAffector<tesra::Color, PropertyInfo::TIMINGS_1>
        {
        public:
            explicit ColorChangerTimed(const hstring& name = "") : TimedAffector(name) {}
            static Affector* createInstance(const hstring& name) { return new ColorChangerTimed(name); }

            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            bool drawsRandomNumbers() const override { return false; }
        };
    } // namespace Affectors
} // namespace tesraparticle
