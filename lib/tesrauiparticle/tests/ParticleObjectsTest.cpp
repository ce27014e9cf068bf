#include <algorithm>

#include <quortypes/util.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/tesraui.h>
#include <tesrauiparticle/Particle.h>
#include <tesrauiparticle/ParticleEmitter.h>
#include <tesrauiparticle/ParticleSpace.h>
#include <tesrauiparticle/ParticleSystem.h>
#include <tesrauiparticle/tesrauiparticle.h>

#include "../../tesraparticle/tests/ParticleTestSupport.h"

using namespace tesrauiparticle;
using kavtypes::Rectangle;
using kavtypes::Vector3;
using particletest::Lines;
using particletest::LogCapture;

namespace
{
    const char* const fireXml = R"(<Fire>
        <Texture filename='dot.png' name='dot'/>
        <Affector type='ColorChanger' name='heat' start_color='FFC040FF' end_color='FF200000'/>
        <Space name='flame'>
          <Affector reference='heat'/>
          <Affector type='LinearForce' direction='0,-30,0'/>
          <Emitter name='base' type='Box' dimensions='16,4,0' emission_rate='60' limit='200' life='0.6;1'
                   direction='0,-40,0;0,-60,0' size='0.5,0.5;1,1' blend_mode='add'>
            <Texture reference='dot'/>
          </Emitter>
        </Space>
        <Space name='smoke'>
          <Emitter name='puff' dimensions='8,8,0'><Texture reference='dot'/></Emitter>
        </Space>
      </Fire>)";

    class ParticleObjectsTest : public particletest::ParticleWindowTest
    {
    protected:
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Container* root = nullptr;

        void SetUp() override
        {
            ParticleWindowTest::SetUp();
            tesraui::init();
            tesrauiparticle::init();
            for (const char* folder : {"particles", "data/ui/fx"})
            {
                this->folder.write(hstring(folder) + "/fire.xml", fireXml);
                this->folder.write(hstring(folder) + "/dot.png", particletest::softDotPng(16));
            }
            this->dataset.reset(new tesraui::Dataset("ui.xml"));
            this->root = new tesraui::Container("root", Rectangle(0, 0, 128, 128));
            this->dataset->registerObjects(this->root);
        }

        void TearDown() override
        {
            this->dataset.reset();
            tesrauiparticle::destroy();
            tesraui::destroy();
            ParticleWindowTest::TearDown();
        }

        template <class T>
        T* add(const hstring& name, Rectangle rect, tesraui::Object* parent = nullptr,
               std::initializer_list<std::pair<const char*, const char*>> properties = {})
        {
            T* object = new T(name, rect);
            (parent != nullptr ? parent : this->root)->addChildAndRegister(object);
            for (auto& property : properties)
                object->setProperty(property.first, property.second);
            return object;
        }
    };
} // namespace

TEST_F(ParticleObjectsTest, startAndStopLinesAndFactories)
{
    LogCapture log("tesrauiparticle");
    tesrauiparticle::destroy();
    EXPECT_EQ(log.take(), Lines({"destroying TesraUIParticle."}));
    for (const char* type : {"Particle", "ParticleEmitter", "ParticleSpace", "ParticleSystem"})
    {
        std::unique_ptr<tesraui::Object> object(tesraui::createObject(type, "o", Rectangle(0, 0, 1, 1)));
        ASSERT_NE(object, nullptr) << type;
        EXPECT_EQ(object->getClassName(), type);
    }
}

TEST_F(ParticleObjectsTest, fileNamesLoadUnderTheDefaultAndTheDatasetFolders)
{
    LogCapture log;
    Particle* particle = this->add<Particle>("p", Rectangle(0, 0, 0, 0));
    particle->setProperty("filename", "fire.xml");
    tesraparticle::System* system = particle->getSystem();
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->getFilename(), "particles/fire.xml");
    particle->setProperty("filename", "other.xml");
    EXPECT_EQ(particle->getSystem(), system);
    EXPECT_EQ(particle->getProperty("filename"), "other.xml");
    particle->setProperty("filepath", "");
    EXPECT_EQ(particle->getSystem(), nullptr);
    EXPECT_EQ(log.take(), Lines({"Loading system: particles/fire.xml"}));

    tesraui::Dataset nested("data/ui/screen.xml");
    ParticleSystem* holder = new ParticleSystem("holder", Rectangle(0, 0, 0, 0));
    nested.registerObjects(holder);
    holder->setProperty("filepath", "fx/./fire.xml");
    ASSERT_TRUE(holder->isLoaded());
    EXPECT_EQ(holder->getSystem()->getFilename(), "data/ui/fx/fire.xml");
    EXPECT_EQ(particletest::thrownText(
                  [&] {
                      particle->setProperty("filename", "none.xml");
                  }).find("particles/none.xml") != std::string::npos,
              true);
}

