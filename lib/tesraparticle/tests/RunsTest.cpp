#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <quortypes/util.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/ParticleQueue.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/affectors/Attractor.h>
#include <tesraparticle/affectors/CallbackAffector.h>
#include <tesraparticle/affectors/ColorChanger.h>
#include <tesraparticle/affectors/ColorChangerTimed.h>
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

namespace
{
    // The same affector, which a space must run one particle at a time: a derived class may have changed
    // update, so it does not take runs.
    template <class T> class OneAtATime : public T
    {
    public:
        OneAtATime() : T("") {}
    };

    typedef std::vector<std::pair<const char*, const char*>> Properties;

    struct AffectorRecipe
    {
        std::function<Affector*(bool oneAtATime)> make;
        Properties properties;
    };

    template <class T> AffectorRecipe affector(Properties properties)
    {
        return {[](bool oneAtATime) -> Affector* { return oneAtATime ? new OneAtATime<T>() : new T(""); },
                properties};
    }

    Emitter* addEmitter(Space& space, const Properties& properties)
    {
        Emitter* emitter = new Emitter();
        space.addEmitter(emitter);
        for (auto [name, value] : properties)
            emitter->setProperty(name, value);
        return emitter;
    }

    // The affectors are owned by the returned list, which must outlive the space's updates.
    std::vector<std::unique_ptr<Affector>>
    addAffectors(Space& space, const std::vector<AffectorRecipe>& recipes, bool oneAtATime)
    {
        std::vector<std::unique_ptr<Affector>> affectors;
        for (const AffectorRecipe& recipe : recipes)
        {
            affectors.emplace_back(recipe.make(oneAtATime));
            for (auto [name, value] : recipe.properties)
                affectors.back()->setProperty(name, value);
            space.addAffector(affectors.back().get());
        }
        return affectors;
    }

    // Every field of every particle, front to back, and the live counts: equal texts are equal bits.
    std::string snapshot(const Space& space)
    {
        std::string text =
            std::to_string(space.getParticles().size()) + " " + std::to_string(space.getAlive());
        for (Particle* p : space.getParticles())
        {
            float fields[] = {p->timer,      p->life,        p->position.x,  p->position.y,
                              p->position.z, p->direction.x, p->direction.y, p->direction.z,
                              p->size.x,     p->size.y,      p->scale,       p->angle};
            unsigned int bits[sizeof(fields) / sizeof(float)];
            std::memcpy(bits, fields, sizeof(fields));
            for (unsigned int b : bits)
                text += " " + std::to_string(b);
            text += " " + std::to_string(p->color.toUInt());
        }
        return text;
    }

    // Seeded runs of a space with two emitters of mixed lives (so that particles die behind live ones) and
    // the given affectors, journalled after every update.
    std::vector<std::string> simulate(const std::vector<AffectorRecipe>& specs, bool oneAtATime)
    {
        quortypes::seedRandom(7);
        System system;
        Space* space = new Space("space");
        system.addSpace(space);
        space->setProperty("position", "3,-2,0");
        for (const Properties& emitterProperties : {Properties{{"type", "Box"},
                                                               {"dimensions", "300,200,40"},
                                                               {"emission_rate", "900"},
                                                               {"limit", "700"},
                                                               {"life", "0.1;1.2"},
                                                               {"direction", "-40,-30,-5;40,30,5"},
                                                               {"size", "0.5,0.5;2,3"},
                                                               {"scale", "0.5;2"},
                                                               {"angle", "0;90"}},
                                                    Properties{{"type", "Sphere"},
                                                               {"dimensions", "120,120,120"},
                                                               {"emission_rate", "300"},
                                                               {"limit", "200"},
                                                               {"life", "-0.5;3"}}})
            addEmitter(*space, emitterProperties);
        std::vector<std::unique_ptr<Affector>> affectors = addAffectors(*space, specs, oneAtATime);
        std::vector<std::string> journal;
        for (int i = 0; i < 45; ++i)
        {
            space->update(i % 3 == 0 ? 0.05f : 1.0f / 30.0f);
            journal.push_back(snapshot(*space));
        }
        space->reset();
        space->update(0.1f);
        journal.push_back(snapshot(*space));
        return journal;
    }

