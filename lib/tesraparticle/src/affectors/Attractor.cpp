#include <cmath>
#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Attractor.h>

#include "LiveParticles.h"

namespace tesraparticle
{
    namespace Affectors
    {
        namespace
        {
            // A base raised to the exponent: by repeated squaring for a whole-numbered exponent (a negative
            // one giving the reciprocal), else by the general power function. The choice is made once for a
            // run of particles.
            class Power
            {
            public:
                explicit Power(float exponent)
                    : exponent(exponent),
                      general(exponent != std::floor(exponent) || std::fabs(exponent) > 1024.0f),
                      whole(general ? 0 : (unsigned int)std::fabs(exponent))
                {
                }

                float operator()(float base) const
                {
                    if (general)
                    {
                        return std::pow(base, exponent);
                    }
                    float result = 1.0f;
                    float square = base;
                    for (unsigned int n = whole; n > 0; n >>= 1)
                    {
                        if (n & 1)
                            result *= square;
                        square *= square;
                    }
                    return exponent < 0.0f ? 1.0f / result : result;
                }

            private:
                float exponent;
                bool general;
                unsigned int whole;
            };

            // The attractor's fields, as copies that stores into particles cannot touch.
            struct Pull
            {
                Pull(const kavtypes::Vector3& center, float radius, float exponent, float force)
                    : center(center), radius(radius), raise(exponent != 1.0f), power(exponent), force(force)
                {
                }

                kavtypes::Vector3 center;
                float radius;
                bool raise;
                Power power;
                float force;
            };

            // The random number is drawn only for a particle the pull reaches.
            template <class Draw>
            inline void attract(Particle& particle, const Pull& pull, float timeDelta,
                                kavtypes::Vector3& movement, Draw draw)
            {
                kavtypes::Vector3 d = pull.center - particle.position;
                float q = d.squaredLength();
                if (q <= 0.02f || pull.radius * pull.radius < q)
                {
                    return;
                }
                float f = (pull.radius - std::sqrt(q)) / pull.radius;
                if (pull.raise)
                {
                    f = pull.power(f);
                }
                movement += d.normalized() * (pull.force * draw() * f * timeDelta);
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
            attract(*particle, Pull(_getCenter(), radius, exponent, force), timeDelta, movement,
                    [this] { return _getRandom(); });
        }

        bool Attractor::updatesRuns() const
        {
            return typeid(*this) == typeid(Attractor);
        }

        void Attractor::updateRun(Particle* first, int count, float timeDelta, kavtypes::Vector3* movements)
        {
            const Pull pull(_getCenter(), radius, exponent, force);
            forLiveParticles(
                first, count, movements,
                [&](Particle& particle, kavtypes::Vector3& movement)
                { attract(particle, pull, timeDelta, movement, [this] { return _getRandom(); }); });
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
