#include <cstdlib>

#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "objects/VumoViewportObject.h"

using namespace vumo;

using harness::Engine;

namespace
{
    ::testing::AssertionResult near(const std::vector<int>& pixel, int r, int g, int b, int tolerance = 3)
    {
        if (std::abs(pixel[0] - r) <= tolerance && std::abs(pixel[1] - g) <= tolerance &&
            std::abs(pixel[2] - b) <= tolerance)
        {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << pixel[0] << "," << pixel[1] << "," << pixel[2];
    }
} // namespace

class ViewportDebugColors : public harness::GameTest
{
};

// The overlay shades the outside of the viewport in translucent orange and red and draws its edge in
// opaque orange.
TEST_F(ViewportDebugColors, AreTranslucentOrangeOutsideAndAnOpaqueEdge)
{
    folder.config("developer_mode: 1\n");
    folder.put("data/ui/ui.dts", "<Dataset/>");
    engine.reset(new Engine(folder));
    engine->start();
    VumoViewportObject* viewport = Session::getViewport();
    ASSERT_NE(viewport, nullptr);
    ASSERT_EQ(viewport->getRect(), kavtypes::Rectangle(0, 0, 160, 120));
    viewport->setProperty("viewport", "0.25,0.25,0.5,0.5");
    viewport->setProperty("debug", "1");
    tesraui::setDebugEnabled(true);
    engine->frame();
    engine->frame();
    tesraui::setDebugEnabled(false);
    // Inside the viewport the frame's own colour, which the shades are blended over.
    const std::vector<int> frame = engine->pixel(80, 60);
    auto over = [&](int channel, int value) { return frame[channel] + (value - frame[channel]) * 40 / 255; };
    EXPECT_TRUE(near(engine->pixel(80, 10), over(0, 255), over(1, 204), over(2, 0)));
    EXPECT_TRUE(near(engine->pixel(10, 60), over(0, 255), over(1, 31), over(2, 0)));
    EXPECT_TRUE(near(engine->pixel(40, 60), 255, 204, 0));
    EXPECT_TRUE(near(engine->pixel(119, 60), 255, 204, 0));
}