    class RunsTest : public particletest::ParticleTest
    {
    };
} // namespace

TEST_F(RunsTest, affectorsOverRunsGiveTheParticlesOfOneParticleAtATime)
{
    AffectorRecipe force = affector<Affectors::LinearForce>({{"direction", "0.5,-9.8,0.25"}});
    AffectorRecipe randomForce =
        affector<Affectors::LinearForce>({{"direction", "1,-3,0"}, {"randomness", "0.5;1.5"}});
    AffectorRecipe scaler = affector<Affectors::Scaler>({{"start_scale", "2.5"}, {"end_scale", "0.1"}});
    AffectorRecipe colors =
        affector<Affectors::ColorChanger>({{"start_color", "10C8FF00"}, {"end_color", "FF00804D"}});
    AffectorRecipe fader = affector<Affectors::ColorChanger>({});
    AffectorRecipe attractor =
        affector<Affectors::Attractor>({{"position", "10,5,0"}, {"radius", "150"}, {"force", "30"}});
    AffectorRecipe oddAttractor = affector<Affectors::Attractor>(
        {{"radius", "90"}, {"force", "-12"}, {"exponent", "0.7"}, {"randomness", "0.2;2"}});
    AffectorRecipe negativeAttractor =
        affector<Affectors::Attractor>({{"radius", "200"}, {"exponent", "-3"}});
    AffectorRecipe field = affector<Affectors::ForceField>({{"radius", "120"}, {"direction", "4,1,-2"}});
    AffectorRecipe revolutor =
        affector<Affectors::Revolutor>({{"radius", "160"}, {"axis", "0,0,1"}, {"evolution_speed", "0.3"}});
    AffectorRecipe rotator = affector<Affectors::Rotator>({{"rotation_speed", "45"}});
    AffectorRecipe resizer = affector<Affectors::Resizer>({{"start_size", "1,2"}, {"end_size", "3,0.5"}});
    AffectorRecipe timedColors =
        affector<Affectors::ColorChangerTimed>({{"timings", "0:FF000000 0.4:00FF00FF 1:0000FF80"}});
    AffectorRecipe timedScale = affector<Affectors::ScalerTimed>({{"timings", "0:0.2 0.5:3 1:1"}});
    AffectorRecipe timedSize = affector<Affectors::ResizerTimed>({{"timings", "0:1,1 1:0,4"}});
    AffectorRecipe untimedScale = affector<Affectors::ScalerTimed>({});

    // The last two sets have two affectors that draw random numbers: those run one particle at a time
    // either way.
    std::vector<std::pair<const char*, std::vector<AffectorRecipe>>> sets = {
        {"the four of the benchmark", {force, scaler, colors, attractor}},
        {"one random force among all kinds",
         {randomForce, fader, negativeAttractor, field, revolutor, rotator, resizer, timedColors, timedScale,
          timedSize, untimedScale}},
        {"one random attractor", {scaler, oddAttractor, colors, timedScale}},
        {"none", {}},
        {"two random", {randomForce, oddAttractor, colors}},
        {"two random, the same affector twice", {oddAttractor, scaler, oddAttractor}},
    };
    for (auto& [name, specs] : sets)
    {
        std::vector<std::string> runs = simulate(specs, false);
        std::vector<std::string> single = simulate(specs, true);
        ASSERT_EQ(runs.size(), single.size());
        for (size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i], single[i]) << name << ", update " << i;
        // The journal is not trivially equal: particles were born, moved and died.
        std::set<std::string> distinct(runs.begin(), runs.end());
        EXPECT_GT(distinct.size(), 40u) << name;
    }
}

