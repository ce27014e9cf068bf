#include <stdio.h>

#include <memory>

#include <tesra/RenderSystem.h>
#include <tesraui/Texture.h>

#include "UiTestSupport.h"

namespace
{
    // Textures that load on first use, over a 16 x 8 and a 4 x 12 picture.
    class TextureSize : public uitest::UiWindowTest
    {
    protected:
        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->folder.write("gfx/wide.png", uitest::solidPng(16, 8, tesra::Color(255, 0, 0)));
            this->folder.write("gfx/tall.png", uitest::solidPng(4, 12, tesra::Color(0, 0, 255)));
        }

        std::unique_ptr<tesraui::Texture> unloaded(const hstring& name)
        {
            tesra::Texture* render =
                tesra::rendersys->createTextureFromResource(name, tesra::Texture::Type::IMMUTABLE, false);
            EXPECT_NE(render, nullptr) << name;
            return std::unique_ptr<tesraui::Texture>(new tesraui::Texture(name, render));
        }

        static std::pair<int, int> sizeOf(const tesraui::Texture& texture)
        {
            return {texture.getWidth(), texture.getHeight()};
        }
    };
} // namespace

TEST_F(TextureSize, IsTheFilesBeforeTheLoadAndStaysAfterAnUnloadWithoutTheFile)
{
    const struct
    {
        const char* name;
        std::pair<int, int> size;
    } rows[] = {{"gfx/wide.png", {16, 8}}, {"gfx/tall.png", {4, 12}}};
    for (const auto& row : rows)
    {
        std::unique_ptr<tesraui::Texture> texture = unloaded(row.name);
        EXPECT_FALSE(texture->isLoaded());
        EXPECT_EQ(sizeOf(*texture), row.size) << row.name;
        texture->load();
        ASSERT_TRUE(texture->isLoaded()) << row.name;
        EXPECT_EQ(sizeOf(*texture), row.size) << row.name;
        // Once known, the size needs the file no more.
        texture->unload();
        ASSERT_EQ(remove((this->folder.path + "/" + row.name).c_str()), 0);
        EXPECT_FALSE(texture->isLoaded());
        EXPECT_EQ(sizeOf(*texture), row.size) << row.name;
    }
}

TEST_F(TextureSize, FollowsAReloadToAFileOfAnotherSize)
{
    std::unique_ptr<tesraui::Texture> texture = unloaded("gfx/wide.png");
    EXPECT_EQ(sizeOf(*texture), std::make_pair(16, 8));
    texture->reload("gfx/tall.png");
    EXPECT_FALSE(texture->isLoaded());
    EXPECT_EQ(sizeOf(*texture), std::make_pair(4, 12));
    texture->load();
    EXPECT_EQ(sizeOf(*texture), std::make_pair(4, 12));

    // And back, after the first one was loaded and its size kept.
    texture->reload("gfx/wide.png");
    EXPECT_EQ(sizeOf(*texture), std::make_pair(16, 8));
}
