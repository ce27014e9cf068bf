#include <gtest/gtest.h>

#include <quortypes/exception.h>
#include <tesraui/CompositeImage.h>
#include <tesraui/Image.h>
#include <tesraui/Texture.h>
#include <tesraui/TiledImage.h>

#include "UiDataSupport.h"

using kavtypes::Rectangle;
using library_support::LogCapture;
using tesra::Color;

namespace
{
    const unsigned int RED = 0xFF0000FF, GREEN = 0x00FF00FF, BLUE = 0x0000FFFF, BLACK = 0x000000FF;

    class Images : public uidata::UiWindowTest
    {
    protected:
        tesraui::Texture* texture = nullptr;

        void SetUp() override
        {
            uidata::UiWindowTest::SetUp();
            // Red, green / blue, white quarters.
            this->folder.write(
                "gfx/quads.png",
                uidata::makePng(16, 16,
                                [](int x, int y)
                                {
                                    return y < 8 ? (x < 8 ? Color(255, 0, 0) : Color(0, 255, 0))
                                                 : (x < 8 ? Color(0, 0, 255) : Color(255, 255, 255));
                                }));
            this->texture = open("gfx/quads", true);
        }

        void TearDown() override
        {
            delete this->texture;
            uidata::UiWindowTest::TearDown();
        }

        static tesraui::Texture* open(const hstring& name, bool loadNow)
        {
            tesra::Texture* renderTexture =
                tesra::rendersys->createTextureFromResource(name, tesra::Texture::Type::IMMUTABLE, loadNow);
            renderTexture->setFilter(tesra::Texture::Filter::NEAREST);
            return new tesraui::Texture(name, renderTexture);
        }

        // The pixel at x, 4 of a draw at the origin, drawn on black.
        static unsigned int drawn(tesraui::Image& image, float w = 8.0f, int x = 2)
        {
            tesra::rendersys->clear(true, false);
            image.draw(Rectangle(0, 0, w, 8), Color());
            return pixel(*grab(), x, 4);
        }
    };
} // namespace

TEST_F(Images, PropertiesAndTheirTextureCoordinates)
{
    tesraui::Image image(this->texture, "img", Rectangle(0, 0, 8, 8));
    EXPECT_EQ(drawn(image), RED);
    // Each setter takes effect on the next draw, also after the coordinates were computed.
    image.setProperty("position", "8,0");
    EXPECT_EQ(drawn(image), GREEN);
    image.setProperty("rect", "0,0,16,8");
    image.setProperty("invert_x", "1");
    EXPECT_EQ(drawn(image), GREEN);
    image.setProperty("invert_x", "0");
    image.setProperty("rotated", "1"); // the left column on its side: red, then blue
    EXPECT_EQ(drawn(image, 16, 12), BLUE);
    image.setProperty("invert_y", "1");
    EXPECT_EQ(drawn(image, 16, 12), RED);
    EXPECT_EQ(image.getProperty("size"), "16.000000,8.000000");
    EXPECT_EQ(image.getProperty("texture"), "quads");

    LogCapture log;
    EXPECT_TRUE(image.setProperty("blend_mode", "screen"));
    EXPECT_EQ(image.getProperty("blend_mode"), "default");
    EXPECT_FALSE(image.setProperty("unknown", "1"));
    image.setProperty("vertical", "0");
    EXPECT_EQ(image.getProperty("invertx"), "0");
    EXPECT_EQ(log.take(), std::vector<std::string>(
                              {"WARNING: Value 'screen' does not exist for property 'blend_mode' in 'img'!",
                               "WARNING: 'vertical=' is deprecated. Use 'rotated=' instead.",
                               "WARNING: 'invertx' is deprecated. Use 'invert_x' instead."}));
    EXPECT_THROW(image.setProperty("size", "1"), quortypes::exception);
    // A colour below white opaque tints the draw.
    image.setProperty("invert_y", "0");
    image.setProperty("color", "FF808080");
    EXPECT_EQ(drawn(image), 0x800000FF);
}