TEST_F(ParticleObjectsTest, brokenReferencesWarnAndEmptyTheirNames)
{
    LogCapture log("tesrauiparticle");
    this->add<tesraui::ImageBox>("img", Rectangle(0, 0, 10, 10));
    this->add<ParticleSystem>("sys", Rectangle(0, 0, 0, 0), nullptr, {{"filename", "fire.xml"}});
    ParticleSpace* wrongKind = this->add<ParticleSpace>("s1", Rectangle(0, 0, 10, 10), nullptr,
                                                        {{"system_object", "img"}, {"space", "flame"}});
    ParticleSpace* noSpace = this->add<ParticleSpace>("s2", Rectangle(0, 0, 10, 10), nullptr,
                                                      {{"system_object", "sys"}, {"space", "ash"}});
    ParticleSpace* good = this->add<ParticleSpace>("s3", Rectangle(0, 0, 10, 10), nullptr,
                                                   {{"system_object", "sys"}, {"space", "flame"}});
    ParticleEmitter* noEmitter = this->add<ParticleEmitter>("e1", Rectangle(0, 0, 10, 10), good,
                                                            {{"space_object", "s3"}, {"emitter", "spark"}});
    ParticleEmitter* wrongSpace = this->add<ParticleEmitter>("e2", Rectangle(0, 0, 10, 10), good,
                                                             {{"space_object", "sys"}, {"emitter", "base"}});
    for (int i = 0; i < 2; ++i)
        this->root->update(0.1f);
    EXPECT_EQ(
        log.take(),
        Lines({"WARNING: ParticleSpace 's1': referenced object 'img' not a subclass of ParticleSystem!",
               "WARNING: ParticleSpace 's2': cannot find space 'ash' in ParticleSystem 'sys'!",
               "WARNING: ParticleEmitter 'e1': cannot find emitter 'spark' in ParticleSpace 's3'!",
               "WARNING: ParticleEmitter 'e2': referenced object 'sys' not a subclass of ParticleSpace!"}));
    EXPECT_EQ(wrongKind->getProperty("system_object") + "|" + wrongKind->getProperty("space"), "|");
    EXPECT_EQ(noSpace->getProperty("system_object") + "|" + noSpace->getProperty("space"), "sys|");
    EXPECT_EQ(noEmitter->getProperty("space_object") + "|" + noEmitter->getProperty("emitter"), "|");
    EXPECT_EQ(wrongSpace->getProperty("space_object") + "|" + wrongSpace->getProperty("emitter"), "|");
    ASSERT_NE(good->getSpace(), nullptr);
    EXPECT_EQ(good->getSpace()->getName(), "flame");
}

TEST_F(ParticleObjectsTest, emitterObjectCarriesItsEmitterAlong)
{
    this->add<ParticleSystem>("sys", Rectangle(0, 0, 0, 0), nullptr, {{"filename", "fire.xml"}});
    ParticleSpace* space = this->add<ParticleSpace>("space", Rectangle(0, 0, 200, 100), nullptr,
                                                    {{"system_object", "sys"}, {"space", "flame"}});
    ParticleEmitter* object = this->add<ParticleEmitter>("em", Rectangle(50, 40, 20, 10), space,
                                                         {{"space_object", "space"}, {"emitter", "base"}});
    this->root->update(0.1f);
    tesraparticle::Emitter* emitter = object->getEmitter();
    ASSERT_NE(emitter, nullptr);
    EXPECT_EQ(emitter->getPosition(), Vector3(-40.0f, -5.0f, 0.0f));
    EXPECT_EQ(emitter->getDimensions(), Vector3(20.0f, 10.0f, 0.0f));
    object->setX(60.0f);
    object->setAngle(90.0f);
    object->setScale(2.0f, 2.0f);
    this->root->draw();
    EXPECT_NEAR(emitter->getPosition().x, -30.0f, 1e-4f);
    EXPECT_NEAR(emitter->getPosition().y, -5.0f, 1e-4f);
    Vector3 turned = emitter->getDirection().min;
    EXPECT_NEAR(turned.x, -40.0f, 1e-4f);
    EXPECT_NEAR(turned.y, 0.0f, 1e-4f);
    EXPECT_EQ(emitter->getSize().min, kavtypes::Vector2(1.0f, 1.0f));
    EXPECT_EQ(emitter->getSize().max, kavtypes::Vector2(2.0f, 2.0f));
}

