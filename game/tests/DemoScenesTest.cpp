#include "EngineHarness.h"
#include "Scene.h"

using harness::Engine;
using harness::GameFolder;
using harness::inOrder;

namespace
{
    typedef std::vector<int> Pixel;

    struct Walk
    {
        bool coveredFrameSeen = false;
        Pixel markerWhileCovered;
        int frames = 0;
    };
} // namespace

// The demo as shipped, clicked through its three scenes and back to the first.
class DemoScenes : public ::testing::Test
{
protected:
    GameFolder folder;
    std::unique_ptr<Engine> engine;

    void SetUp() override
    {
        folder.copyDemo();
        engine.reset(new Engine(folder));
        engine->start();
        engine->frame(0.016f);
    }
    std::string active() { return Session::getActiveScene()->getFullName(); }
    Pixel centre() { return engine->pixel(480, 270); }
    // Clicks the middle of the screen and runs frames of 0.1 s until the fade has ended.
    Walk click()
    {
        Walk walk;
        engine->mouse(tesra::Window::MOUSE_DOWN, 480, 270);
        engine->mouse(tesra::Window::MOUSE_UP, 480, 270);
        do
        {
            engine->frame(0.1f);
            if (centre() == Pixel{0, 0, 0, 255})
            {
                walk.coveredFrameSeen = true;
                walk.markerWhileCovered = engine->pixel(920, 500);
            }
            ++walk.frames;
        } while (Session::isTransitionRunning() && walk.frames < 40);
        engine->frame(0.016f);
        return walk;
    }
};

TEST_F(DemoScenes, ClicksFadeThroughThreeScenesOfTwoChapters)
{
    ASSERT_NE(Session::getActiveScene(), nullptr);
    EXPECT_EQ(active(), "meadow.hills");
    const Pixel hills = centre();
    EXPECT_EQ(engine->pixel(920, 500), (Pixel{0, 255, 0, 255}));

    Walk toSign = click();
    EXPECT_EQ(active(), "meadow.sign");
    EXPECT_TRUE(toSign.coveredFrameSeen);
    // The UI's marker lies above the scenes and their fade.
    EXPECT_EQ(toSign.markerWhileCovered, (Pixel{0, 255, 0, 255}));
    const Pixel sign = centre();
    EXPECT_EQ(sign, (Pixel{60, 35, 20, 255}));

    Walk toShore = click();
    EXPECT_EQ(active(), "lake.shore");
    EXPECT_TRUE(toShore.coveredFrameSeen);
    EXPECT_EQ(centre(), (Pixel{0x20, 0x60, 0xA0, 255}));

    click();
    EXPECT_EQ(active(), "meadow.hills");
    EXPECT_EQ(centre(), hills);
    EXPECT_NE(hills, sign);
    EXPECT_NE(hills, (Pixel{0, 0, 0, 255}));
    EXPECT_TRUE(inOrder(engine->logText(),
                        {"scripting: scene meadow.hills after ''",
                         "scripting: scene meadow.sign after 'meadow.hills'", "Loading chapter lake",
                         "Unloading chapter meadow", "scripting: scene lake.shore after 'meadow.sign'",
                         "Loading chapter meadow", "Unloading chapter lake",
                         "scripting: scene meadow.hills after 'lake.shore'"}));
}
