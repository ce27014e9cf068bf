#include <set>
#include <tuple>

#include <quortypes/util.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;
using particletest::LogCapture;
using particletest::thrownText;

namespace
{
    class EmitterTest : public particletest::ParticleTest
    {
    protected:
        Space space;

        Emitter* addEmitter(std::initializer_list<std::pair<const char*, const char*>> properties)
        {
            Emitter* emitter = new Emitter();
            this->space.addEmitter(emitter);
            for (auto& property : properties)
                EXPECT_TRUE(emitter->setProperty(property.first, property.second)) << property.first;
            return emitter;
        }
    };
} // namespace

TEST_F(EmitterTest, firstUpdateSpreadsItsParticlesOverTheStep)
{
    this->addEmitter({{"emission_rate", "10"}, {"limit", "10"}, {"direction", "1,0,0"}});
    this->space.update(0.5f);
    std::vector<float> xs;
    for (Particle* particle : this->space.getParticles())
        xs.push_back(particle->position.x);
    ASSERT_EQ(xs.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(xs[i], 0.1f * i, 1e-6f);
}

TEST_F(EmitterTest, accumulatorWaitsForOnePeriodAndIsClearedAtTheLimit)
{
    Emitter* emitter = this->addEmitter({{"emission_rate", "10"}, {"limit", "3"}, {"life", "0.7"}});
    for (int i = 0; i < 2; ++i)
        this->space.update(0.04f);
    EXPECT_EQ(this->space.getParticles().size(), 0);
    EXPECT_NEAR(emitter->getEmissionAccumulator(), 0.08f, 1e-6f);
    this->space.update(0.04f);
    EXPECT_EQ(this->space.getParticles().size(), 1);
    EXPECT_EQ(emitter->getEmissionAccumulator(), 0.0f);

    // At the limit the time is not saved up: when all three die, only the new step's share comes out.
    this->space.reset();
    this->space.update(0.3f);
    EXPECT_EQ(this->space.getParticles().size(), 3);
    this->space.update(0.6f);
    EXPECT_EQ(emitter->getEmissionAccumulator(), 0.0f);
    this->space.update(0.2f);
    EXPECT_EQ(this->space.getParticles().size(), 2);

    // A rate far past what an int holds still counts up to the limit.
    this->space.reset();
    emitter->setProperty("emission_rate", "1e30");
    this->space.update(0.5f);
    EXPECT_EQ(this->space.getParticles().size(), 3);
}

TEST_F(EmitterTest, scheduleOfDelayDurationAndLoops)
{
    // Each step writes 1 when it emitted something. Loops far shorter than the spacing of the loop time's
    // float are taken out all at once, their count stopping at the int's range: an endless emitter runs on
    // and a counted one ends.
    std::vector<std::tuple<const char*, const char*, const char*, float, std::string>> cases = {
        {"1", "0.5", "2", 0.25f, "1110011110000000"},
        {"-1", "0", "-1", 0.5f, "11111"},
        {"0.0000000001", "0", "-1", 1.0f, "11111111111111111111"},
        {"0.0000000001", "0.0000000001", "-1", 1.0f, "11111111111111111111"},
        {"0.0000000001", "0", "2147483647", 1.0f, "00000000000000000000"},
        {"0.0000000001", "0.0000000001", "5", 1.0f, "00000000000000000000"},
        {"0.3", "0", "100", 1.0f, "11111111111111111111"},
        {"0.3", "0", "48", 1.0f, "11111111111111000000"},
    };
    for (auto& [duration, loopDelay, loops, step, expected] : cases)
    {
        this->space.reset();
        Emitter* emitter = this->addEmitter({{"emission_rate", "8"},
                                             {"limit", "1000"},
                                             {"life", "100"},
                                             {"duration", duration},
                                             {"loop_delay", loopDelay},
                                             {"loops", loops}});
        std::string journal;
        for (size_t i = 0; i < expected.size(); ++i)
        {
            int before = emitter->getParticles().size();
            this->space.update(step);
            journal += emitter->getParticles().size() > before ? '1' : '0';
        }
        EXPECT_EQ(journal, expected) << duration << " " << loopDelay << " " << loops;
        emitter->setEnabled(false);
    }
    Emitter* delayed = this->addEmitter({{"emission_rate", "8"}, {"limit", "1000"}, {"delay", "2"}});
    std::string journal;
    for (int i = 0; i < 5; ++i)
    {
        int before = delayed->getParticles().size();
        this->space.update(0.5f);
        journal += std::to_string(delayed->getParticles().size() - before);
    }
    EXPECT_EQ(journal, "00004");
}

TEST_F(EmitterTest, hollowBoxStartsOnItsCorners)
{
    quortypes::seedRandom(7);
    this->space.setProperty("position", "10,0,0");
    this->addEmitter(
        {{"type", "HollowBox"}, {"dimensions", "4,2,6"}, {"emission_rate", "1000"}, {"limit", "200"}});
    this->space.update(0.1f);
    ASSERT_EQ(this->space.getParticles().size(), 100);
    std::set<std::tuple<float, float, float>> corners;
    for (Particle* p : this->space.getParticles())
    {
        EXPECT_EQ(std::fabs(p->position.x - 10.0f), 2.0f);
        EXPECT_EQ(std::fabs(p->position.y), 1.0f);
        EXPECT_EQ(std::fabs(p->position.z), 3.0f);
        corners.insert({p->position.x, p->position.y, p->position.z});
    }
    EXPECT_EQ(corners.size(), 8u);
}

TEST_F(EmitterTest, propertyTextsAndRefusedValues)
{
    quortypes::seedRandom(3);
    LogCapture log;
    Emitter* emitter = this->addEmitter({{"name", "e"}, {"life", "2"}});
    EXPECT_EQ(emitter->getLife().min, 2.0f);
    EXPECT_EQ(emitter->getLife().max, 2.0f);
    emitter->setProperty("life", "1;3");
    emitter->setProperty("emission_rate", "1000");
    emitter->setProperty("limit", "100");
    this->space.update(0.1f);
    float low = 3.0f, high = 1.0f;
    for (Particle* p : this->space.getParticles())
        low = std::min(low, p->life), high = std::max(high, p->life);
    EXPECT_GE(low, 1.0f);
    EXPECT_LT(high, 3.0f);
    EXPECT_GT(high - low, 1.5f);

    emitter->setProperty("type", "Cube");
    emitter->setProperty("limit", "-1");
    emitter->setProperty("limit", "100001");
    EXPECT_FALSE(emitter->setProperty("colour", "1"));
    EXPECT_EQ(emitter->getType(), Emitter::Type::Point);
    EXPECT_EQ(emitter->getLimit(), 100);
    EXPECT_EQ(log.take(),
              particletest::Lines({"WARNING: Value 'Cube' does not exist for property 'type' in 'e'!",
                                   "WARNING: Value '-1' does not exist for property 'limit' in 'e'!",
                                   "WARNING: Value '100001' does not exist for property 'limit' in 'e'!",
                                   "WARNING: Property 'colour' does not exist in 'e'!"}));

    EXPECT_EQ(thrownText([&] { emitter->setProperty("dimensions", "1,2"); }),
              "Cannot convert string '1,2' to kavtypes::Vector3.");
    EXPECT_EQ(thrownText([] { str_to_gvec2("1,2,3"); }),
              "Cannot convert string '1,2,3' to kavtypes::Vector2.");
    kavtypes::Vector2 read = str_to_gvec2(" 1 , 2 ");
    EXPECT_EQ(read, kavtypes::Vector2(1.0f, 2.0f));
}
