#include <quortypes/util.h>
#include <tesra/Texture.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Particle.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/Texture.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;

namespace
{
    const char* const fireXml = R"(<Fire>
        <Texture filename='dot.png' name='dot'/>
        <Affector type='ColorChanger' name='heat' start_color='FFC040FF' end_color='FF200000'/>
        <Space name='flame' fixed_time_step='0.033333'>
          <Affector reference='heat'/>
          <Affector type='Scaler' start_scale='1' end_scale='0.3'/>
          <Affector type='LinearForce' direction='0,-30,0'/>
          <Emitter name='base' type='Box' dimensions='16,4,0' emission_rate='60' limit='200' life='0.6;1'
                   direction='0,-40,0;0,-60,0' size='0.5,0.5;1,1' blend_mode='add'>
            <Texture reference='dot'/>
          </Emitter>
        </Space>
      </Fire>)";

    class DrawTest : public particletest::ParticleWindowTest
    {
    protected:
        void SetUp() override
        {
            ParticleWindowTest::SetUp();
            this->folder.write("fx/dot.png", particletest::softDotPng(16));
            this->folder.write("fx/fire.xml", fireXml);
        }

        // Two seconds of a freshly seeded fire, drawn at (64, 100).
        std::unique_ptr<tesra::Image> burn(System& system)
        {
            quortypes::seedRandom(1234);
            system.reset();
            for (int i = 0; i < 60; ++i)
                system.update(1.0f / 30.0f);
            tesra::rendersys->clear(true, false);
            system.draw(64.0f, 100.0f, tesra::Color(255, 255, 255, 255));
            return grab();
        }
    };
} // namespace

TEST_F(DrawTest, fireIsWarmInsideItsBoxAndTheSameEveryRun)
{
    std::unique_ptr<System> fire(loadSystem("fx/fire.xml"));
    std::unique_ptr<tesra::Image> shot = this->burn(*fire);
    int lit = 0, cold = 0, outside = 0;
    for (int y = 0; y < 128; ++y)
    {
        for (int x = 0; x < 128; ++x)
        {
            tesra::Color c = pixel(*shot, x, y);
            bool black = c.r == 0 && c.g == 0 && c.b == 0;
            bool inBox = x >= 40 && x < 88 && y >= 10 && y < 115;
            outside += !inBox && !black;
            lit += inBox && c.r > 100;
            cold += !(c.r >= c.g && c.g >= c.b);
        }
    }
    EXPECT_GT(lit, 100);
    EXPECT_EQ(cold, 0);
    EXPECT_EQ(outside, 0);

    // The cache may drop its pixels and prototypes: the system reloads its texture and draws alike.
    clearCache();
    std::unique_ptr<tesra::Image> again = this->burn(*fire);
    EXPECT_EQ(memcmp(shot->data.get(), again->data.get(), 128 * 128 * 4), 0);
}

TEST_F(DrawTest, nothingDrawsWithoutAlphaOrTexture)
{
    std::unique_ptr<System> fire(loadSystem("fx/fire.xml"));
    Emitter* emitter = fire->getEmitter("base");
    for (int i = 0; i < 30; ++i)
        fire->update(1.0f / 30.0f);
    auto litPixels = [&](tesra::Color color)
    {
        tesra::rendersys->clear(true, false);
        fire->draw(64.0f, 100.0f, color);
        std::unique_ptr<tesra::Image> shot = grab();
        int lit = 0;
        for (int i = 0; i < 128 * 128; ++i)
            lit += shot->data[i * 4] != 0;
        return lit;
    };
    EXPECT_GT(litPixels(tesra::Color(255, 255, 255, 255)), 0);
    EXPECT_EQ(litPixels(tesra::Color(255, 255, 255, 0)), 0);
    // A limit below the live particles draws only that many.
    int all = litPixels(tesra::Color(255, 255, 255, 128));
    emitter->setProperty("limit", "1");
    EXPECT_GT(emitter->getParticles().size(), 1);
    int one = litPixels(tesra::Color(255, 255, 255, 128));
    EXPECT_GT(one, 0);
    EXPECT_LT(one, all);
    emitter->setTexture(nullptr);
    EXPECT_EQ(litPixels(tesra::Color(255, 255, 255, 255)), 0);
}

TEST_F(DrawTest, texturesAreNamedByFileAndReferencedFromAnywhere)
{
    this->folder.write("fx/two.xml", R"(<S>
        <Space>
          <Emitter name='early'><Texture reference='x'/></Emitter>
          <Emitter name='plain'><Texture filename='dot.png'/></Emitter>
          <Emitter name='replaced'><Texture reference='dot.png'/><Texture reference='x'/></Emitter>
        </Space>
        <Texture filename='dot' name='x' cached='1'/>
      </S>)");
    std::unique_ptr<System> system(loadSystem("fx/two.xml"));
    const hdict<Texture*>& textures = system->getTextures();
    ASSERT_EQ(textures.keys().joined(","), "dot.png,x");
    EXPECT_EQ(textures.tryGet("x", nullptr)->filename, "fx/dot");
    EXPECT_EQ(system->getEmitter("early")->getTexture(), textures.tryGet("x", nullptr)->texture.get());
    EXPECT_EQ(system->getEmitter("plain")->getTexture(), textures.tryGet("dot.png", nullptr)->texture.get());
    EXPECT_EQ(system->getEmitter("replaced")->getTexture(), textures.tryGet("x", nullptr)->texture.get());
    EXPECT_NE(textures.tryGet("x", nullptr)->texture.get(),
              textures.tryGet("dot.png", nullptr)->texture.get());

    // A system file in the working folder finds its textures beside it.
    this->folder.write("dot.png", particletest::softDotPng(4));
    this->folder.write("top.xml",
                       "<S><Space><Emitter name='e'><Texture filename='dot.png'/></Emitter></Space></S>");
    std::unique_ptr<System> top(loadSystem("top.xml"));
    EXPECT_NE(top->getEmitter("e")->getTexture(), nullptr);
}
