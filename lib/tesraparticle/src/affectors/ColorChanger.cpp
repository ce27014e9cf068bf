#include <typeinfo>

#include <tesraparticle/Particle.h>
#include <tesraparticle/affectors/ColorChanger.h>
#include <tesraparticle/tesraparticle.h>

#include "LiveParticles.h"

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

            private:
                Floats start;
                Floats end;

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

        harray<PropertyInfo> ColorChanger::getPropertyDescriptions() const
        {
            static const harray<PropertyInfo> own = {PropertyInfo("start_color", PropertyInfo::COLOR_RANGE),
                                                     PropertyInfo("end_color", PropertyInfo::COLOR_RANGE)};
            return Affector::getPropertyDescriptions() + own;
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
            forLiveParticles(first, count, movements,
                             [&](Particle& particle, kavtypes::Vector3&) { run.apply(particle); });
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
