#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ColorChanger.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> ColorChanger::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("start_color", PropertyInfo::COLOR_RANGE),
                                                     PropertyInfo("end_color", PropertyInfo::COLOR_RANGE)};
            return Affector::getPropertyDescriptions() + own;
        }

        void ColorChanger::update(Particle* particle, float, kavtypes::Vector3&)
        {
            float ratio = particle->getLifeProgressRatio();
            particle->color = this->startColor * (1.0f - ratio) + this->endColor * ratio;
        }

        hstring ColorChanger::getProperty(const hstring& name)
        {
            if (name == "start_color")
                return this->startColor.hex();
            if (name == "end_color")
                return this->endColor.hex();
            return Affector::getProperty(name);
        }

        bool ColorChanger::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "start_color")
                this->startColor = tesra::Color(value);
            else if (name == "end_color")
                this->endColor = tesra::Color(value);
            else
                return Affector::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
