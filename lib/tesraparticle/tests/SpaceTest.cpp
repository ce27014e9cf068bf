#include <algorithm>

#include <quortypes/util.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/affectors/CallbackAffector.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;

namespace
{
    class SpaceTest : public particletest::ParticleTest
    {
    protected:
        Space* space = new Space("s");
        System system;

        void SetUp() override
        {
            ParticleTest::SetUp();
            this->system.addSpace(this->space);
        }

        Emitter* addEmitter(const char* rate, const char* limit, const char* life)
        {
            Emitter* emitter = new Emitter();
            this->space->addEmitter(emitter);
            emitter->setProperty("emission_rate", rate);
            emitter->setProperty("limit", limit);
            emitter->setProperty("life", life);
            return emitter;
        }
    };
} // namespace

TEST_F(SpaceTest, fixedStepsKeepTheRemainder)
{
    Emitter* emitter = this->addEmitter("0", "1", "1");
    this->space->setProperty("fixed_time_step", "0.1");
    this->space->update(0.25f);
    EXPECT_NEAR(emitter->getTotalTime(), 0.2f, 1e-6f);
    EXPECT_NEAR(this->space->getTimeRemainder(), 0.05f, 1e-6f);
}

TEST_F(SpaceTest, preUpdateRunsTenStepsASecondAndTheRest)
{
    this->addEmitter("40", "1", "100");
    this->space->setProperty("pre_update", "1");
    std::vector<std::string> journal;
    Affectors::CallbackAffector watcher;
    watcher.setCallback(
        [&](Affectors::CallbackAffector*, Particle* particle, float dt, kavtypes::Vector3&)
        {
            if (particle == this->space->getParticles()[0])
                journal.push_back(hstring(formatString("%.2f", dt)));
        });
    this->space->addAffector(&watcher);
    this->space->update(0.1f);
    std::vector<std::string> expected = {"0.00"};
    expected.insert(expected.end(), 10, "0.05");
    expected.push_back("0.10");
    EXPECT_EQ(journal, expected);
}

TEST_F(SpaceTest, deadParticlesLeaveOnlyFromTheFront)
{
    Emitter* older = this->addEmitter("2", "1", "2");
    Emitter* younger = this->addEmitter("2", "1", "0.5");
    this->space->update(1.0f);
    ASSERT_EQ(this->space->getParticles().size(), 2);
    older->setEnabled(false);
    younger->setEnabled(false);
    this->space->update(0.6f);
    EXPECT_TRUE(this->space->getParticles()[1]->isDead());
    EXPECT_EQ(this->space->getParticles().size(), 2);
    EXPECT_EQ(this->space->getAlive(), 1);
    this->space->update(1.5f);
    EXPECT_EQ(this->space->getParticles().size(), 0);
}

TEST_F(SpaceTest, disabledSpacesAndSystemsNeitherAgeNorEmit)
{
    Emitter* emitter = this->addEmitter("10", "10", "5");
    this->space->setEnabled(false);
    this->space->update(1.0f);
    EXPECT_EQ(this->space->getParticles().size(), 0);
    this->space->setEnabled(true);
    this->system.update(0.5f);
    ASSERT_EQ(this->space->getParticles().size(), 5);
    this->system.setEnabled(false);
    this->system.update(1.0f);
    EXPECT_EQ(this->space->getParticles().size(), 5);
    EXPECT_EQ(this->space->getParticles()[0]->timer, 0.0f);
    EXPECT_EQ(emitter->getTotalTime(), 0.5f);
}

TEST_F(SpaceTest, particlesBornDeadLeaveTheirEmitterBeforeTheSpaceFreesThem)
{
    // "O.5" reads as 0; "-1;2" gives some lives at or below 0.
    for (const char* life : {"0", "-1", "-1;2", "O.5"})
    {
        this->space->reset();
        Emitter* emitter = this->addEmitter("20", "10", life);
        for (int i = 0; i < 6; ++i)
        {
            this->space->update(0.25f);
            for (Particle* particle : emitter->getParticles())
                EXPECT_NE(std::find(this->space->getParticles().begin(), this->space->getParticles().end(),
                                    particle),
                          this->space->getParticles().end())
                    << life;
            this->system.draw(0.0f, 0.0f, tesra::Color(255, 255, 255, 255));
        }
        emitter->setProperty("enabled", "0");
    }
    // Born dead behind a live older particle: kept by the space (skipped) until it reaches the front; its
    // emitter lets go of it at its next update.
    this->space->reset();
    Emitter* lasting = this->addEmitter("4", "1", "10");
    this->space->update(0.5f);
    Emitter* stillborn = this->addEmitter("4", "1", "0");
    this->space->update(0.5f);
    EXPECT_EQ(this->space->getParticles().size(), 2);
    this->space->update(0.5f);
    EXPECT_EQ(this->space->getParticles().size(), 3);
    EXPECT_EQ(lasting->getParticles()[0], this->space->getParticles()[0]);
    EXPECT_EQ(stillborn->getParticles().size(), 1);
    EXPECT_EQ(stillborn->getParticles()[0], this->space->getParticles()[2]);
}

// A lasting glow made first no longer keeps every particle made behind it: after many steps the store holds
// a bounded number of records, the glow lives on where it was, and every emitter lists records of the store.
TEST_F(SpaceTest, deadParticlesBehindALastingOneAreFreedAfterManySteps)
{
    struct Case
    {
        const char* name;
        const char* rate;
        const char* limit;
        const char* life;
        int steps;
        int maxRecords;
    };
    const Case cases[] = {
        {"sparks", "400", "100", "0.2", 3000, 2 * 4 * ParticleQueue::BlockSize},
        {"born dead", "1e9", "5000", "0", 200, 4 * 5000},
    };
    for (const Case& c : cases)
    {
        this->space->reset();
        for (Emitter* emitter : this->space->getEmitters())
            emitter->setEnabled(false);
        Emitter* glow = this->addEmitter("10", "1", "1000000");
        Emitter* behind = this->addEmitter(c.rate, c.limit, c.life);
        int most = 0;
        for (int step = 0; step < c.steps; ++step)
        {
            this->space->update(0.1f);
            most = std::max(most, this->space->getParticles().size());
        }
        EXPECT_LE(most, c.maxRecords) << c.name;
        ASSERT_EQ(glow->getParticles().size(), 1) << c.name;
        EXPECT_EQ(glow->getParticles()[0], this->space->getParticles()[0]) << c.name;
        EXPECT_NEAR(glow->getParticles()[0]->timer, c.steps * 0.1f - 0.1f, 0.5f) << c.name;
        for (Emitter* emitter : {glow, behind})
            for (Particle* particle : emitter->getParticles())
                EXPECT_NE(std::find(this->space->getParticles().begin(), this->space->getParticles().end(),
                                    particle),
                          this->space->getParticles().end())
                    << c.name;
    }
}