TEST_F(RunsTest, affectorsOverFourParticlesAtOnceGiveTheParticlesOfOneParticleAtATime)
{
    // The pull's exponents by squaring, by division and by the power function, falloff without exponent,
    // colours that saturate and scales that grow, all without random numbers, so that each affector takes
    // its four-particle path; a pull centred on the emitter reaches particles all but on its centre.
    AffectorRecipe scaler = affector<Affectors::Scaler>({{"start_scale", "0.3"}, {"end_scale", "4"}});
    AffectorRecipe colors =
        affector<Affectors::ColorChanger>({{"start_color", "FFFFFFFF"}, {"end_color", "80FF10C0"}});
    AffectorRecipe force =
        affector<Affectors::LinearForce>({{"direction", "-3,2.5,1"}, {"randomness", "0.75"}});
    std::vector<std::pair<const char*, std::vector<AffectorRecipe>>> sets = {
        {"fractional exponent",
         {scaler, affector<Affectors::Attractor>({{"radius", "120"}, {"exponent", "0.7"}, {"force", "5"}}),
          colors}},
        {"exponent one, twice",
         {affector<Affectors::Attractor>({{"position", "3,-2,0"}, {"radius", "400"}, {"exponent", "1"}}),
          force, affector<Affectors::Attractor>({{"radius", "60"}, {"exponent", "1"}, {"force", "-7"}})}},
        {"large whole exponent",
         {colors,
          affector<Affectors::Attractor>({{"radius", "250"}, {"exponent", "-5"}, {"randomness", "2"}}),
          scaler}},
    };
    for (auto& [name, specs] : sets)
    {
        std::vector<std::string> runs = simulate(specs, false);
        std::vector<std::string> single = simulate(specs, true);
        ASSERT_EQ(runs.size(), single.size());
        for (size_t i = 0; i < runs.size(); ++i)
            EXPECT_EQ(runs[i], single[i]) << name << ", update " << i;
    }
}

TEST_F(RunsTest, livesThatAreNoNumberOrEndlessStepAlikeOverRuns)
{
    // Progress comes out NaN, 0 or 1 for such lives; colours must saturate NaN to 0 as one at a time.
    auto run = [](bool oneAtATime)
    {
        quortypes::seedRandom(3);
        Space space("space");
        Emitter* emitter = addEmitter(space, {{"type", "Box"},
                                              {"dimensions", "200,200,0"},
                                              {"emission_rate", "1e9"},
                                              {"limit", "30"},
                                              {"life", "0.5;2"}});
        std::vector<std::unique_ptr<Affector>> affectors = addAffectors(
            space,
            {affector<Affectors::ColorChanger>({{"start_color", "20FF8040"}, {"end_color", "FF10C0FF"}}),
             affector<Affectors::Scaler>({{"start_scale", "3"}}),
             affector<Affectors::Attractor>({{"radius", "300"}, {"exponent", "3"}})},
            oneAtATime);
        space.update(0.01f);
        emitter->setEnabled(false);
        const float odd[] = {NAN, INFINITY, -INFINITY, 0.0f, -1.0f, 1e-30f};
        for (int i = 0; i < space.getParticles().size(); i += 2)
            space.getParticles()[i]->life = odd[(i / 2) % 6];
        space.getParticles()[5]->timer = NAN;
        std::vector<std::string> journal;
        for (int i = 0; i < 6; ++i)
        {
            space.update(0.3f);
            journal.push_back(snapshot(space));
        }
        return journal;
    };
    EXPECT_EQ(run(false), run(true));
}

TEST_F(RunsTest, aSoleEmitterCountsItsLiveParticlesAsOneParticleAtATime)
{
    // Its limit binds, so that what it counts decides how many it emits; lives differ, so that particles
    // die behind live ones.
    auto run = [](bool oneAtATime)
    {
        quortypes::seedRandom(11);
        Space space("space");
        Emitter* emitter = addEmitter(space, {{"type", "Box"},
                                              {"dimensions", "100,100,0"},
                                              {"emission_rate", "400"},
                                              {"limit", "300"},
                                              {"life", "-0.2;1.5"}});
        std::unique_ptr<Affector> scaler(affector<Affectors::Scaler>({}).make(oneAtATime));
        space.addAffector(scaler.get());
        std::vector<std::string> journal;
        for (int i = 0; i < 40; ++i)
        {
            space.update(i % 4 == 0 ? 0.2f : 0.05f);
            journal.push_back(std::to_string(emitter->getAlive()) + " " + snapshot(space));
        }
        return journal;
    };
    std::vector<std::string> runs = run(false);
    EXPECT_EQ(runs, run(true));
    std::set<std::string> counts;
    for (const std::string& line : runs)
        counts.insert(line.substr(0, line.find(' ')));
    EXPECT_GT(counts.size(), 5u);
}

