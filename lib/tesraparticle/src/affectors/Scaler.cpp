#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Scaler.h>
#include <tesraparticle/tesraparticle.h>

#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        namespace
        {
            inline void scale(Particle& particle, float start, float end)
            {
                float ratio = particle.getLifeProgressRatio();
                particle.scale = start * (1.0f - ratio) + end * ratio;
            }
        } // namespace

        harray<PropertyInfo> Scaler::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("start_scale", PropertyInfo::FLOAT),
                                                     PropertyInfo("end_scale", PropertyInfo::FLOAT)};
            return Affector::getPropertyDescriptions() + own;
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
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3&) { scale(particle, start, end); });
        }

        hstring Scaler::getProperty(const hstring& name)
        {
            if (name == "start_scale")
                return hstring(this->startScale);
            if (name == "end_scale")
                return hstring(this->endScale);
            return Affector::getProperty(name);
        }

        bool Scaler::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "start_scale")
                this->startScale = value.toFloat();
            else if (name == "end_scale")
                this->endScale = value.toFloat();
            else
                return Affector::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
