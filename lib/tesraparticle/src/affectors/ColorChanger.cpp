#include <cstring>
#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ColorChanger.h>
#include <tesraparticle/tesraparticle.h>

#include "LiveParticles.h"
#include "ParticleLanes.h"

namespace tesraparticle
{
    namespace Affectors
    {
        namespace
        {
            inline void blend(Particle& particle, const tesra::Color& start, const tesra::Color& end)
            {
                float ratio = particle.getLifeProgressRatio();
                particle.color = start * (1.0f - ratio) + end * ratio;
            }

            // Four lanes of floats or ints, one per channel (a compiler extension of GCC and Clang).
            typedef float Floats __attribute__((vector_size(16)));
            typedef int Ints __attribute__((vector_size(16)));

            // blend for whole runs: the same scaling and saturating sum as tesra::Color's, on the four
            // channels at once.
            class RunBlend
            {
            public:
                RunBlend(const tesra::Color& from, const tesra::Color& to)
                    : start{(float)from.r, (float)from.g, (float)from.b, (float)from.a}, end{(float)to.r,
                                                                                             (float)to.g,
                                                                                             (float)to.b,
                                                                                             (float)to.a}
                {
                }

                void apply(Particle& particle) const
                {
                    float ratio = particle.getLifeProgressRatio();
                    Floats rest = {1.0f - ratio, 1.0f - ratio, 1.0f - ratio, 1.0f - ratio};
                    Floats along = {ratio, ratio, ratio, ratio};
                    Ints sum = saturate(start * rest) + saturate(end * along);
                    const Ints top = {255, 255, 255, 255};
                    sum = sum < top ? sum : top;
                    particle.color = tesra::Color((unsigned char)sum[0], (unsigned char)sum[1],
                                                  (unsigned char)sum[2], (unsigned char)sum[3]);
                }

#if TESRAPARTICLE_LANES
                // apply for four particles, the live ones only.
                void applyFour(Particle* p) const
                {
                    const lanes::Lives lives(p);
                    const int live = lives.live();
                    if (live == 0)
                    {
                        return;
                    }
                    const __m128 along = lives.progress();
                    const __m128 rest = _mm_sub_ps(_mm_set1_ps(1.0f), along);
                    // Channels of 0..255 each, so that sums fit 16 bits and packing to bytes saturates at 255
                    // as the sum's clamp does. A progress is NaN or within 0..1; without NaN every product of
                    // a channel and a factor within 0..1 lies within 0..255 too, where saturating changes
                    // nothing.
                    __m128i sums01, sums23;
                    if (_mm_movemask_ps(_mm_cmpunord_ps(along, along)) == 0)
                    {
                        sums01 =
                            _mm_packs_epi32(channels<0, false>(rest, along), channels<1, false>(rest, along));
                        sums23 =
                            _mm_packs_epi32(channels<2, false>(rest, along), channels<3, false>(rest, along));
                    }
                    else
                    {
                        sums01 =
                            _mm_packs_epi32(channels<0, true>(rest, along), channels<1, true>(rest, along));
                        sums23 =
                            _mm_packs_epi32(channels<2, true>(rest, along), channels<3, true>(rest, along));
                    }
                    // Each colour's four bytes in the order of tesra::Color's channels.
                    alignas(16) unsigned int colors[lanes::Width];
                    static_assert(sizeof(tesra::Color) == sizeof(colors[0]), "four bytes r, g, b, a");
                    _mm_store_si128(reinterpret_cast<__m128i*>(colors), _mm_packus_epi16(sums01, sums23));
                    for (int i = 0; i < lanes::Width; ++i)
                    {
                        if (live & (1 << i))
                        {
                            std::memcpy(static_cast<void*>(&p[i].color), &colors[i], sizeof(colors[i]));
                        }
                    }
                }
#endif

            private:
                Floats start;
                Floats end;

#if TESRAPARTICLE_LANES
                // The unclamped channel sums of particle i, its products saturated when they may leave
                // 0..255.
                template <int i, bool saturating> __m128i channels(__m128 rest, __m128 along) const
                {
                    const __m128 from =
                        _mm_mul_ps(load(start), _mm_shuffle_ps(rest, rest, _MM_SHUFFLE(i, i, i, i)));
                    const __m128 to =
                        _mm_mul_ps(load(end), _mm_shuffle_ps(along, along, _MM_SHUFFLE(i, i, i, i)));
                    if (saturating)
                    {
                        return _mm_add_epi32(saturateLanes(from), saturateLanes(to));
                    }
                    return _mm_add_epi32(_mm_cvttps_epi32(from), _mm_cvttps_epi32(to));
                }

                static __m128 load(Floats value)
                {
                    __m128 lanes;
                    static_assert(sizeof(lanes) == sizeof(value), "four floats");
                    __builtin_memcpy(&lanes, &value, sizeof(lanes));
                    return lanes;
                }

                // saturate on SSE: max and min pick their second operand for NaN, giving 0 as it does.
                static __m128i saturateLanes(__m128 value)
                {
                    const __m128 low = _mm_max_ps(value, _mm_setzero_ps());
                    return _mm_cvttps_epi32(_mm_min_ps(low, _mm_set1_ps(255.0f)));
                }
#endif

                // tesra::Color::saturate, left as ints: NaN and values not above 0 give 0.
                static Ints saturate(Floats value)
                {
                    const Floats zero = {0.0f, 0.0f, 0.0f, 0.0f};
                    const Floats top = {255.0f, 255.0f, 255.0f, 255.0f};
                    Floats low = value > zero ? value : zero;
                    return __builtin_convertvector(low < top ? low : top, Ints);
                }
            };
        } // namespace

        QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_BASE_FIRST(ColorChanger, Affector, _properties)
        QUORTYPES_PROPERTY_TABLE_GET_SET(ColorChanger, Affector, _properties)

        const PropertyTable<ColorChanger>& ColorChanger::_properties()
        {
            static const PropertyTable<ColorChanger> table = {
                {"start_color", PropertyInfo::COLOR_RANGE, [](ColorChanger& c) { return c.startColor.hex(); },
                 [](ColorChanger& c, const hstring& value) { c.startColor = tesra::Color(value); }},
                {"end_color", PropertyInfo::COLOR_RANGE, [](ColorChanger& c) { return c.endColor.hex(); },
                 [](ColorChanger& c, const hstring& value) { c.endColor = tesra::Color(value); }},
            };
            return table;
        }

        void ColorChanger::update(Particle* particle, float, kavtypes::Vector3&)
        {
            blend(*particle, startColor, endColor);
        }

        bool ColorChanger::updatesRuns() const
        {
            return typeid(*this) == typeid(ColorChanger);
        }

        void ColorChanger::updateRun(Particle* first, int count, float, kavtypes::Vector3* movements)
        {
            const RunBlend run(startColor, endColor);
#if TESRAPARTICLE_LANES
            lanes::forLanes(
                first, count, movements, [&](Particle* p, kavtypes::Vector3*) { run.applyFour(p); },
                [&](Particle& particle, kavtypes::Vector3&) { run.apply(particle); });
#else
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3&) { run.apply(particle); });
#endif
        }
    } // namespace Affectors
} // namespace tesraparticle
