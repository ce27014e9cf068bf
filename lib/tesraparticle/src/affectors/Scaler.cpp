#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Scaler.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> Scaler::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("start_scale", PropertyInfo::FLOAT),
                                                     PropertyInfo("end_scale", PropertyInfo::FLOAT)};
            return Affector::getPropertyDescriptions() + own;
        }

        void Scaler::update(Particle* particle, float, kavtypes::Vector3&)
        {
            float ratio = particle->getLifeProgressRatio();
            particle->scale = this->startScale * (1.0f - ratio) + this->endScale * ratio;
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
