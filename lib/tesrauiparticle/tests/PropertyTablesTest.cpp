#include <memory>

#include <tesraui/Object.h>
#include <tesraui/tesraui.h>
#include <tesrauiparticle/Particle.h>
#include <tesrauiparticle/ParticleEmitter.h>
#include <tesrauiparticle/ParticleSpace.h>
#include <tesrauiparticle/tesrauiparticle.h>

#include "../../tesraparticle/tests/ParticleTestSupport.h"

using namespace tesrauiparticle;
using kavtypes::Rectangle;

// The particle objects list their properties after the UI object's, read them back as they were set and
// leave every other name to the UI object.
namespace
{
    typedef PropertyInfo P;

    class PropertyTablesTest : public particletest::ParticleWindowTest
    {
    protected:
        void SetUp() override
        {
            ParticleWindowTest::SetUp();
            tesraui::init();
            tesrauiparticle::init();
        }

        void TearDown() override
        {
            tesrauiparticle::destroy();
            tesraui::destroy();
            ParticleWindowTest::TearDown();
        }
    };

    struct Value
    {
        const char* name;
        const char* set;
        const char* read;
    };

    struct ObjectCase
    {
        const char* kind;
        std::function<tesraui::Object*()> make;
        harray<PropertyInfo> own;
        std::vector<Value> values;
    };
} // namespace

TEST_F(PropertyTablesTest, particleObjectsExtendTheObjectsProperties)
{
    const std::vector<ObjectCase> cases = {
        {"Particle",
         [] { return new Particle("p", Rectangle(0, 0, 10, 10)); },
         {P("filename", P::STRING), P("filepath", P::STRING), P("always_enabled", P::BOOL)},
         {{"always_enabled", "1", "1"}, {"always_enabled", "0", "0"}}},
        {"ParticleSpace",
         [] { return new ParticleSpace("s", Rectangle(0, 0, 10, 10)); },
         {P("system_object", P::STRING), P("space", P::STRING)},
         {{"system_object", "sys", "sys"}, {"space", "flame", "flame"}}},
        {"ParticleEmitter",
         [] { return new ParticleEmitter("e", Rectangle(0, 0, 10, 10)); },
         {P("space_object", P::STRING), P("emitter", P::STRING)},
         {{"space_object", "sp", "sp"}, {"emitter", "base", "base"}}},
    };
    const harray<PropertyInfo> object = tesraui::Object("o", Rectangle()).getPropertyDescriptions();
    for (const ObjectCase& c : cases)
    {
        SCOPED_TRACE(c.kind);
        std::unique_ptr<tesraui::Object> made(c.make());
        EXPECT_EQ(made->getPropertyDescriptions(), object + c.own);
        std::vector<Value> values = c.values;
        values.push_back({"x", "4", "4.000000"});
        for (const Value& value : values)
        {
            SCOPED_TRACE(value.name);
            EXPECT_TRUE(made->setProperty(value.name, value.set));
            EXPECT_EQ(made->getProperty(value.name), hstring(value.read));
        }
        EXPECT_FALSE(made->setProperty("colour", "red"));
        EXPECT_EQ(made->getProperty("colour"), "");
    }
}
