#include <dlfcn.h>
#include <link.h>

#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesraui/CallbackObject.h>
#include <tesraui/ColoredQuad.h>
#include <tesraui/Container.h>
#include <tesraui/tesraui.h>

using namespace tesraui;
using kavtypes::Rectangle;
using kavtypes::Vector2;

namespace
{
    // A hidden 320 x 240 window with the OpenGL render system, cleared to black.
    class DrawTest : public ::testing::Test
    {
    protected:
        tesra::RenderSystem* rs = nullptr;

        void SetUp() override
        {
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(320, 240, false, "tesraui");
            // SDL unloads the GL driver before the leak check, which then cannot attribute the driver's
            // memory; keeping every loaded library avoids those reports.
            dl_iterate_phdr(
                [](dl_phdr_info* info, size_t, void*)
                {
                    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                    {
                        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                    }
                    return 0;
                },
                nullptr);
            rs = tesra::rendersys;
            rs->clear(true, false);
        }
        void TearDown() override
        {
            setDebugEnabled(false);
            tesra::destroy();
        }
        std::unique_ptr<tesra::Image> shot()
        {
            return std::unique_ptr<tesra::Image>(rs->takeScreenshot(tesra::Image::FORMAT_RGBA));
        }
        static unsigned int pixel(const tesra::Image& image, int x, int y)
        {
            const unsigned char* p = image.data + ((size_t)y * image.width + x) * 4;
            return ((unsigned int)p[0] << 24) | ((unsigned int)p[1] << 16) | ((unsigned int)p[2] << 8) | p[3];
        }
        static bool isBlack(const tesra::Image& image, int x, int y)
        {
            return pixel(image, x, y) == 0x000000FFu;
        }
    };
} // namespace

TEST_F(DrawTest, coloredQuadFillsItsDerivedColourAtItsPlace)
{
    Container root("root", Rectangle(100, 50, 100, 100));
    root.setAlpha(128);
    ColoredQuad quad("quad", Rectangle(10, 10, 20, 20));
    quad.setColor(tesra::Color(255, 0, 0, 255));
    root.addChild(&quad);
    ColoredQuad hidden("hidden", Rectangle(50, 50, 20, 20));
    hidden.setAlpha(0);
    root.addChild(&hidden);
    ColoredQuad underHidden("underHidden", Rectangle(0, 0, 10, 10));
    hidden.addChild(&underHidden);
    root.draw();
    std::unique_ptr<tesra::Image> image = shot();
    ASSERT_NE(image, nullptr);
    unsigned int inside = pixel(*image, 110, 60);
    EXPECT_NEAR((int)(inside >> 24), 128, 2);
    EXPECT_EQ(inside & 0x00FFFF00u, 0u);
    EXPECT_EQ(pixel(*image, 129, 79), inside);
    EXPECT_TRUE(isBlack(*image, 109, 60));
    EXPECT_TRUE(isBlack(*image, 110, 59));
    EXPECT_TRUE(isBlack(*image, 130, 80));
    EXPECT_TRUE(isBlack(*image, 155, 105)); // alpha 0: neither the quad nor its child
    EXPECT_TRUE(isBlack(*image, 150, 100));
    kavtypes::Matrix4 identity;
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(rs->getModelviewMatrix().data[i], identity.data[i]);
    }
}

TEST_F(DrawTest, clippedChildStaysInsideItsParentAndStateIsRestored)
{
    Rectangle projection = rs->getOrthoProjection();
    Rectangle viewport = rs->getViewport();
    Container root("root", Rectangle(0, 0, 320, 240));
    Container frame("frame", Rectangle(100, 100, 50, 50));
    ColoredQuad child("child", Rectangle(-50, -50, 200, 200));
    child.setColor(tesra::Color(0, 255, 0, 255));
    child.setClip(true);
    root.addChild(&frame);
    frame.addChild(&child);
    // Drawn after the clipped subtree, so it shows whether the state came back.
    ColoredQuad after("after", Rectangle(10, 10, 5, 5));
    after.setColor(tesra::Color(0, 0, 255, 255));
    after.setZOrder(1);
    root.addChild(&after);
    root.draw();
    EXPECT_EQ(rs->getOrthoProjection(), projection);
    EXPECT_EQ(rs->getViewport(), viewport);
    std::unique_ptr<tesra::Image> image = shot();
    ASSERT_NE(image, nullptr);
    int outside = 0;
    for (int y = 0; y < 240; ++y)
    {
        for (int x = 0; x < 320; ++x)
        {
            bool inFrame = x >= 100 && x < 150 && y >= 100 && y < 150;
            bool inAfter = x >= 10 && x < 15 && y >= 10 && y < 15;
            if (!inFrame && !inAfter && !isBlack(*image, x, y))
            {
                ++outside;
            }
        }
    }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(pixel(*image, 100, 100), 0x00FF00FFu);
    EXPECT_EQ(pixel(*image, 149, 149), 0x00FF00FFu);
    EXPECT_EQ(pixel(*image, 12, 12), 0x0000FFFFu);
}

