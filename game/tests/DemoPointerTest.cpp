#include <orvalo/MoreGamesScreen.h>

#include "EngineHarness.h"
#include "Match3Scene.h"
#include "VumoPlayerTorvinOrvaloUI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    typedef std::vector<int> Pixel;

    const Pixel pointerHeart{255, 255, 255, 255};
    const Pixel handRim{0xFF, 0xD0, 0x40, 255};
} // namespace

// The demo as shipped: the drawn pointer shows on every screen and turns into a hand over what can be
// clicked.
class DemoPointer : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.copyDemo();
        engine.reset(new Engine(folder));
    }
    // The pointer's hot spot moved to the point; the pointer changes in the frame after.
    void moveTo(float x, float y)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->frame(0.016f);
        engine->frame(0.016f);
    }
    Pixel heart(int x, int y) { return engine->pixel(x + 12, y + 12); }
    Pixel rim(int x, int y) { return engine->pixel(x + 5, y + 5); }
};

TEST_F(DemoPointer, ShowsOnTheLandingPageTheMenuAndTheStore)
{
    Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
    engine->start(&createGameUI);
    engine->frame();
    ASSERT_NE(orvalo::getPlayButton(), nullptr);
    for (int i = 0; i < 10; ++i)
    {
        engine->frame(0.1f);
    }
    moveTo(300, 200);
    EXPECT_EQ(heart(300, 200), pointerHeart) << "on the landing page";
    engine->clickObject(orvalo::getPlayButton());
    ASSERT_TRUE(engine->settleAt("menu.MainMenu"));
    moveTo(300, 400);
    EXPECT_EQ(heart(300, 400), pointerHeart) << "on the menu";
    engine->clickObject(Session::getChapter("menu")->tryGetObject("menu_store"));
    ASSERT_TRUE(engine->settleAt("menu.StoreMenu"));
    for (int i = 0; i < 10; ++i)
    {
        engine->frame(0.1f);
    }
    moveTo(100, 100);
    EXPECT_EQ(heart(100, 100), pointerHeart) << "in the store";
}

TEST_F(DemoPointer, TurnsIntoAHandOverRegionsAndMarkedThings)
{
    engine->startDemo();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(std::string(Session::getActiveScene()->getFullName()), "meadow.hills");
    struct Case
    {
        const char* scene;
        float x, y;
        bool hand;
        const char* what;
    };
    const Case cases[] = {
        {"meadow.hills", 72, 72, true, "the draggable piece"},
        {"meadow.hills", 480, 150, false, "the open sky"},
        {"meadow.sign", 480, 400, true, "the door's foot"},
        {"meadow.sign", 100, 270, false, "the wood beside the door"},
        {"meadow.sign", 820, 100, true, "the hidden key"},
    };
    for (const Case& c : cases)
    {
        if (std::string(Session::getActiveScene()->getFullName()) != c.scene)
        {
            Session::changeScene(c.scene, 0.0f, "");
            ASSERT_TRUE(engine->settleAt(c.scene)) << c.what;
        }
        moveTo(c.x, c.y);
        EXPECT_EQ(engine->lua("ui.getCursorMode()"), c.hand ? "hand" : "pointer") << c.what;
        if (c.hand)
        {
            EXPECT_EQ(rim(c.x, c.y), handRim) << c.what;
        }
        else
        {
            EXPECT_EQ(heart(c.x, c.y), pointerHeart) << c.what;
        }
    }
    // Found, the key is no longer there to click.
    engine->mouse(tesra::Window::MOUSE_DOWN, 820, 100);
    engine->mouse(tesra::Window::MOUSE_UP, 820, 100);
    for (int i = 0; i < 40 && engine->lua("object.exists('key')") == "true"; ++i)
    {
        engine->frame(0.1f);
    }
    moveTo(821, 101);
    EXPECT_EQ(engine->lua("ui.getCursorMode()"), "pointer");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
