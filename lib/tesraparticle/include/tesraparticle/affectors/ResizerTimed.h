#pragma once

#include <tesraparticle/affectors/TimedAffector.h>

namespace tesraparticle
{
    namespace Affectors
    {
        // Sets the particle size from values at points of its life; does nothing until given "timings".
        class ResizerTimed : public TimedAffector<kavtypes::Vector2, PropertyInfo::TIMINGS_3>
        {
        public:
            explicit ResizerTimed(const hstring& name = "") : TimedAffector(name) {}
            static Affector* createInstance(const hstring& name) { return new ResizerTimed(name); }

            void update(Particle* particle, float timeDelta, kavtypes::Vector3& movement) override;
            bool updatesRuns() const override;
            void updateRun(Particle* first, int count, float timeDelta,
                           kavtypes::Vector3* movements) override;
            bool drawsRandomNumbers() const override { return false; }
        };
    } // namespace Affectors
} // namespace tesraparticle
