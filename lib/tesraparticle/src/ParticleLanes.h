#pragma once

// Four particles of a run at once, one per lane of an SSE register. The records lie side by side but each
// holds every field, so the lanes are gathered from four records and written back one record at a time;
// what pays is the arithmetic between, above all the divisions and square roots, done once for four. Every
// lane does the very operations the one-particle code does, in the same order and in the same precision
// (selections in place of branches), so that both give the same bits.
#if defined(__SSE2__)
#define TESRAPARTICLE_LANES 1

#include <emmintrin.h>

#include <kavtypes/Vector3.h>
#include <tesraparticle/Particle.h>

#include "LiveParticles.h"

namespace tesraparticle
{
    namespace lanes
    {
        const int Width = 4;

        // field(p[i]) in lane i.
        template <class T, class F> inline __m128 gather(const T* p, F field)
        {
            return _mm_setr_ps(field(p[0]), field(p[1]), field(p[2]), field(p[3]));
        }

        // The lanes' timers and lives.
        struct Lives
        {
            explicit Lives(const Particle* p)
                : timer(gather(p, [](const Particle& q) { return q.timer; })),
                  life(gather(p, [](const Particle& q) { return q.life; }))
            {
            }

            __m128 timer;
            __m128 life;

            // Bit i set when particle i is not dead (Particle::isDead; NaN counts as alive).
            int live() const { return _mm_movemask_ps(_mm_cmpnge_ps(timer, life)); }

            // Particle::getLifeProgressRatio of every lane.
            __m128 progress() const
            {
                const __m128 zero = _mm_setzero_ps();
                const __m128 one = _mm_set1_ps(1.0f);
                __m128 ratio = _mm_div_ps(timer, life);
                // min and max pick their second operand for NaN, which passes NaN through as the branches do.
                ratio = _mm_max_ps(zero, _mm_min_ps(one, ratio));
                const __m128 spent = _mm_cmple_ps(life, zero);
                return _mm_or_ps(_mm_and_ps(spent, one), _mm_andnot_ps(spent, ratio));
            }
        };

        // mask ? a : b, lane by lane.
        inline __m128 select(__m128 mask, __m128 a, __m128 b)
        {
            return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
        }

        // All bits set in the lanes that hold a finite number: infinity and NaN are the only values that
        // minus themselves is not 0.
        inline __m128 finite(__m128 value)
        {
            return _mm_cmpeq_ps(_mm_sub_ps(value, value), _mm_setzero_ps());
        }

        // The lanes of a mask made by movemask.
        inline __m128 maskOf(int bits)
        {
            const __m128i lane = _mm_setr_epi32(1, 2, 4, 8);
            const __m128i all = _mm_set1_epi32(bits);
            return _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_and_si128(all, lane), lane));
        }

        // Calls four(p, movements) for every whole four particles of the run, then one(particle, movement)
        // for the live ones of the rest, front to back.
        template <class Four, class One>
        inline void forLanes(Particle* first, int count, kavtypes::Vector3* movements, Four four, One one)
        {
            int i = 0;
            for (; i + Width <= count; i += Width)
            {
                four(first + i, movements + i);
            }
            forLiveParticles(first + i, count - i, movements + i, one);
        }
    } // namespace lanes
} // namespace tesraparticle
#else
#define TESRAPARTICLE_LANES 0
#endif
