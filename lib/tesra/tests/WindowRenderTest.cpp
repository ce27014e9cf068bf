#include <gtest/gtest.h>

#include <memory>

#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>

#include "GLTestSupport.h"
#include "WindowTestSupport.h"

using kavtypes::Rectangle;
using tesra::Color;
using tesra::Image;
using tesra::Texture;
using testsupport::pixelAt;

namespace
{
    class WindowRenderTest : public testing_support::WindowTest
    {
    };
} // namespace

TEST_F(WindowRenderTest, DrawsIntoTheWindowAndFollowsItsSize)
{
    tesra::RenderSystem* rs = tesra::rendersys;
    EXPECT_EQ(Rectangle(0, 0, 320, 240), rs->getViewport());
    EXPECT_EQ(Rectangle(0, 0, 320, 240), rs->getOrthoProjection());
    Texture* texture = rs->createTexture(2, 2, Color(200, 10, 10));
    ASSERT_NE(nullptr, texture);
    rs->setTexture(texture);
    rs->drawTexturedRect(Rectangle(300, 220, 20, 20), Rectangle(0, 0, 1, 1));
    rs->drawFilledRect(Rectangle(0, 0, 10, 10), Color(0, 0, 255));
    std::unique_ptr<Image> shot(rs->takeScreenshot(Image::FORMAT_RGBA));
    ASSERT_NE(nullptr, shot);
    EXPECT_EQ(320, shot->width);
    EXPECT_EQ(240, shot->height);
    EXPECT_EQ(0xC80A0AFFu, pixelAt(*shot, 319, 239));
    EXPECT_EQ(0x0000FFFFu, pixelAt(*shot, 0, 0));
    EXPECT_EQ(0x000000FFu, pixelAt(*shot, 160, 120));
    rs->presentFrame();

    // A new size resets the render system: the viewport follows and textures reload when next bound.
    window->setResolution(200, 100);
    EXPECT_EQ(Rectangle(0, 0, 200, 100), rs->getViewport());
    EXPECT_FALSE(texture->isLoaded());
    rs->setOrthoProjection(kavtypes::Vector2(200, 100));
    rs->clear(true, false);
    rs->setTexture(texture);
    rs->drawTexturedRect(Rectangle(190, 90, 10, 10), Rectangle(0, 0, 1, 1));
    EXPECT_TRUE(texture->isLoaded());
    shot.reset(rs->takeScreenshot(Image::FORMAT_RGBA));
    ASSERT_NE(nullptr, shot);
    EXPECT_EQ(200, shot->width);
    EXPECT_EQ(0xC80A0AFFu, pixelAt(*shot, 199, 99));
    EXPECT_EQ(0x000000FFu, pixelAt(*shot, 180, 80));
}