TEST_F(Images, TilesCompositesAndNothingToDraw)
{
    // A tile of 0, an empty rectangle and the null image in either form draw nothing, and return.
    tesraui::TiledImage tiled(this->texture, "tiled", Rectangle(0, 0, 8, 8), 0.0f, 2.0f);
    tesra::rendersys->clear(true, false);
    tiled.draw(Rectangle(0, 0, 64, 64), Color());
    tiled.setTile(kavtypes::Vector2(2.0f, 2.0f));
    tiled.draw(Rectangle(0, 0, 0, 64), Color());
    tesraui::NullImage null;
    null.draw(harray<tesra::TexturedVertex>({tesra::TexturedVertex(0, 0, 0, 0, 0)}), Color());
    null.draw(Rectangle(0, 0, 64, 64), Color());
    EXPECT_EQ(pixel(*grab(), 4, 4), BLACK);
    // Tiles of 8 scrolled by 4: half a tile, then whole ones.
    tiled.setProperty("tile", "-8,-8");
    tiled.setProperty("scroll_x", "4");
    tiled.draw(Rectangle(0, 0, 24, 8), Color());
    // The vertex form maps 0..1 onto the source rectangle; a composite cannot draw it and says so.
    tesraui::Image green(this->texture, "green", Rectangle(8, 0, 8, 8));
    harray<tesra::TexturedVertex> triangle({tesra::TexturedVertex(40, 0, 0, 0, 0),
                                            tesra::TexturedVertex(56, 0, 0, 1, 0),
                                            tesra::TexturedVertex(40, 16, 0, 0, 1)});
    green.draw(triangle, Color());
    tesraui::CompositeImage composite("c", kavtypes::Vector2(100, 100));
    composite.addImageRef(&green, Rectangle(10, 10, 20, 20));
    LogCapture log;
    composite.draw(triangle, Color());
    EXPECT_EQ(log.take(),
              std::vector<std::string>({"WARNING: CompositeImage::draw(harray<tesra::TexturedVertex>, "
                                        "tesra::Color) is currently not supported!"}));
    composite.draw(Rectangle(60, 0, 200, 50), Color()); // the reference lands at 80, 5, 40 by 10
    // Whole-texture tiles on a clamping texture cannot be drawn as one quad: every inner tile repeats.
    tesraui::TiledImage whole(this->texture, "whole", Rectangle(0, 0, 16, 16), -16.0f, -16.0f);
    whole.draw(Rectangle(0, 16, 64, 48), Color());
    std::unique_ptr<tesra::Image> shot = grab();
    EXPECT_EQ(pixel(*shot, 20, 36), RED);
    EXPECT_EQ(pixel(*shot, 36, 36), RED);
    EXPECT_EQ(pixel(*shot, 36, 44), BLUE);
    EXPECT_EQ(pixel(*shot, 2, 4), RED);
    EXPECT_EQ(pixel(*shot, 20, 4), RED);
    EXPECT_EQ(pixel(*shot, 26, 4), BLACK);
    EXPECT_EQ(pixel(*shot, 42, 2), GREEN);
    EXPECT_EQ(pixel(*shot, 80, 5), GREEN);
    EXPECT_EQ(pixel(*shot, 119, 14), GREEN);
    EXPECT_EQ(pixel(*shot, 79, 5), BLACK);
    EXPECT_EQ(pixel(*shot, 80, 15), BLACK);
}

TEST_F(Images, FailedReloadKeepsADrawableTexture)
{
    tesraui::Image image(this->texture, "img", Rectangle(0, 0, 8, 8));
    EXPECT_THROW(this->texture->reload("gfx/missing"), quortypes::_file_not_found);
    EXPECT_EQ(this->texture->getFilename(), "gfx/quads.png");
    EXPECT_EQ(drawn(image), RED);
}
