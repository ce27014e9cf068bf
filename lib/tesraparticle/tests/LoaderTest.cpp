#include <tesraparticle/Affector.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/Texture.h>
#include <tesraparticle/affectors/Rotator.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;
using particletest::Lines;
using particletest::LogCapture;
using particletest::thrownText;

namespace
{
    class LoaderTest : public particletest::ParticleTest
    {
    protected:
        std::unique_ptr<System> load(const std::string& xml, const char* path = "sys.xml")
        {
            this->folder.write(path, xml);
            return std::unique_ptr<System>(loadSystem(path));
        }

        static std::vector<std::string> affectorNames(const AffectorContainer& container)
        {
            std::vector<std::string> names;
            for (Affector* affector : container.getAffectors())
                names.push_back(affector->getName());
            return names;
        }
    };
} // namespace

TEST_F(LoaderTest, brokenFilesThrowTheirTexts)
{
    std::vector<std::pair<std::string, std::string>> cases = {
        {"<S><Affector type='Bogus'/></S>", "Affector type 'Bogus does not exist!"},
        {"<S><Affector type='ResizerTimed' timings='0:1,1 1:0,0'/></S>",
         "Affector type 'ResizerTimedTimed does not exist!"},
        {"<S><Space><Affector reference='gone'/></Space></S>", "Affector reference 'gone' does not exist!"},
        {"<S><Space><Emitter><Texture reference='t'/></Emitter></Space></S>",
         "Texture reference 't' does not exist!"},
        // Without a render system every texture file reads as missing.
        {"<S><Space><Emitter><Texture filename='dot.png'/></Emitter></Space></S>",
         "Texture reference 'dot.png' does not exist!"},
        {"<S><Space position='1,2'/></S>", "Cannot convert string '1,2' to kavtypes::Vector3."},
    };
    int i = 0;
    for (const auto& [xml, text] : cases)
    {
        std::string path = "broken" + std::to_string(i++) + ".xml";
        EXPECT_EQ(thrownText([&, &file = xml] { this->load(file, path.c_str()); }), text) << xml;
    }
    EXPECT_EQ(getAffectorFactories().keys().joined(","),
              "Attractor,CallbackAffector,ColorChanger,ColorChangerTimed,ForceField,LinearForce,Resizer,"
              "ResizerTimed,"
              "Revolutor,Rotator,Scaler,ScalerTimed");
    EXPECT_EQ(thrownText([] { registerAffectorFactory("Rotator", nullptr); }),
              "Affector Factory 'Rotator' already exists!");
    std::unique_ptr<Affector> rotator(createAffector("Rotator", "r"));
    EXPECT_NE(dynamic_cast<Affectors::Rotator*>(rotator.get()), nullptr);
    EXPECT_EQ(createAffector("rotator", "r"), nullptr);
}

TEST_F(LoaderTest, referencesResolveWhereverTheDefinitionStands)
{
    LogCapture log;
    std::unique_ptr<System> system = this->load(R"(<S enabled='0' colour='x'>
        <Space name='a' fixed_time_step='0.5'>
          <Affector reference='late'/>
          <Affector type='Rotator' name='own' rotation_speed='30'/>
          <Affector reference='late'/>
          <Emitter name='e1' limit='3'/>
          <Space name='nested'/>
        </Space>
        <Emitter name='stray'/>
        <Affector type='Scaler' name='late' start_scale='2'/>
        <Affector type='Scaler' timings='0:1 1:2'/>
        <Space name='b'><Affector reference='own'/><Emitter name='e2'/><Emitter name='e3'/></Space>
      </S>)",
                                                "particles/fire.xml");
    EXPECT_EQ(system->getName(), "particles/fire");
    EXPECT_FALSE(system->isEnabled());
    ASSERT_EQ(system->getSpaces().size(), 2);
    Space* a = system->getSpace("a");
    Space* b = system->getSpace("b");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getFixedTimeStep(), 0.5f);
    EXPECT_EQ(affectorNames(*a), std::vector<std::string>({"late", "own"}));
    EXPECT_EQ(affectorNames(*b), std::vector<std::string>({"own"}));
    EXPECT_EQ(system->getAffectors().size(), 3);
    EXPECT_EQ(system->getAffectors()[2]->getProperty("timings"), "0.000000:1.000000 1.000000:2.000000");
    EXPECT_EQ(system->getAffector("own")->getProperty("rotation_speed"), "30.000000");
    harray<hstring> emitters;
    for (Emitter* emitter : system->getEmitters())
        emitters.push_back(emitter->getName());
    EXPECT_EQ(emitters.joined(","), "e1,e2,e3");
    EXPECT_EQ(system->getEmitter("e3")->getSpace(), b);
    EXPECT_EQ(log.take(), Lines({"Loading system: particles/fire.xml",
                                 "WARNING: Property 'colour' does not exist in ''!"}));
}

