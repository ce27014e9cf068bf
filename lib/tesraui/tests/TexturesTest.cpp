#include <dlfcn.h>
#include <link.h>

#include <gtest/gtest.h>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Texture.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "LibraryTestSupport.h"

using library_support::ResourceFolder;

namespace
{
    // A 2 by 2 opaque red PNG.
    const std::string
        redPng("\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00"
               "\x00\x02\x08\x06\x00\x00\x00\x72\xB6\x0D\x24\x00\x00\x00\x11\x49\x44\x41\x54\x78\x9C\x63"
               "\xF8\xCF\xC0\xF0\x1F\x84\x19\x60\x0C\x00\x47\xCA\x07\xF9\x67\x59\x6E\xB7\x00\x00\x00\x00"
               "\x49\x45\x4E\x44\xAE\x42\x60\x82",
               74);

    // SDL unloads the GL driver before the leak check, which then cannot name the driver's memory.
    int pinLibrary(struct dl_phdr_info* info, size_t, void*)
    {
        if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
        {
            dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
        }
        return 0;
    }

    class Textures : public testing::Test
    {
    protected:
        ResourceFolder folder;
        tesraui::Dataset* dataset = nullptr;

        void SetUp() override
        {
            this->folder.write("gfx/logo.png", redPng);
            this->folder.write("gfx/fr/logo.png", redPng);
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(64, 64, false, "textures");
            dl_iterate_phdr(&pinLibrary, nullptr);
            tesraui::init();
            this->dataset = new tesraui::Dataset("", "textures");
            this->dataset->load();
        }

        void TearDown() override
        {
            tesraui::destroy();
            tesra::destroy();
        }

        tesraui::Texture* add(bool dynamic)
        {
            tesra::Texture* renderTexture = tesra::rendersys->createTextureFromResource(
                "gfx/logo", tesra::Texture::Type::IMMUTABLE, !dynamic);
            tesraui::Texture* texture = new tesraui::Texture("gfx/logo", renderTexture);
            this->dataset->registerTexture(texture);
            texture->load();
            return texture;
        }

        // One frame as the engine runs it.
        void frame(float timeDelta)
        {
            tesraui::processEvents();
            tesraui::update(timeDelta);
            tesraui::updateTextures(timeDelta);
        }
    };
} // namespace

TEST_F(Textures, IdleTimeCountsOnceAFrame)
{
    tesraui::setTextureIdleUnloadTime(2.0f);
    tesraui::Texture* dynamic = add(true);
    ASSERT_TRUE(dynamic->isDynamic());
    ASSERT_TRUE(dynamic->isLoaded());
    for (int i = 0; i < 3; ++i)
    {
        frame(0.5f);
    }
    EXPECT_FLOAT_EQ(dynamic->getIdleTime(), 1.5f);
    EXPECT_TRUE(dynamic->isLoaded());
    frame(0.5f);
    EXPECT_FALSE(dynamic->isLoaded());
    EXPECT_EQ(dynamic->getIdleTime(), 0.0f);
    // A dataset updated by itself leaves its textures' clocks alone.
    dynamic->load();
    this->dataset->update(5.0f);
    EXPECT_EQ(dynamic->getIdleTime(), 0.0f);
    EXPECT_TRUE(dynamic->isLoaded());
}

TEST_F(Textures, UnusedDynamicTexturesUnloadAfterASecond)
{
    tesraui::Texture* dynamic = add(true);
    this->folder.write("gfx/still.png", redPng);
    tesraui::Texture* still = new tesraui::Texture(
        "gfx/still",
        tesra::rendersys->createTextureFromResource("gfx/still", tesra::Texture::Type::IMMUTABLE, true));
    this->dataset->registerTexture(still);
    EXPECT_FALSE(still->isDynamic());
    frame(0.5f);
    tesraui::unloadUnusedTextures();
    EXPECT_TRUE(dynamic->isLoaded());
    frame(1.0f);
    tesraui::unloadUnusedTextures();
    EXPECT_FALSE(dynamic->isLoaded());
    EXPECT_TRUE(still->isLoaded());
    EXPECT_EQ(this->dataset->getTexture("gfx/still.png"), still);
    EXPECT_THROW(this->dataset->registerTexture(still), tesraui::_ResourceExistsException);
}

TEST_F(Textures, LocalizationReloadsTextures)
{
    tesraui::Texture* texture = add(false);
    EXPECT_EQ(texture->getFilename(), "gfx/logo.png");
    EXPECT_EQ(tesraui::getLocalisedFilename("gfx/logo"), "gfx/logo");
    tesraui::setLocalization("fr");
    EXPECT_EQ(tesraui::getLocalisedFilename("gfx/logo"), "gfx/fr/logo.png");
    EXPECT_EQ(tesraui::getLocalisedFilename("gfx/other"), "gfx/other");
    EXPECT_EQ(texture->getFilename(), "gfx/fr/logo.png");
    EXPECT_EQ(texture->getRequestedFilename(), "gfx/logo");
    EXPECT_EQ(texture->getWidth(), 2);
    tesraui::setLocalization("");
    EXPECT_EQ(texture->getFilename(), "gfx/logo.png");
}

TEST_F(Textures, LinksScaleAndReload)
{
    tesraui::setTextureExtensionScales({".png"}, {0.5f});
    tesraui::Texture* first = add(true);
    this->folder.write("gfx/second.png", redPng);
    tesraui::Texture* second = new tesraui::Texture(
        "gfx/second",
        tesra::rendersys->createTextureFromResource("gfx/second", tesra::Texture::Type::IMMUTABLE, false));
    this->dataset->registerTexture(second);
    EXPECT_EQ(first->getWidth(), 1);
    first->addLink(second);
    second->addLink(first);
    EXPECT_EQ(first->getLinks(), harray<tesraui::Texture*>{second});
    EXPECT_EQ(second->getLinks(), harray<tesraui::Texture*>{first});
    // Loading one loads its group; drawing one keeps the whole group young.
    second->unload();
    first->load();
    EXPECT_TRUE(second->isLoaded());
    tesraui::setTextureIdleUnloadTime(1.0f);
    frame(0.75f);
    first->getRenderTexture();
    frame(0.75f);
    EXPECT_TRUE(second->isLoaded());
    // Reloading from the same file keeps the render texture.
    tesra::Texture* renderTexture = first->getRenderTexture();
    first->reload("gfx/logo.png");
    EXPECT_EQ(first->getRenderTexture(), renderTexture);
    EXPECT_THROW(first->reload("gfx/none"), quortypes::_file_not_found);
    EXPECT_EQ(first->getRenderTexture(), renderTexture); // a failed reload keeps the old texture
    this->dataset->unregisterTexture(second);
    delete second;
    EXPECT_TRUE(first->getLinks().empty());
}
