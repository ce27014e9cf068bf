#include "ActionMapTestGame.h"
#include "ui/DebugUI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    typedef std::vector<int> Pixel;

    ::testing::AssertionResult near(const Pixel& actual, const Pixel& expected)
    {
        for (size_t i = 0; i < 3; ++i)
        {
            if (std::abs(actual[i] - expected[i]) > 3)
            {
                return ::testing::AssertionFailure()
                       << "pixel " << actual[0] << "," << actual[1] << "," << actual[2] << " expected "
                       << expected[0] << "," << expected[1] << "," << expected[2];
            }
        }
        return ::testing::AssertionSuccess();
    }

    // The screen point at the middle of a map pixel of the hall (25 screen pixels each).
    int screen(int mapPixel)
    {
        return mapPixel * 25 + 12;
    }

    const Pixel navy{0, 0, 128};
} // namespace

// The debug display of action maps, drawn headless over the scene's navy background.
class ActionMapDrawing : public harness::GameTest
{
protected:
    ActionMapObject* layer = nullptr;

    void SetUp() override
    {
        actionmaptest::makeGame(folder);
        engine.reset(new Engine(folder));
        engine->start();
        engine->frame();
        layer = actionmaptest::findLayer();
        ASSERT_NE(layer, nullptr);
    }
    void TearDown() override { DebugUI::setActionMapDebugEnabled(false); }
    Pixel at(int mapX, int mapY) { return engine->pixel(screen(mapX), screen(mapY)); }
};

TEST_F(ActionMapDrawing, RegionsShowAtHalfAlphaWithMarkersAtTheirCentres)
{
    EXPECT_TRUE(near(at(4, 4), navy)) << "nothing while the display is off";
    DebugUI::setActionMapDebugEnabled(true);
    engine->frame();
    ASSERT_NE(layer->getDebugTexture(), nullptr);
    // Every region painted: the texture spans them all, 27 x 19 map pixels in a 32 x 32 texture.
    EXPECT_EQ(layer->getDebugTexture()->getWidth(), 32);
    EXPECT_EQ(layer->getDebugTexture()->getHeight(), 32);
    EXPECT_TRUE(near(at(4, 4), {127, 0, 64}));
    EXPECT_TRUE(near(at(20, 4), {0, 127, 64}));
    EXPECT_TRUE(near(at(20, 16), {0, 0, 191}));
    EXPECT_TRUE(near(at(27, 4), navy)) << "inside the texture, on no region";
    // The red region's marker, at its centre (6, 6): half-transparent black over the red.
    EXPECT_TRUE(near(engine->pixel(150, 150), {63, 0, 32}));

    // Only the regions of the layer's colour, once the texture is built again.
    layer->setProperty("color", "00FF00");
    engine->frame();
    EXPECT_TRUE(near(at(4, 4), navy));
    EXPECT_TRUE(near(at(20, 4), {0, 127, 64}));
    // A colour no region has paints nothing, so there is no texture at all.
    layer->setProperty("color", "123456");
    engine->frame();
    EXPECT_EQ(layer->getDebugTexture(), nullptr);
    EXPECT_TRUE(near(at(20, 4), navy));
    // Nor does a map without regions.
    layer->setProperty("color", "000000");
    layer->setProperty("file", "empty");
    engine->frame();
    EXPECT_EQ(layer->getDebugTexture(), nullptr);
    EXPECT_TRUE(near(at(4, 4), navy));
}

TEST_F(ActionMapDrawing, SelectModeShowsWhiteAreasWithBlackOutlinesAndNoMarkers)
{
    DebugUI::setActionMapDebugEnabled(true);
    layer->setProperty("select_mode", "1");
    engine->frame();
    EXPECT_TRUE(near(at(6, 6), {127, 127, 191})) << "inside, where all 25 neighbours are painted";
    EXPECT_TRUE(near(engine->pixel(150, 150), {127, 127, 191})) << "no marker";
    EXPECT_TRUE(near(at(2, 6), {0, 0, 64})) << "the left edge";
    EXPECT_TRUE(near(at(11, 11), {0, 0, 64})) << "the corner";
    EXPECT_TRUE(near(at(12, 6), navy)) << "between the regions";
    EXPECT_TRUE(near(at(20, 16), {127, 127, 191}));
}

TEST_F(ActionMapDrawing, ShapesFillTheirAreaWithoutAMap)
{
    DebugUI::setActionMapDebugEnabled(true);
    layer->setProperty("color", "123456");
    ActionMapObject* shape = new ActionMapObject("shape", kavtypes::Rectangle(620, 50, 100, 100));
    Session::getActiveChapter()->registerObjects(shape);
    Session::getActiveScene()->getRootObject()->addChild(shape);
    shape->setProperty("shape", "rect");
    shape->setProperty("color", "FF8000");
    engine->frame();
    EXPECT_TRUE(near(engine->pixel(640, 60), {128, 64, 64}));
    EXPECT_TRUE(near(engine->pixel(670, 100), {64, 32, 32})) << "the marker at its centre";
    EXPECT_TRUE(near(engine->pixel(610, 60), navy));
    shape->setProperty("shape", "ellipse");
    engine->frame();
    EXPECT_TRUE(near(engine->pixel(670, 60), {128, 64, 64}));
    EXPECT_TRUE(near(engine->pixel(625, 55), navy)) << "outside the ellipse, in its rectangle's corner";
    // A collapsed layer draws neither its map nor markers.
    layer->setSize(0.0f, 600.0f);
    layer->setProperty("color", "000000");
    engine->frame();
    EXPECT_TRUE(near(at(4, 4), navy));
}

// A map whose header claims a size no texture can have (27 bytes: the header and no region).
TEST(ActionMapDrawingTooLarge, IsSaidOnceAndNotDrawnWhileTheGameGoesOn)
{
    GameFolder folder;
    actionmaptest::makeGame(folder);
    folder.put("data/chapters/room/action_maps/huge.amp", ampfiles::file(2147483647, 2147483647, {}));
    Engine engine(folder);
    engine.start();
    engine.frame();
    ActionMapObject* layer = actionmaptest::findLayer();
    ASSERT_NE(layer, nullptr);
    layer->setProperty("file", "huge");
    DebugUI::setActionMapDebugEnabled(true);
    for (int i = 0; i < 3; ++i)
    {
        engine.frame();
    }
    EXPECT_EQ(layer->getDebugTexture(), nullptr);
    EXPECT_EQ(engine.logCount("huge.amp: 2147483647 x 2147483647 pixels is too large to show"), 1u)
        << engine.logText();
    EXPECT_EQ(Engine::errorLines(), 1) << engine.logText();
    EXPECT_TRUE(near(engine.pixel(screen(4), screen(4)), navy));

    // A map that fits is shown again.
    layer->setProperty("file", "hall");
    engine.frame();
    EXPECT_NE(layer->getDebugTexture(), nullptr);
    DebugUI::setActionMapDebugEnabled(false);
}
