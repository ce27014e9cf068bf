#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/affectors/Attractor.h>
#include <tesraparticle/affectors/ForceField.h>
#include <tesraparticle/affectors/LinearForce.h>
#include <tesraparticle/affectors/Resizer.h>
#include <tesraparticle/affectors/ResizerTimed.h>
#include <tesraparticle/affectors/Revolutor.h>
#include <tesraparticle/affectors/Rotator.h>
#include <tesraparticle/affectors/Scaler.h>
#include <tesraparticle/affectors/ScalerTimed.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;
using kavtypes::Vector3;

namespace
{
    typedef std::vector<std::pair<const char*, const char*>> Properties;

    // Settings and a particle whose step leaves the floats: the particle keeps what it had.
    struct Overflow
    {
        const char* what;
        std::function<Affector*()> make;
        Properties properties;
        Vector3 position;
        float timeDelta;
    };

    template <class T> std::function<Affector*()> make()
    {
        return [] { return new T(""); };
    }

    bool finite(const Particle& p, const Vector3& movement)
    {
        for (float value :
             {p.position.x, p.position.y, p.position.z, p.direction.x, p.direction.y, p.direction.z, p.size.x,
              p.size.y, p.scale, p.angle, movement.x, movement.y, movement.z})
            if (!std::isfinite(value))
                return false;
        return true;
    }

    // The fields an affector may change, as text: equal texts are an unchanged particle.
    std::string state(const Particle& p, const Vector3& movement)
    {
        std::string text;
        for (float value : {p.direction.x, p.direction.y, p.direction.z, p.size.x, p.size.y, p.scale, p.angle,
                            movement.x, movement.y, movement.z})
            text += std::to_string(value) + " ";
        return text;
    }

    const Overflow overflows[] = {
        // 9.999999 of radius 10: the power is finite, the force times it is not.
        {"attractor just inside its rim, exponent -5",
         make<Affectors::Attractor>(),
         {{"radius", "10"}, {"exponent", "-5"}, {"force", "10000"}},
         Vector3(9.999999f, 0.0f, 0.0f),
         0.016f},
        {"attractor of a force no float holds",
         make<Affectors::Attractor>(),
         {{"radius", "10"}, {"force", "3e38"}, {"randomness", "4"}},
         Vector3(5.0f, 0.0f, 0.0f),
         1.0f},
        {"attractor of a force that is no number",
         make<Affectors::Attractor>(),
         {{"radius", "10"}, {"force", "nan"}},
         Vector3(5.0f, 0.0f, 0.0f),
         1.0f},
        {"force field of radius 0 at its centre",
         make<Affectors::ForceField>(),
         {{"radius", "0"}},
         Vector3(),
         1.0f},
        {"force field of a huge push",
         make<Affectors::ForceField>(),
         {{"direction", "0,3e38,0"}, {"randomness", "4"}},
         Vector3(1.0f, 0.0f, 0.0f),
         1.0f},
        {"revolutor of an endless turn",
         make<Affectors::Revolutor>(),
         {{"evolution_speed", "3e38"}, {"randomness", "3e38"}},
         Vector3(1.0f, 0.0f, 0.0f),
         1.0f},
        {"linear force beyond the floats",
         make<Affectors::LinearForce>(),
         {{"direction", "0,-3e38,0"}, {"randomness", "4"}},
         Vector3(),
         1.0f},
        {"rotator beyond the floats",
         make<Affectors::Rotator>(),
         {{"rotation_speed", "3e38"}, {"randomness", "4"}},
         Vector3(),
         1.0f},
        {"resizer to no number", make<Affectors::Resizer>(), {{"end_size", "nan,nan"}}, Vector3(), 1.0f},
        {"scaler to infinity", make<Affectors::Scaler>(), {{"end_scale", "inf"}}, Vector3(), 1.0f},
        {"timed scaler to infinity",
         make<Affectors::ScalerTimed>(),
         {{"timings", "0:1 1:inf"}},
         Vector3(),
         1.0f},
        {"timed resizer to no number",
         make<Affectors::ResizerTimed>(),
         {{"timings", "0:1,1 1:nan,nan"}},
         Vector3(),
         1.0f},
    };

    class FiniteStepsTest : public particletest::ParticleTest
    {
    protected:
        Space space;

        std::unique_ptr<Affector> build(const Overflow& c)
        {
            std::unique_ptr<Affector> affector(c.make());
            affector->setSpace(&this->space);
            for (auto [name, value] : c.properties)
                affector->setProperty(name, value);
            return affector;
        }
    };
} // namespace

TEST_F(FiniteStepsTest, aStepBeyondTheFloatsLeavesTheParticleAsItWas)
{
    for (const Overflow& c : overflows)
    {
        std::unique_ptr<Affector> affector = this->build(c);
        Particle particle;
        particle.position = c.position;
        particle.timer = 0.5f;
        Vector3 movement;
        const std::string before = state(particle, movement);
        affector->update(&particle, c.timeDelta, movement);
        EXPECT_TRUE(finite(particle, movement)) << c.what;
        EXPECT_EQ(state(particle, movement), before) << c.what;
    }
}

TEST_F(FiniteStepsTest, runsKeepTheOthersStepsAndLeaveTheOverflowingOne)
{
    for (const Overflow& c : overflows)
    {
        std::unique_ptr<Affector> affector = this->build(c);
        if (!affector->updatesRuns())
            continue;
        // Runs long enough for four particles at once and a tail, the overflowing one in every place; the
        // others, at their life's start and nearer the centre, step as one at a time would.
        for (int odd = 0; odd < 6; ++odd)
        {
            std::vector<Particle> particles(6);
            std::vector<Vector3> movements(particles.size() + 1);
            std::vector<Particle> alone(particles.size());
            std::vector<Vector3> aloneMovements(particles.size());
            for (int i = 0; i < (int)particles.size(); ++i)
            {
                particles[i].position = (i == odd ? c.position : Vector3(0.5f + 0.25f * i, 0.25f, 0.0f));
                particles[i].timer = (i == odd ? 0.5f : 0.0f);
                alone[i] = particles[i];
                affector->update(&alone[i], c.timeDelta, aloneMovements[i]);
            }
            affector->updateRun(particles.data(), (int)particles.size(), c.timeDelta, movements.data());
            for (int i = 0; i < (int)particles.size(); ++i)
            {
                EXPECT_TRUE(finite(particles[i], movements[i])) << c.what << ", odd " << odd << ", " << i;
                EXPECT_EQ(state(particles[i], movements[i]), state(alone[i], aloneMovements[i]))
                    << c.what << ", odd " << odd << ", " << i;
            }
        }
    }
}

TEST_F(FiniteStepsTest, aSpaceKeepsEveryParticleOfARimEmitterInTheFloats)
{
    Affectors::Attractor attractor("rim");
    attractor.setProperty("radius", "10");
    attractor.setProperty("exponent", "-5");
    attractor.setProperty("force", "10000");
    this->space.addAffector(&attractor);
    Emitter* emitter = new Emitter();
    this->space.addEmitter(emitter);
    emitter->setProperty("position", "9.999999,0,0");
    emitter->setProperty("emission_rate", "100");
    emitter->setProperty("life", "5");
    for (int i = 0; i < 20; ++i)
        this->space.update(0.016f);
    ASSERT_GT(this->space.getAlive(), 0);
    for (Particle* particle : this->space.getParticles())
        EXPECT_TRUE(finite(*particle, Vector3()));
}
