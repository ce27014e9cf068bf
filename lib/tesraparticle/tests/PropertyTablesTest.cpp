#include <functional>
#include <memory>
#include <vector>

#include <tesraparticle/Emitter.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/affectors/Attractor.h>
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
using particletest::LogCapture;

// Property lists, the texts properties read back as, and the answers for names a class does not have are
// what particle files and scripts rely on: each kind's are pinned here.
namespace
{
    typedef PropertyInfo P;

    class PropertyTablesTest : public particletest::ParticleTest
    {
    };

    // A value set through setProperty and the text getProperty gives for it.
    struct Value
    {
        const char* name;
        const char* set;
        const char* read;
    };

    struct AffectorCase
    {
        const char* kind;
        std::function<Affector*()> make;
        harray<PropertyInfo> described; // after the affector's own "name" and "randomness"
        std::vector<Value> values;
    };

    const harray<PropertyInfo> spaceAffectorRows = {P("position", P::COLOR), P("radius", P::FLOAT)};

    const std::vector<AffectorCase> affectorCases = {
        {"Attractor",
         [] { return new Affectors::Attractor("a"); },
         spaceAffectorRows + harray<PropertyInfo>({P("force", P::FLOAT), P("exponent", P::FLOAT)}),
         {{"force", "2.5", "2.500000"},
          {"exponent", "-1", "-1.000000"},
          {"position", "1,2,3", "1.000000,2.000000,3.000000"},
          {"radius", "7", "7.000000"}}},
        {"ForceField",
         [] { return new Affectors::ForceField("a"); },
         spaceAffectorRows + harray<PropertyInfo>({P("direction", P::COLOR)}),
         {{"direction", "0,-1,0.5", "0.000000,-1.000000,0.500000"}}},
        {"Revolutor",
         [] { return new Affectors::Revolutor("a"); },
         spaceAffectorRows + harray<PropertyInfo>({P("axis", P::COLOR), P("evolution_speed", P::FLOAT),
                                                   P("clockwise", P::BOOL)}),
         {{"axis", "0,0,1", "0.000000,0.000000,1.000000"},
          {"evolution_speed", "3", "3.000000"},
          {"clockwise", "1", "1"},
          {"clockwise", "0", "0"}}},
        {"LinearForce",
         [] { return new Affectors::LinearForce("a"); },
         {P("direction", P::COLOR)},
         {{"direction", "1,0,0", "1.000000,0.000000,0.000000"}}},
        {"Rotator",
         [] { return new Affectors::Rotator("a"); },
         {P("rotation_speed", P::FLOAT)},
         {{"rotation_speed", "90", "90.000000"}}},
        {"ColorChanger",
         [] { return new Affectors::ColorChanger("a"); },
         {P("start_color", P::COLOR_RANGE), P("end_color", P::COLOR_RANGE)},
         {{"start_color", "FF000080", "FF000080"}, {"end_color", "00FF00", "00FF00FF"}}},
        {"Scaler",
         [] { return new Affectors::Scaler("a"); },
         {P("start_scale", P::FLOAT), P("end_scale", P::FLOAT)},
         {{"start_scale", "0.25", "0.250000"}, {"end_scale", "4", "4.000000"}}},
        {"Resizer",
         [] { return new Affectors::Resizer("a"); },
         {P("start_size", P::GVEC2), P("end_size", P::GVEC2)},
         {{"start_size", "1,2", "1.000000,2.000000"}, {"end_size", "3,4", "3.000000,4.000000"}}},
        {"ScalerTimed", [] { return new Affectors::ScalerTimed("a"); }, {P("timings", P::TIMINGS_2)}, {}},
        {"ColorChangerTimed",
         [] { return new Affectors::ColorChangerTimed("a"); },
         {P("timings", P::TIMINGS_1)},
         {}},
        {"ResizerTimed", [] { return new Affectors::ResizerTimed("a"); }, {P("timings", P::TIMINGS_3)}, {}},
    };
} // namespace

