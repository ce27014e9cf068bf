#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ScalerTimed.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> ScalerTimed::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("timings", PropertyInfo::TIMINGS_2)};
            return Affector::getPropertyDescriptions() + own;
        }

        void ScalerTimed::update(Particle* particle, float, kavtypes::Vector3&)
        {
            if (!this->timings.isEmpty())
            {
                particle->scale = this->timings.valueAt(particle->getLifeProgressRatio());
            }
        }

        hstring ScalerTimed::getProperty(const hstring& name)
        {
            if (name == "timings")
                return this->timings.toString();
            return Affector::getProperty(name);
        }

        bool ScalerTimed::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "timings")
                this->timings.set(value);
            else
                return Affector::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
