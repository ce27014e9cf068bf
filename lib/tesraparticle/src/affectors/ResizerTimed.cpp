#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ResizerTimed.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> ResizerTimed::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("timings", PropertyInfo::TIMINGS_3)};
            return Affector::getPropertyDescriptions() + own;
        }

        void ResizerTimed::update(Particle* particle, float, kavtypes::Vector3&)
        {
            if (!this->timings.isEmpty())
            {
                particle->size = this->timings.valueAt(particle->getLifeProgressRatio());
            }
        }

        hstring ResizerTimed::getProperty(const hstring& name)
        {
            if (name == "timings")
                return this->timings.toString();
            return Affector::getProperty(name);
        }

        bool ResizerTimed::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "timings")
                this->timings.set(value);
            else
                return Affector::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