TEST_F(DrawTest, clipInsideAnEmptyClipDrawsNothing)
{
    Rectangle projection = rs->getOrthoProjection();
    Rectangle viewport = rs->getViewport();
    Container root("root", Rectangle(0, 0, 320, 240));
    Container flat("flat", Rectangle(10, 10, 0, 50));
    ColoredQuad outer("outer", Rectangle(0, 0, 100, 100));
    ColoredQuad inner("inner", Rectangle(0, 0, 100, 100));
    outer.setClip(true);
    inner.setClip(true);
    root.addChild(&flat);
    flat.addChild(&outer);
    outer.addChild(&inner);
    // Reached only with whatever viewport the empty clips would have left: none at all.
    static int probed = 0;
    probed = 0;
    CallbackObject probe("probe", Rectangle(0, 0, 10, 10));
    probe.setDrawCallback([](CallbackObject*) { ++probed; });
    inner.addChild(&probe);
    root.draw();
    EXPECT_EQ(probed, 0);
    EXPECT_EQ(rs->getOrthoProjection(), projection);
    EXPECT_EQ(rs->getViewport(), viewport);
    std::unique_ptr<tesra::Image> image = shot();
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(isBlack(*image, 20, 20));
    EXPECT_TRUE(isBlack(*image, 10, 10));
}

TEST_F(DrawTest, drawnPixelsMatchTheHitTestOfATransformedQuad)
{
    Container parent("parent", Rectangle(40, 20, 200, 150));
    parent.setAngle(10);
    parent.setScale(1.2f, 0.9f);
    ColoredQuad quad("quad", Rectangle(60, 40, 80, 40));
    quad.setAngle(-35);
    quad.setScale(1.5f, 0.8f);
    quad.setCenter(20, 10);
    parent.addChild(&quad);
    parent.draw();
    std::unique_ptr<tesra::Image> image = shot();
    ASSERT_NE(image, nullptr);
    int filled = 0;
    int mismatched = 0;
    for (int y = 0; y < 240; ++y)
    {
        for (int x = 0; x < 320; ++x)
        {
            bool drawn = !isBlack(*image, x, y);
            filled += drawn ? 1 : 0;
            // The edges may round either way; a mismatch away from the edge is a transform error.
            if (drawn != quad.isPointInside(Vector2(x + 0.5f, y + 0.5f)))
            {
                Vector2 local = quad.transformToLocalSpace(Vector2(x + 0.5f, y + 0.5f));
                float margin = std::min(std::min(std::fabs(local.x), std::fabs(local.x - 80)),
                                        std::min(std::fabs(local.y), std::fabs(local.y - 40)));
                if (margin > 1.5f)
                {
                    ++mismatched;
                }
            }
        }
    }
    EXPECT_GT(filled, 2000);
    EXPECT_EQ(mismatched, 0);
}

TEST_F(DrawTest, debugModeOutlinesCentresAndContainers)
{
    Container box("box", Rectangle(100, 100, 40, 40));
    box.draw();
    std::unique_ptr<tesra::Image> image = shot();
    EXPECT_TRUE(isBlack(*image, 100, 100));
    setDebugEnabled(true);
    box.draw();
    image = shot();
    EXPECT_NE(pixel(*image, 120, 117), 0x000000FFu); // the green square around the centre
    EXPECT_NE(pixel(*image, 110, 110), 0x000000FFu); // the container's red fill
}
