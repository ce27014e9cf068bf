#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Resizer.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> Resizer::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("start_size", PropertyInfo::GVEC2),
                                                     PropertyInfo("end_size", PropertyInfo::GVEC2)};
            return Affector::getPropertyDescriptions() + own;
        }

        void Resizer::update(Particle* particle, float, kavtypes::Vector3&)
        {
            float ratio = particle->getLifeProgressRatio();
            particle->size = this->startSize * (1.0f - ratio) + this->endSize * ratio;
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
