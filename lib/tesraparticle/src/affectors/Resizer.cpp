#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Resizer.h>
#include <tesraparticle/tesraparticle.h>

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
                particle.size = start * (1.0f - ratio) + end * ratio;
            }
        } // namespace

        harray<PropertyInfo> Resizer::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("start_size", PropertyInfo::GVEC2),
                                                     PropertyInfo("end_size", PropertyInfo::GVEC2)};
            return Affector::getPropertyDescriptions() + own;
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

        hstring Resizer::getProperty(const hstring& name)
        {
            if (name == "start_size")
                return gvec2_to_str(this->startSize);
            if (name == "end_size")
                return gvec2_to_str(this->endSize);
            return Affector::getProperty(name);
        }

        bool Resizer::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "start_size")
                this->startSize = str_to_gvec2(value);
            else if (name == "end_size")
                this->endSize = str_to_gvec2(value);
            else
                return Affector::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
