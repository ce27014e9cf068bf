#include <tesraparticle/Emitter.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>

#include <gmock/gmock.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;
using particletest::Lines;
using particletest::LogCapture;
using testing::ElementsAre;
using testing::MatchesRegex;

namespace
{
    // The work of a space update is counted in particle steps (Space::getWork); these bound what a file
    // can make one frame do.
    const long long maxUpdateWork = 250000;
    const long long maxPreUpdateWork = 1000000;

    class StepBoundsTest : public particletest::ParticleTest
    {
    protected:
        std::unique_ptr<System> load(const std::string& xml)
        {
            this->folder.write("particles/heavy.xml", xml);
            return std::unique_ptr<System>(loadSystem("particles/heavy.xml"));
        }
        // A minute's pre-update in 1 ms steps of a space that makes 100,000 particles a step, living `life`.
        std::unique_ptr<System> loadCrowded(const std::string& life)
        {
            return this->load("<System><Space name='s' pre_update='60' fixed_time_step='0.001'><Emitter "
                              "emission_rate='1e9' limit='100000' life='" +
                              life + "'/></Space></System>");
        }
    };

    // The pre-update stops within one step of its bound, the update's own steps within one of theirs.
    const long long maxFirstCrowdedUpdateWork = maxPreUpdateWork + maxUpdateWork + 3 * 100016;

    // Both bounds of a crowded space's first update, each reported.
    auto bothBoundsReported()
    {
        return ElementsAre(MatchesRegex("WARNING: Space 's' in 'particles/heavy.xml': pre_update 60 is too "
                                        "much work for one frame, stopped early."),
                           MatchesRegex("WARNING: Space 's' in 'particles/heavy.xml': 1[56] steps of 0.001 "
                                        "seconds in one update are too much work, running [0-9]+."));
    }
} // namespace

TEST_F(StepBoundsTest, aTinyStepSetAtRunTimeRunsAtMostAHundredStepsAnUpdate)
{
    std::unique_ptr<System> system = this->load("<System><Space name='s'><Emitter emission_rate='10' "
                                                "limit='5' life='100'/></Space></System>");
    Space* space = system->getSpace("s");
    space->setFixedTimeStep(0.000001f);
    LogCapture log;
    system->update(0.016f);
    EXPECT_LE(space->getWork(), 100 * 21);
    EXPECT_THAT(log.take(),
                ElementsAre(MatchesRegex("WARNING: Space 's' in 'particles/heavy.xml': 1[56][0-9]* steps "
                                         "of 1e-06 seconds in one update are too much work, running 100.")));
    // The time beyond the bound is dropped, not owed to later updates; the warning comes once.
    EXPECT_LT(space->getTimeRemainder(), 0.000001f);
    long long before = space->getWork();
    system->update(0.016f);
    EXPECT_LE(space->getWork() - before, 100 * 21);
    EXPECT_GT(space->getWork() - before, 50);
    EXPECT_TRUE(log.take().empty());
}

TEST_F(StepBoundsTest, aCrowdedPreUpdateStopsAtItsBoundAndTheSpaceStillRuns)
{
    std::unique_ptr<System> system = this->loadCrowded("100");
    Space* space = system->getSpace("s");
    LogCapture log;
    system->update(0.016f);
    EXPECT_LE(space->getWork(), maxFirstCrowdedUpdateWork);
    EXPECT_EQ(space->getParticles().size(), 100000);
    EXPECT_EQ(space->getAlive(), 100000);
    EXPECT_THAT(log.take(), bothBoundsReported());
    long long before = space->getWork();
    system->update(0.016f);
    EXPECT_LE(space->getWork() - before, maxUpdateWork + 100016);
}

TEST_F(StepBoundsTest, particlesBornDeadCountAsWorkSoTheBoundsStillHold)
{
    std::unique_ptr<System> system = this->loadCrowded("0");
    Space* space = system->getSpace("s");
    LogCapture log;
    system->update(0.016f);
    EXPECT_LE(space->getWork(), maxFirstCrowdedUpdateWork);
    EXPECT_EQ(space->getParticles().size(), 0);
    EXPECT_THAT(log.take(), bothBoundsReported());
}

TEST_F(StepBoundsTest, lightSpacesKeepEveryStep)
{
    std::unique_ptr<System> system = this->load(
        "<System><Space name='s' pre_update='60' fixed_time_step='0.001'><Emitter emission_rate='100' "
        "limit='10' life='100'/></Space></System>");
    Space* space = system->getSpace("s");
    LogCapture log;
    // 600 runs of 0.05 s in 1 ms steps, then 90 steps of the update itself.
    system->update(0.0905f);
    EXPECT_NEAR(space->getEmitters()[0]->getTotalTime(), 30.0f + 0.09f, 0.05f);
    space->setFixedTimeStep(0.01f);
    float before = space->getEmitters()[0]->getTotalTime();
    system->update(0.995f);
    EXPECT_NEAR(space->getEmitters()[0]->getTotalTime() - before, 0.99f, 0.001f);
    EXPECT_TRUE(log.take().empty());
}
