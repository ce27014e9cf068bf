#include <cmath>
#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/Attractor.h>

#include "FiniteStep.h"
#include "LiveParticles.h"
#include "ParticleLanes.h"

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

#if TESRAPARTICLE_LANES
                __m128 operator()(__m128 base) const
                {
                    if (general)
                    {
                        alignas(16) float values[lanes::Width];
                        _mm_store_ps(values, base);
                        for (float& value : values)
                            value = std::pow(value, exponent);
                        return _mm_load_ps(values);
                    }
                    __m128 result = _mm_set1_ps(1.0f);
                    __m128 square = base;
                    for (unsigned int n = whole; n > 0; n >>= 1)
                    {
                        if (n & 1)
                            result = _mm_mul_ps(result, square);
                        square = _mm_mul_ps(square, square);
                    }
                    return exponent < 0.0f ? _mm_div_ps(_mm_set1_ps(1.0f), result) : result;
                }
#endif

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
                    // A negative exponent makes the pull on the rim itself infinite: such a particle stays.
                    if (!std::isfinite(f))
                    {
                        return;
                    }
                }
                // Just inside the rim the power is finite but the force times it may not be.
                takeFiniteStep(movement, movement + d.normalized() * (pull.force * draw() * f * timeDelta));
            }

#if TESRAPARTICLE_LANES
            // attract for four particles, the live ones only, with a random number that is the same for
            // every particle.
            inline void attractFour(Particle* p, kavtypes::Vector3* movements, const Pull& pull, float random,
                                    float timeDelta)
            {
                const lanes::Lives lives(p);
                const int live = lives.live();
                if (live == 0)
                {
                    return;
                }
                const __m128 dx =
                    _mm_sub_ps(_mm_set1_ps(pull.center.x),
                               lanes::gather(p, [](const Particle& q) { return q.position.x; }));
                const __m128 dy =
                    _mm_sub_ps(_mm_set1_ps(pull.center.y),
                               lanes::gather(p, [](const Particle& q) { return q.position.y; }));
                const __m128 dz =
                    _mm_sub_ps(_mm_set1_ps(pull.center.z),
                               lanes::gather(p, [](const Particle& q) { return q.position.z; }));
                const __m128 q =
                    _mm_add_ps(_mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(dy, dy)), _mm_mul_ps(dz, dz));
                const __m128 radius = _mm_set1_ps(pull.radius);
                const __m128 outside = _mm_or_ps(_mm_cmple_ps(q, _mm_set1_ps(0.02f)),
                                                 _mm_cmplt_ps(_mm_set1_ps(pull.radius * pull.radius), q));
                int reached = live & ~_mm_movemask_ps(outside);
                if (reached == 0)
                {
                    return;
                }
                __m128 f = _mm_div_ps(_mm_sub_ps(radius, _mm_sqrt_ps(q)), radius);
                if (pull.raise)
                {
                    f = pull.power(f);
                    reached &= _mm_movemask_ps(lanes::finite(f));
                    if (reached == 0)
                    {
                        return;
                    }
                }
                const __m128 strength =
                    _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(pull.force * random), f), _mm_set1_ps(timeDelta));
                // Vector3::normalized: the length in double precision, the division in single.
                const __m128d xLow = _mm_cvtps_pd(dx), xHigh = _mm_cvtps_pd(_mm_movehl_ps(dx, dx));
                const __m128d yLow = _mm_cvtps_pd(dy), yHigh = _mm_cvtps_pd(_mm_movehl_ps(dy, dy));
                const __m128d zLow = _mm_cvtps_pd(dz), zHigh = _mm_cvtps_pd(_mm_movehl_ps(dz, dz));
                const __m128d sumLow = _mm_add_pd(_mm_add_pd(_mm_mul_pd(xLow, xLow), _mm_mul_pd(yLow, yLow)),
                                                  _mm_mul_pd(zLow, zLow));
                const __m128d sumHigh = _mm_add_pd(
                    _mm_add_pd(_mm_mul_pd(xHigh, xHigh), _mm_mul_pd(yHigh, yHigh)), _mm_mul_pd(zHigh, zHigh));
                const __m128 length =
                    _mm_movelh_ps(_mm_cvtpd_ps(_mm_sqrt_pd(sumLow)), _mm_cvtpd_ps(_mm_sqrt_pd(sumHigh)));
                const __m128 zero = _mm_cmpeq_ps(length, _mm_setzero_ps());
                const __m128 nx = lanes::select(zero, dx, _mm_div_ps(dx, length));
                const __m128 ny = lanes::select(zero, dy, _mm_div_ps(dy, length));
                const __m128 nz = lanes::select(zero, dz, _mm_div_ps(dz, length));
                alignas(16) float mx[lanes::Width], my[lanes::Width], mz[lanes::Width];
                const __m128 oldX = lanes::gather(movements, [](const kavtypes::Vector3& m) { return m.x; });
                const __m128 oldY = lanes::gather(movements, [](const kavtypes::Vector3& m) { return m.y; });
                const __m128 oldZ = lanes::gather(movements, [](const kavtypes::Vector3& m) { return m.z; });
                const __m128 newX = _mm_add_ps(oldX, _mm_mul_ps(nx, strength));
                const __m128 newY = _mm_add_ps(oldY, _mm_mul_ps(ny, strength));
                const __m128 newZ = _mm_add_ps(oldZ, _mm_mul_ps(nz, strength));
                // A movement the floats cannot hold is left as it was (takeFiniteStep).
                reached &= _mm_movemask_ps(
                    _mm_and_ps(_mm_and_ps(lanes::finite(newX), lanes::finite(newY)), lanes::finite(newZ)));
                // Which particles the pull reaches follows their places, which no branch predicts: every
                // movement is written, unchanged where the pull does not reach.
                const __m128 reach = lanes::maskOf(reached);
                _mm_store_ps(mx, lanes::select(reach, newX, oldX));
                _mm_store_ps(my, lanes::select(reach, newY, oldY));
                _mm_store_ps(mz, lanes::select(reach, newZ, oldZ));
                for (int i = 0; i < lanes::Width; ++i)
                {
                    movements[i].set(mx[i], my[i], mz[i]);
                }
            }
#endif
        } // namespace

        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(Attractor, Space, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(Attractor, Space, _properties)

        const PropertyTable<Attractor>& Attractor::_properties()
        {
            static const PropertyTable<Attractor> table = {
                {"force", PropertyInfo::FLOAT, [](Attractor& a) { return hstring(a.force); },
                 [](Attractor& a, const hstring& value) { a.force = value.toFloat(); }},
                {"exponent", PropertyInfo::FLOAT, [](Attractor& a) { return hstring(a.exponent); },
                 [](Attractor& a, const hstring& value) { a.exponent = value.toFloat(); }},
            };
            return table;
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
#if TESRAPARTICLE_LANES
            if (randomnessMin == randomnessMax)
            {
                const float random = randomnessMin;
                lanes::forLanes(
                    first, count, movements,
                    [&](Particle* p, kavtypes::Vector3* m) { attractFour(p, m, pull, random, timeDelta); },
                    [&](Particle& particle, kavtypes::Vector3& movement)
                    { attract(particle, pull, timeDelta, movement, [random] { return random; }); });
                return;
            }
#endif
            forLiveParticles(
                first, count, movements,
                [&](Particle& particle, kavtypes::Vector3& movement)
                { attract(particle, pull, timeDelta, movement, [this] { return _getRandom(); }); });
        }
    } // namespace Affectors
} // namespace tesraparticle
