#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Resizer.h>
#include <tesraparticle/tesraparticle.h>

#include "FiniteStep.h"
#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        namespace
        {
            inline void resize(Particle& particle, const kavtypes::Vector2& start,
                               const kavtypes::Vector2& end)
            {
                float ratio = particle.getLifeProgressRatio();
                takeFiniteStep(particle.size, start * (1.0f - ratio) + end * ratio);
            }
        } // namespace

        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Resizer, Affector, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(Resizer, Affector, _properties)

        const PropertyTable<Resizer>& Resizer::_properties()
        {
            static const PropertyTable<Resizer> table = {
                {"start_size", PropertyInfo::GVEC2, [](Resizer& r) { return gvec2_to_str(r.startSize); },
                 [](Resizer& r, const hstring& value) { r.startSize = str_to_gvec2(value); }},
                {"end_size", PropertyInfo::GVEC2, [](Resizer& r) { return gvec2_to_str(r.endSize); },
                 [](Resizer& r, const hstring& value) { r.endSize = str_to_gvec2(value); }},
            };
            return table;
        }

        void Resizer::update(Particle* particle, float, kavtypes::Vector3&)
        {
            resize(*particle, startSize, endSize);
        }

        bool Resizer::updatesRuns() const
        {
            return typeid(*this) == typeid(Resizer);
        }

        void Resizer::updateRun(Particle* first, int count, float, kavtypes::Vector3* movements)
        {
            const kavtypes::Vector2 start = startSize;
            const kavtypes::Vector2 end = endSize;
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3&) { resize(particle, start, end); });
        }
    } // namespace Affectors
} // namespace tesraparticle
