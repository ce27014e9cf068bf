#include <cmath>
#include <vector>

#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/affectors/Attractor.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;
using kavtypes::Vector3;

namespace
{
    bool finite(const Vector3& v)
    {
        return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    }

    // A pull whose exponent is negative grows without end towards the rim; a particle sitting on the rim
    // must not be thrown to infinity (or to NaN) but stay where it is, one at a time or in runs.
    class AttractorRimTest : public particletest::ParticleTest,
                             public testing::WithParamInterface<const char*>
    {
    protected:
        Space space;
        Affectors::Attractor attractor;

        void SetUp() override
        {
            ParticleTest::SetUp();
            this->attractor.setSpace(&this->space);
            this->attractor.setProperty("radius", "10");
            this->attractor.setProperty("exponent", GetParam());
        }
    };
} // namespace

TEST_P(AttractorRimTest, aParticleOnTheRimStaysAndOthersMoveFinitely)
{
    Particle particle;
    Vector3 movement;
    particle.position = Vector3(10.0f, 0.0f, 0.0f);
    this->attractor.update(&particle, 1.0f, movement);
    EXPECT_EQ(movement, Vector3());
    particle.position = Vector3(5.0f, 0.0f, 0.0f);
    this->attractor.update(&particle, 1.0f, movement);
    EXPECT_TRUE(finite(movement));
    EXPECT_LT(movement.x, 0.0f);

    // Runs long enough for the four-wide path and its tail, the rim in every lane position.
    ASSERT_TRUE(this->attractor.updatesRuns());
    for (int rim = 0; rim < 6; ++rim)
    {
        std::vector<Particle> particles(6);
        std::vector<Vector3> movements(particles.size() + 1);
        for (int i = 0; i < (int)particles.size(); ++i)
        {
            particles[i].position = Vector3(i == rim ? 0.0f : 3.0f + i, i == rim ? -10.0f : 0.0f, 0.0f);
        }
        this->attractor.updateRun(particles.data(), (int)particles.size(), 1.0f, movements.data());
        for (int i = 0; i < (int)particles.size(); ++i)
        {
            ASSERT_TRUE(finite(movements[i])) << "rim " << rim << ", particle " << i;
            if (i == rim)
                EXPECT_EQ(movements[i], Vector3()) << rim;
            else
                EXPECT_LT(movements[i].x, 0.0f) << "rim " << rim << ", particle " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Exponents, AttractorRimTest, testing::Values("-2", "-0.5", "-1"));