TEST_F(ParticleObjectsTest, particleSizeScalesEveryEmitterBox)
{
    Particle* particle =
        this->add<Particle>("p", Rectangle(0, 0, 50, 20), nullptr, {{"filename", "fire.xml"}});
    tesraparticle::System* system = particle->getSystem();
    EXPECT_EQ(system->getEmitter("base")->getDimensions(), Vector3(50.0f, 20.0f, 0.0f));
    EXPECT_EQ(system->getEmitter("puff")->getDimensions(), Vector3(25.0f, 40.0f, 0.0f));
    particle->setSize(100.0f, 20.0f);
    EXPECT_EQ(system->getEmitter("base")->getDimensions(), Vector3(100.0f, 20.0f, 0.0f));
    EXPECT_EQ(system->getEmitter("puff")->getDimensions(), Vector3(50.0f, 40.0f, 0.0f));
}

TEST_F(ParticleObjectsTest, destroyingBoundObjectsInAnyOrderLeavesNothingBehind)
{
    std::vector<int> order = {0, 1, 2};
    do
    {
        tesraui::Object* objects[3] = {
            this->add<ParticleSystem>("sys", Rectangle(0, 0, 0, 0), nullptr, {{"filename", "fire.xml"}}),
            this->add<ParticleSpace>("space", Rectangle(0, 0, 100, 100), nullptr,
                                     {{"system_object", "sys"}, {"space", "flame"}}),
            this->add<ParticleEmitter>("em", Rectangle(10, 10, 10, 10), nullptr,
                                       {{"space_object", "space"}, {"emitter", "base"}})};
        auto* space = static_cast<ParticleSpace*>(objects[1]);
        auto* emitter = static_cast<ParticleEmitter*>(objects[2]);
        this->root->update(0.1f);
        ASSERT_NE(emitter->getEmitter(), nullptr);
        for (int which : order)
        {
            this->dataset->destroyObject(objects[which]);
            objects[which] = nullptr;
            if (objects[1] != nullptr && objects[0] == nullptr)
            {
                EXPECT_TRUE(space->getSystemObject() == nullptr && space->getSpace() == nullptr);
            }
            if (objects[2] != nullptr && (objects[0] == nullptr || objects[1] == nullptr))
            {
                EXPECT_EQ(emitter->getEmitter(), nullptr);
            }
            if (objects[2] != nullptr && objects[1] == nullptr)
            {
                EXPECT_EQ(emitter->getSpaceObject(), nullptr);
            }
            this->root->update(0.1f);
            this->root->draw();
        }
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(ParticleObjectsTest, particleObjectDrawsAtItsCentreWithItsAlpha)
{
    quortypes::seedRandom(99);
    // Centred on (64, 100) with the emitter's own box.
    Particle* particle =
        this->add<Particle>("p", Rectangle(56, 98, 16, 4), nullptr, {{"filename", "fire.xml"}});
    for (int i = 0; i < 60; ++i)
        this->root->update(1.0f / 30.0f);
    auto lit = [&]
    {
        tesra::rendersys->clear(true, false);
        this->root->draw();
        std::unique_ptr<tesra::Image> shot = grab();
        int count = 0, warm = 0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
            {
                tesra::Color c = pixel(*shot, x, y);
                count += c.r > 0;
                warm += c.r >= c.g && c.g >= c.b;
                EXPECT_FALSE(c.r > 0 && (x < 40 || x >= 88 || y >= 115)) << x << "," << y;
            }
        EXPECT_EQ(warm, 128 * 128);
        return count;
    };
    EXPECT_GT(lit(), 100);
    particle->setAlpha(0);
    EXPECT_EQ(lit(), 0);
}