TEST_F(PropertyTablesTest, affectorsListReadAndSetTheirProperties)
{
    for (const AffectorCase& c : affectorCases)
    {
        SCOPED_TRACE(c.kind);
        std::unique_ptr<Affector> affector(c.make());
        EXPECT_EQ(affector->getPropertyDescriptions(),
                  harray<PropertyInfo>({P("name", P::STRING), P("randomness", P::FLOAT_RANGE)}) +
                      c.described);
        std::vector<Value> values = c.values;
        values.push_back({"name", "other", "other"});
        values.push_back({"randomness", "0.5;2", "0.500000;2.000000"});
        values.push_back({"randomness", "1.5", "1.500000"});
        for (const Value& value : values)
        {
            SCOPED_TRACE(value.name);
            EXPECT_TRUE(affector->setProperty(value.name, value.set));
            EXPECT_EQ(affector->getProperty(value.name), hstring(value.read));
        }
    }
}

TEST_F(PropertyTablesTest, unknownAffectorPropertiesWarnEachWay)
{
    LogCapture log;
    Affectors::Attractor attractor("pull");
    EXPECT_FALSE(attractor.setProperty("colour", "1"));
    EXPECT_EQ(attractor.getProperty("colour"), "");
    Affectors::ScalerTimed scaler("grow");
    EXPECT_FALSE(scaler.setProperty("visible", "1"));
    EXPECT_EQ(log.take(),
              particletest::Lines({"WARNING: Affector property 'colour' does not exist in 'pull'!",
                                   "WARNING: Affector property 'colour' does not exist in 'pull'!",
                                   "WARNING: Affector property 'visible' does not exist in 'grow'!"}));
}

TEST_F(PropertyTablesTest, spacesAndEmittersListTheirBasesFirst)
{
    const harray<PropertyInfo> active = {P("name", P::STRING), P("visible", P::BOOL), P("enabled", P::BOOL),
                                         P("position", P::COLOR)};
    Space space("s");
    EXPECT_EQ(space.getPropertyDescriptions(),
              active + harray<PropertyInfo>(
                           {P("pre_update", P::FLOAT), P("fixed_time_step", P::FLOAT), P("up", P::COLOR)}));
    Emitter emitter("e");
    harray<PropertyInfo> described = emitter.getPropertyDescriptions();
    ASSERT_EQ(described.size(), active.size() + 18);
    EXPECT_EQ(described.sub(0, active.size()), active);
    // The emitter names "name" again among its own.
    EXPECT_EQ(described[4], P("name", P::STRING));
    EXPECT_EQ(described[5], P("type", P::ENUM));
    EXPECT_EQ(described[15], P("limit", P::INT));
    EXPECT_EQ(described.back(), P("angle", P::FLOAT_RANGE));
}

TEST_F(PropertyTablesTest, spaceAndEmitterSettersReachEveryLevel)
{
    LogCapture log;
    Space space("s");
    EXPECT_TRUE(space.setProperty("pre_update", "2"));
    EXPECT_TRUE(space.setProperty("position", "1,2,3"));
    EXPECT_TRUE(space.setProperty("visible", "0"));
    EXPECT_TRUE(space.setProperty("name", "t"));
    EXPECT_FALSE(space.setProperty("radius", "1"));
    EXPECT_EQ(space.getPreUpdate(), 2.0f);
    EXPECT_EQ(space.getPosition(), kavtypes::Vector3(1.0f, 2.0f, 3.0f));
    EXPECT_FALSE(space.isVisible());
    EXPECT_EQ(space.getName(), "t");

    Emitter emitter("e");
    EXPECT_TRUE(emitter.setProperty("enabled", "0"));
    EXPECT_TRUE(emitter.setProperty("blend_mode", "add"));
    // A value an enumeration lacks is warned about, yet counts as taken.
    EXPECT_TRUE(emitter.setProperty("color_mode", "loud"));
    EXPECT_TRUE(emitter.setProperty("limit", "30"));
    EXPECT_FALSE(emitter.isEnabled());
    EXPECT_EQ(emitter.getLimit(), 30);
    EXPECT_EQ(log.take(), particletest::Lines(
                              {"WARNING: Property 'radius' does not exist in 't'!",
                               "WARNING: Value 'loud' does not exist for property 'color_mode' in 'e'!"}));
}
