#include <memory>

#include <tesra/RenderSystem.h>
#include <tesra/Texture.h>
#include <tesra/tesra.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/Space.h>
#include <tesraparticle/System.h>
#include <tesraparticle/Texture.h>
#include <tesraparticle/tesraparticle.h>

#include "ParticleTestSupport.h"

using namespace tesraparticle;

namespace
{
    // Render textures alive, as the render system lists them.
    size_t renderTextures()
    {
        return tesra::rendersys->getTextures().size();
    }

    std::unique_ptr<Texture> freshRecord(const hstring& filename)
    {
        return std::make_unique<Texture>(std::unique_ptr<tesra::Texture>(tesra::rendersys->createTexture(
                                             4, 4, tesra::Color(255, 255, 255))),
                                         filename, false);
    }
} // namespace

class TextureOwners : public particletest::ParticleWindowTest
{
};

// A system keeps the fresh records it took and only names the cached ones; the library's cache keeps those
// until it is destroyed.
TEST_F(TextureOwners, FreshRecordsGoWithTheirSystemAndCachedOnesWithTheLibrary)
{
    this->folder.write("dot.png", particletest::softDotPng(4));
    const size_t before = renderTextures();
    Texture* cached = loadTexture("dot.png");
    ASSERT_NE(cached, nullptr);
    EXPECT_TRUE(cached->cached);
    EXPECT_EQ(loadTexture("dot.png"), cached);
    EXPECT_EQ(renderTextures(), before + 1);
    {
        System system;
        auto fresh = freshRecord("a");
        Texture* kept = fresh.get();
        EXPECT_TRUE(system.registerTexture(std::move(fresh), "a"));
        EXPECT_EQ(renderTextures(), before + 2);
        // Refused under a taken name, a fresh record goes at once.
        EXPECT_FALSE(system.registerTexture(freshRecord("b"), "a"));
        EXPECT_EQ(renderTextures(), before + 2);
        EXPECT_TRUE(system.registerTexture(cached, "c"));
        EXPECT_FALSE(system.registerTexture(cached, "d"));
        EXPECT_EQ(system.getTextures().tryGet("a", nullptr), kept);
        EXPECT_EQ(system.getTextures().tryGet("c", nullptr), cached);
    }
    EXPECT_EQ(renderTextures(), before + 1);
    clearCache();
    EXPECT_EQ(loadTexture("dot.png"), cached);
    destroy();
    EXPECT_EQ(renderTextures(), before);
    init();
}

// A system loaded from a file and its copies each hold their own spaces, emitters and affectors: one
// going leaves the other whole.
TEST_F(TextureOwners, ALoadedSystemOutlivesTheCopyMadeFromIt)
{
    this->folder.write("dot.png", particletest::softDotPng(4));
    this->folder.write("sys.xml", "<S><Space><Emitter name='e'><Texture filename='dot.png'/></Emitter>"
                                  "<Affector type='Rotator' name='r'/></Space></S>");
    std::unique_ptr<System> first = loadSystem("sys.xml");
    {
        std::unique_ptr<System> copy = std::make_unique<System>(*first);
        EXPECT_NE(copy->getSpaces()[0], first->getSpaces()[0]);
        EXPECT_NE(copy->getEmitter("e"), first->getEmitter("e"));
        EXPECT_NE(copy->getAffector("r"), first->getAffector("r"));
    }
    first->update(0.5f);
    ASSERT_NE(first->getEmitter("e"), nullptr);
    EXPECT_NE(first->getEmitter("e")->getTexture(), nullptr);
    EXPECT_EQ(first->getSpaces()[0]->getAffectors(), first->getAffectors());
}
