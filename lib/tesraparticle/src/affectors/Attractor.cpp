#include <cmath>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Attractor.h>

namespace tesraparticle
{
    namespace Affectors
    {
        namespace
        {
            float power(float base, float exponent)
            {
                if (exponent != std::floor(exponent) || std::fabs(exponent) > 1024.0f)
                {
                    return std::pow(base, exponent);
                }
                unsigned int n = (unsigned int)std::fabs(exponent);
                float result = 1.0f;
                float square = base;
                for (; n > 0; n >>= 1)
                {
                    if (n & 1)
                        result *= square;
                    square *= square;
                }
                return exponent < 0.0f ? 1.0f / result : result;
            }
        } // namespace

        harray<PropertyInfo> Attractor::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("force", PropertyInfo::FLOAT),
                                                     PropertyInfo("exponent", PropertyInfo::FLOAT)};
            return Space::getPropertyDescriptions() + own;
        }

        void Attractor::update(Particle* particle, float timeDelta, kavtypes::Vector3& movement)
        {
            kavtypes::Vector3 d = this->_getCenter() - particle->position;
            float q = d.squaredLength();
            if (q <= 0.02f || this->radius * this->radius < q)
            {
                return;
            }
            float f = (this->radius - std::sqrt(q)) / this->radius;
            if (this->exponent != 1.0f)
            {
                f = power(f, this->exponent);
            }
            movement += d.normalized() * (this->force * this->_getRandom() * f * timeDelta);
        }

        hstring Attractor::getProperty(const hstring& name)
        {
            if (name == "force")
                return hstring(this->force);
            if (name == "exponent")
                return hstring(this->exponent);
            return Space::getProperty(name);
        }

        bool Attractor::setProperty(const hstring& name, const hstring& value)
        {
            if (name == "force")
                this->force = value.toFloat();
            else if (name == "exponent")
                this->exponent = value.toFloat();
            else
                return Space::setProperty(name, value);
            return true;
        }
    } // namespace Affectors
} // namespace tesraparticle
