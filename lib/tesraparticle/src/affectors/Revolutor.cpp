#include <cmath>

#include <kavtypes/Matrix3.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Revolutor.h>
#include <tesraparticle/tesraparticle.h>

namespace tesraparticle
{
    namespace Affectors
    {
        harray<PropertyInfo> Revolutor::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("axis", PropertyInfo::COLOR),
                                                     PropertyInfo("evolution_speed", PropertyInfo::FLOAT),
                                                     PropertyInfo("clockwise", PropertyInfo::BOOL)};
            return Space::getPropertyDescriptions() + own;
        }

        void Revolutor::update(Particle* particle, float timeDelta, kavtypes::Vector3& movement)
        {
            kavtypes::Vector3 c = this->_getCenter();
            kavtypes::Vector3 d = particle->position - c;
            float q = d.squaredLength();
            if (!(this->radius * this->radius > q))
            {
                return;
            }
            float degrees = (1.0f - std::sqrt(q) / this->radius) * this->_getRandom() * this->evolutionSpeed *
                            this->clockwise * timeDelta;
            kavtypes::Matrix3 rotation;
            rotation.setRotation(this->axis, degrees);
            movement += (c + rotation.transform(d)) - particle->position;
        }

        hstring Revolutor::getProperty(const hstring& name)
        {
            if (name == "axis")
                return gvec3_to_str(this->axis);
            if (name == "evolution_speed")
                return hstring(this->evolutionSpeed);
            if (name == "clockwise")
                return this->clockwise == -360.0f ? "1" : "0";
            return Space::getProperty(name);
        }

        bool Revolutor::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "axis")
                this->axis = str_to_gvec3(value);
            else if (name == "evolution_speed")
                this->evolutionSpeed = value.toFloat();
            else if (name == "clockwise")
                this->setClockwise(value.toBool());
            else
                return Space::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
