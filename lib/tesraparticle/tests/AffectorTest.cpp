#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/affectors/Attractor.h>
#include <tesraparticle/affectors/CallbackAffector.h>
#include <tesraparticle/affectors/ColorChanger.h>
#include <tesraparticle/affectors/ForceField.h>
#include <tesraparticle/affectors/Rotator.h>
#include <tesraparticle/affectors/ScalerTimed.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;
using kavtypes::Vector3;
using particletest::LogCapture;

namespace
{
    class AffectorTest : public particletest::ParticleTest
    {
    protected:
        Particle particle;
        Vector3 movement;

        void run(Affector& affector, float timeDelta)
        {
            this->movement = Vector3();
            affector.update(&this->particle, timeDelta, this->movement);
        }

        void atLifeRatio(float ratio)
        {
            this->particle.life = 2.0f;
            this->particle.timer = 2.0f * ratio;
        }
    };
} // namespace

TEST_F(AffectorTest, lifeBlendsAndRotation)
{
    Affectors::Rotator rotator;
    rotator.setProperty("rotation_speed", "90");
    this->run(rotator, 0.5f);
    EXPECT_EQ(this->particle.angle, 45.0f);

    Affectors::ColorChanger fader;
    this->atLifeRatio(0.5f);
    this->run(fader, 0.1f);
    EXPECT_EQ(this->particle.color, tesra::Color(254, 254, 254, 127));
}

TEST_F(AffectorTest, timedValuesNeedTwoPairsAndReadBackAsTheyWereSet)
{
    LogCapture log;
    Affectors::ScalerTimed scaler("s");
    this->run(scaler, 0.1f);
    EXPECT_EQ(this->particle.scale, 1.0f);
    scaler.setProperty("timings", "0:1 1:0");
    for (auto [ratio, scale] :
         {std::pair<float, float>{0.0f, 1.0f}, {0.5f, 0.5f}, {0.75f, 0.25f}, {1.0f, 0.0f}})
    {
        this->atLifeRatio(ratio);
        this->run(scaler, 0.1f);
        EXPECT_FLOAT_EQ(this->particle.scale, scale) << ratio;
    }
    hstring text = scaler.getProperty("timings");
    EXPECT_EQ(text, "0.000000:1.000000 1.000000:0.000000");
    scaler.setProperty("timings", "0.5:7");
    scaler.setProperty("timings", text);
    EXPECT_EQ(scaler.getProperty("timings"), text);
    EXPECT_EQ(log.take(), particletest::Lines({"WARNING: Incorrect usage of 'timings' for Affector!"}));
}

TEST_F(AffectorTest, attractorAndForceFieldReach)
{
    Space space;
    space.setProperty("position", "100,0,0");
    Affectors::Attractor attractor;
    attractor.setSpace(&space);
    attractor.setProperty("force", "10");
    // The centre is the attractor's position in its space.
    this->particle.position = Vector3(100.0f, 0.0f, 0.0f);
    this->run(attractor, 1.0f);
    EXPECT_EQ(this->movement, Vector3());
    this->particle.position = Vector3(95.0f, 0.0f, 0.0f);
    this->run(attractor, 1.0f);
    EXPECT_FLOAT_EQ(this->movement.x, 2.5f);
    EXPECT_EQ(this->movement.y, 0.0f);

    Affectors::ForceField field;
    field.setSpace(&space);
    field.setProperty("direction", "0,2,0");
    std::vector<float> pushes;
    for (float x : {100.0f, 105.0f, 109.0f, 111.0f})
    {
        this->particle.position = Vector3(x, 0.0f, 0.0f);
        this->run(field, 1.0f);
        pushes.push_back(this->movement.y);
    }
    std::vector<float> expected = {2.0f, 0.5f, 0.02f, 0.0f};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(pushes[i], expected[i], 1e-6f) << i;
}

TEST_F(AffectorTest, callbackAffectorKeepsFreeTextAfterTheWarning)
{
    LogCapture log;
    Affectors::CallbackAffector callback("c");
    EXPECT_TRUE(callback.setProperty("colour", "red"));
    EXPECT_EQ(callback.getProperty("colour"), "red");
    EXPECT_EQ(log.take(),
              particletest::Lines({"WARNING: Affector property 'colour' does not exist in 'c'!",
                                   "WARNING: Affector property 'colour' does not exist in 'c'!"}));
    this->run(callback, 1.0f);
    int calls = 0;
    callback.setCallback(
        [&](Affectors::CallbackAffector* self, Particle* p, float dt, Vector3& m)
        { calls += (self == &callback && p == &this->particle && dt == 1.0f && &m == &this->movement); });
    this->run(callback, 1.0f);
    EXPECT_EQ(calls, 1);
}