TEST_F(RunsTest, aCallbackAffectorSeesEachParticleBeforeTheNextOneIsTouched)
{
    // The callback may look at anything, so a space with one runs every affector over a particle before
    // the next particle: the particle after the current one still has the scale of the step before.
    Space space("space");
    Emitter* emitter = new Emitter();
    space.addEmitter(emitter);
    emitter->setProperty("emission_rate", "10");
    emitter->setProperty("life", "5");
    Affectors::Scaler scaler("scaler");
    Affectors::CallbackAffector watcher("watcher");
    std::string journal;
    watcher.setCallback(
        [&](Affectors::CallbackAffector*, Particle* particle, float, kavtypes::Vector3&)
        {
            const ParticleQueue& particles = space.getParticles();
            int index = 0;
            while (particles[index] != particle)
                ++index;
            journal += formatString("%.2f", particle->scale);
            if (index + 1 < particles.size())
                journal += formatString("/%.2f", particles[index + 1]->scale);
            journal += " ";
        });
    space.addAffector(&scaler);
    space.addAffector(&watcher);
    space.update(0.25f);
    journal += "| ";
    emitter->setEnabled(false);
    space.update(0.5f);
    space.update(0.5f);
    EXPECT_EQ(journal, "1.00 1.00 | 0.90/1.00 0.90 0.80/0.90 0.80 ");
}

TEST(ParticleQueueTest, particlesStayPutAndRunsCoverThemInOrder)
{
    ParticleQueue queue;
    std::vector<Particle*> added;
    for (int i = 0; i < ParticleQueue::BlockSize * 2 + 10; ++i)
    {
        added.push_back(queue.pushBack());
        added.back()->timer = (float)i;
    }
    queue.popFront(ParticleQueue::BlockSize - 3);
    for (int i = 0; i < ParticleQueue::BlockSize + 20; ++i)
    {
        added.push_back(queue.pushBack());
        added.back()->timer = (float)(ParticleQueue::BlockSize * 2 + 10 + i);
    }
    added.erase(added.begin(), added.begin() + ParticleQueue::BlockSize - 3);
    ASSERT_EQ(queue.size(), (int)added.size());
    std::vector<Particle*> seen(queue.begin(), queue.end());
    EXPECT_EQ(seen, added);
    for (int i = 0; i < queue.size(); ++i)
        EXPECT_EQ(queue[i], added[i]) << i;
    // Runs: side by side within, front to back, none empty, none longer than a block.
    std::vector<Particle*> walked;
    std::vector<int> lengths;
    queue.forEachRun(
        [&](Particle* first, int length)
        {
            lengths.push_back(length);
            for (int i = 0; i < length; ++i)
                walked.push_back(first + i);
        });
    EXPECT_EQ(walked, added);
    EXPECT_EQ(lengths, (std::vector<int>{3, ParticleQueue::BlockSize, ParticleQueue::BlockSize, 30}));
    // Popping more than there is empties the queue, which then starts over.
    queue.popFront(queue.size() + 5);
    EXPECT_EQ(queue.size(), 0);
    EXPECT_EQ(queue.begin(), queue.end());
    lengths.clear();
    queue.forEachRun([&](Particle*, int length) { lengths.push_back(length); });
    EXPECT_TRUE(lengths.empty());
    Particle* again = queue.pushBack();
    EXPECT_EQ(again->timer, 0.0f);
    EXPECT_EQ(again->life, 1.0f);
    EXPECT_EQ(queue[0], again);
    queue.clear();
    EXPECT_EQ(queue.size(), 0);
}