TEST_F(LoaderTest, systemsComeFromOneReadingAsIndependentCopies)
{
    LogCapture log;
    std::string xml =
        "<S><Space><Emitter emission_rate='10' limit='10'/><Affector type='Rotator'/></Space></S>";
    std::unique_ptr<System> first = this->load(xml);
    std::unique_ptr<System> second(loadSystem("sys.xml"));
    EXPECT_EQ(log.take(), Lines({"Loading system: sys.xml", "Already loaded: sys.xml"}));
    ASSERT_NE(first->getSpaces()[0], second->getSpaces()[0]);
    EXPECT_NE(first->getAffectors()[0], second->getAffectors()[0]);
    EXPECT_EQ(second->getSpaces()[0]->getAffectors(), second->getAffectors());
    first->update(0.5f);
    EXPECT_EQ(first->getSpaces()[0]->getParticles().size(), 5);
    EXPECT_EQ(second->getSpaces()[0]->getParticles().size(), 0);

    // A name caches under the name, whatever file the next call names.
    this->folder.write("other.xml", "<S><Space/><Space/></S>");
    std::unique_ptr<System> named(loadSystem("other.xml", "shared"));
    std::unique_ptr<System> again(loadSystem("sys.xml", "shared"));
    EXPECT_EQ(again->getSpaces().size(), 2);

    // Copies outlive the cache.
    clearCache();
    second->update(0.5f);
    EXPECT_EQ(second->getSpaces()[0]->getParticles().size(), 5);
    std::unique_ptr<System> third(loadSystem("sys.xml"));
    EXPECT_EQ(log.take(),
              Lines({"Loading system: other.xml", "Already loaded: other.xml", "Loading system: sys.xml"}));
}

TEST_F(LoaderTest, startAndStopLines)
{
    LogCapture log;
    destroy();
    EXPECT_EQ(getAffectorFactories().size(), 0);
    init();
    EXPECT_EQ(log.take(), Lines({"Destroying TesraParticle.", "Initializing TesraParticle."}));
}

TEST_F(LoaderTest, aFailedLoadIsNotCachedAsLoaded)
{
    LogCapture log;
    this->folder.write("bad.xml", "<S><Space><Affector reference='none'/></Space></S>");
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(thrownText([] { loadSystem("bad.xml"); }), "Affector reference 'none' does not exist!");
    EXPECT_EQ(log.take(), Lines({"Loading system: bad.xml", "Loading system: bad.xml"}));
    this->folder.write("bad.xml", "<S><Space/></S>");
    std::unique_ptr<System> fixed(loadSystem("bad.xml"));
    EXPECT_EQ(fixed->getSpaces().size(), 1);
}

TEST_F(LoaderTest, preUpdateAndFixedStepsAreBoundedWithAWarningNamingTheFile)
{
    LogCapture log;
    std::unique_ptr<System> system =
        this->load("<S><Space name='a' pre_update='100000000' fixed_time_step='0.000000001'>"
                   "<Emitter emission_rate='10' limit='5'/></Space>"
                   "<Space name='b' pre_update='60' fixed_time_step='0.001'/>"
                   "<Space name='c' pre_update='nan' fixed_time_step='-1'/></S>",
                   "particles/slow.xml");
    Lines lines = log.take();
    EXPECT_EQ(
        Lines(lines.begin() + 1, lines.end()),
        (Lines{"WARNING: Space 'a' in 'particles/slow.xml': pre_update 1e+08 is above 60 seconds, using 60.",
               "WARNING: Space 'a' in 'particles/slow.xml': fixed_time_step 1e-09 is below 0.001 seconds, "
               "using 0.001."}));
    Space* space = system->getSpace("a");
    EXPECT_EQ(std::make_pair(space->getPreUpdate(), space->getFixedTimeStep()),
              std::make_pair(60.0f, 0.001f));
    EXPECT_EQ(system->getSpace("b")->getPreUpdate(), 60.0f);
    EXPECT_EQ(system->getSpace("c")->getFixedTimeStep(), -1.0f);
    // The first update runs the whole (bounded) pre-update: 600 runs of 0.05 s in steps of 1 ms.
    system->update(0.01f);
    EXPECT_NEAR(system->getEmitters()[0]->getTotalTime(), 30.05f, 0.1f);
    EXPECT_GT(system->getEmitters()[0]->getAlive(), 0);
}

TEST_F(LoaderTest, colorModeFactorsOutsideZeroToOneAreHeldWithAWarningNamingTheFile)
{
    struct Case
    {
        const char* factor;
        float held;
        const char* warning; // null: taken as it is
    };
    const Case cases[] = {
        {"0.5", 0.5f, nullptr},
        {"1e30", 1.0f, "color_mode_factor 1e+30 is outside 0 to 1, using 1."},
        {"1e7", 1.0f, "color_mode_factor 1e+07 is outside 0 to 1, using 1."},
        {"-3", 0.0f, "color_mode_factor -3 is outside 0 to 1, using 0."},
        {"nan", 0.0f, "color_mode_factor nan is outside 0 to 1, using 0."},
    };
    for (const Case& c : cases)
    {
        // A file each: a system is read once and handed out as copies.
        const std::string file = "particles/tint_" + std::string(c.factor) + ".xml";
        LogCapture log;
        std::unique_ptr<System> system =
            this->load(std::string("<S><Space><Emitter name='e' color_mode='lerp' color_mode_factor='") +
                           c.factor + "'/></Space></S>",
                       file.c_str());
        Lines lines = log.take();
        EXPECT_EQ(Lines(lines.begin() + 1, lines.end()),
                  c.warning == nullptr ? Lines()
                                       : Lines{"WARNING: Emitter 'e' in '" + file + "': " + c.warning})
            << c.factor;
        EXPECT_EQ(system->getEmitters()[0]->getColorModeFactor(), c.held) << c.factor;
    }
}
