#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ColorChangerTimed.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> ColorChangerTimed::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("timings", PropertyInfo::TIMINGS_1)};
            return Affector::getPropertyDescriptions() + own;
        }

        void ColorChangerTimed::update(Particle* particle, float, kavtypes::Vector3&)
        {
            if (!this->timings.isEmpty())
            {
                particle->color = this->timings.valueAt(particle->getLifeProgressRatio());
            }
        }

        hstring ColorChangerTimed::getProperty(const hstring& name)
        {
            if (name == "timings")
                return this->timings.toString();
            return Affector::getProperty(name);
        }

        bool ColorChangerTimed::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "timings")
                this->timings.set(value);
            else
                return Affector::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
