#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Scaler.h>
#include <tesraparticle/tesraparticle.h>

#include "FiniteStep.h"
#include "LiveParticles.h"
#include "ParticleLanes.h"

namespace tesraparticle
{
    namespace Affectors
    {
        namespace
        {
            inline void scale(Particle& particle, float start, float end)
            {
                float ratio = particle.getLifeProgressRatio();
                takeFiniteStep(particle.scale, start * (1.0f - ratio) + end * ratio);
            }

#if TESRAPARTICLE_LANES
            // scale for four particles, the live ones only.
            inline void scaleFour(Particle* p, float start, float end)
            {
                const lanes::Lives lives(p);
                const int live = lives.live();
                if (live == 0)
                {
                    return;
                }
                const __m128 ratio = lives.progress();
                const __m128 rest = _mm_sub_ps(_mm_set1_ps(1.0f), ratio);
                alignas(16) float scales[lanes::Width];
                const __m128 scaled =
                    _mm_add_ps(_mm_mul_ps(_mm_set1_ps(start), rest), _mm_mul_ps(_mm_set1_ps(end), ratio));
                _mm_store_ps(scales, scaled);
                const int finite = live & _mm_movemask_ps(lanes::finite(scaled));
                for (int i = 0; i < lanes::Width; ++i)
                {
                    if (finite & (1 << i))
                    {
                        p[i].scale = scales[i];
                    }
                }
            }
#endif
        } // namespace

        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Scaler, Affector, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(Scaler, Affector, _properties)

        const PropertyTable<Scaler>& Scaler::_properties()
        {
            static const PropertyTable<Scaler> table = {
                {"start_scale", PropertyInfo::FLOAT, [](Scaler& s) { return hstring(s.startScale); },
                 [](Scaler& s, const hstring& value) { s.startScale = value.toFloat(); }},
                {"end_scale", PropertyInfo::FLOAT, [](Scaler& s) { return hstring(s.endScale); },
                 [](Scaler& s, const hstring& value) { s.endScale = value.toFloat(); }},
            };
            return table;
        }

        void Scaler::update(Particle* particle, float, kavtypes::Vector3&)
        {
            scale(*particle, startScale, endScale);
        }

        bool Scaler::updatesRuns() const
        {
            return typeid(*this) == typeid(Scaler);
        }

        void Scaler::updateRun(Particle* first, int count, float, kavtypes::Vector3* movements)
        {
            const float start = startScale;
            const float end = endScale;
#if TESRAPARTICLE_LANES
            lanes::forLanes(
                first, count, movements, [&](Particle* p, kavtypes::Vector3*) { scaleFour(p, start, end); },
                [&](Particle& particle, kavtypes::Vector3&) { scale(particle, start, end); });
#else
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3&) { scale(particle, start, end); });
#endif
        }
    } // namespace Affectors
} // namespace tesraparticle
