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
                         "scripting: scene meadow.sign after 'meadow.hills'", "Unloading chapter meadow",
                         "Loading chapter lake", "scripting: scene lake.shore after 'meadow.sign'",
                         "Unloading chapter lake", "Loading chapter meadow",
                         "scripting: scene meadow.hills after 'lake.shore'"}));
}

TEST_F(DemoScenes, TheHillsHaveADraggablePieceAPathAndALatePicture)
{
    EXPECT_EQ(engine->pixel(72, 72), (Pixel{60, 35, 20, 255}));
    // The path's first stretch runs from (40, 480) towards (200, 420).
    bool pathSeen = false;
    for (int y = 470; y <= 476 && !pathSeen; ++y)
    {
        pathSeen = (engine->pixel(60, y) == Pixel{0xFF, 0xD0, 0x40, 255});
    }
    EXPECT_TRUE(pathSeen);
    const Pixel before = engine->pixel(892, 72);
    EXPECT_NE(before, (Pixel{60, 35, 20, 255}));
    for (int i = 0; i < 19; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_EQ(engine->pixel(892, 72), before);
    engine->frame(0.1f);
    engine->frame(0.1f);
    engine->frame(0.1f);
    EXPECT_EQ(engine->pixel(892, 72), (Pixel{60, 35, 20, 255}));

    // Dragged by its face, the piece follows the pointer.
    const Pixel hillsThere = engine->pixel(172, 122);
    const Pixel frameHere = engine->pixel(42, 60);
    tesra::window->queueMouseEvent(tesra::Window::MOUSE_MOVE, 60, 60, 1);
    tesra::window->queueMouseEvent(tesra::Window::MOUSE_DOWN, 60, 60, 1);
    tesra::window->checkEvents();
    engine->frame(0.016f);
    tesra::window->queueMouseEvent(tesra::Window::MOUSE_MOVE, 160, 110, 1);
    tesra::window->checkEvents();
    engine->frame(0.016f);
    tesra::window->queueMouseEvent(tesra::Window::MOUSE_UP, 160, 110, 1);
    tesra::window->checkEvents();
    engine->frame(0.016f);
    engine->frame(0.016f);
    EXPECT_EQ(engine->lua("meadow.hills.piece.x .. ',' .. meadow.hills.piece.y"), "140,90");
    // Away from the piece, which shows the hover shade while the pointer is over it.
    tesra::window->queueMouseEvent(tesra::Window::MOUSE_MOVE, 600, 100, 1);
    tesra::window->checkEvents();
    engine->frame(0.016f);
    EXPECT_NE(engine->pixel(172, 122), hillsThere);
    EXPECT_NE(engine->pixel(42, 60), frameHere);
}
