#include <cstring>

#include <lua.hpp>

#include <quortypes/util.h>
#include <tesraparticle/Emitter.h>
#include <tesraparticle/System.h>
#include <tesraparticle/tesraparticle.h>
#include <tesraui/ImageBox.h>
#include <tesrauiparticle/Particle.h>

#include "EngineHarness.h"
#include "lua/Calls.h"
#include "Scene.h"
#include "ui/UI.h"

#include <tesraui/Dataset.h>

using namespace vumo;

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
class DemoScenes : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.copyDemo();
        engine.reset(new Engine(folder));
        engine->startDemo();
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
    EXPECT_TRUE(
        inOrder(engine->logText(),
                {"scripting: Evening on the meadow", "scripting: scene meadow.hills after 'menu.MainMenu'",
                 "scripting: scene meadow.sign after 'meadow.hills'", "Loading chapter lake",
                 "Unloading chapter meadow", "scripting: scene lake.shore after 'meadow.sign'",
                 "Loading chapter meadow", "Unloading chapter lake",
                 "scripting: scene meadow.hills after 'lake.shore'"}));
}

TEST_F(DemoScenes, TheHillsHaveADraggablePieceAPathAndALatePicture)
{
    // The way in from the menu took time of its own: the hills start afresh, at once, for the clock below.
    Session::changeScene("meadow.hills", 0.0f, "");
    engine->frame(0.016f);
    ASSERT_EQ(active(), "meadow.hills");
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

TEST_F(DemoScenes, TheHillsBurnACampfire)
{
    ASSERT_NE(Session::getActiveScene(), nullptr);
    tesrauiparticle::Particle* fire = nullptr;
    for (tesraui::Object* child : Session::getActiveScene()->getRootObject()->getChildren())
        if (child->getName() == "meadow.hills_fire")
            fire = dynamic_cast<tesrauiparticle::Particle*>(child);
    ASSERT_NE(fire, nullptr);
    ASSERT_TRUE(fire->isLoaded());
    EXPECT_EQ(fire->getSystem()->getName(), "data/particles/fire");
    quortypes::seedRandom(7);
    for (int i = 0; i < 20; ++i)
        engine->frame(0.1f);
    EXPECT_GT(fire->getSystem()->getEmitters()[0]->getAlive(), 0);

    // The same frame with and without the fire: the flame adds light above its base and nowhere else.
    auto shot = [&]
    {
        engine->frame(0.0f);
        return std::unique_ptr<tesra::Image>(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
    };
    std::unique_ptr<tesra::Image> lit = shot();
    fire->setVisible(false);
    std::unique_ptr<tesra::Image> dark = shot();
    int brighter = 0, elsewhere = 0, darker = 0;
    for (int y = 0; y < lit->height; ++y)
        for (int x = 0; x < lit->width; ++x)
        {
            const unsigned char* on = lit->data.get() + (y * lit->width + x) * 4;
            const unsigned char* off = dark->data.get() + (y * dark->width + x) * 4;
            if (memcmp(on, off, 3) == 0)
                continue;
            bool inside = x >= 150 && x < 250 && y >= 300 && y < 460;
            (inside ? brighter : elsewhere) += 1;
            darker += (on[0] < off[0] || on[1] < off[1] || on[2] < off[2]) ? 1 : 0;
        }
    EXPECT_GT(brighter, 30);
    EXPECT_EQ(elsewhere, 0);
    EXPECT_EQ(darker, 0);

    // Leaving the chapter clears the particle cache, so the file is read again on the way back; freeing
    // memory clears it too.
    fire->setVisible(true);
    for (int i = 0; i < 3; ++i)
        click();
    ASSERT_EQ(active(), "meadow.hills");
    const std::string reading = "tesraparticle: Loading system: data/particles/fire.xml";
    EXPECT_TRUE(inOrder(engine->logText(), {reading, "Unloading chapter meadow", reading}));
    harness::Engine::log().clear();
    std::unique_ptr<tesraparticle::System> copy(tesraparticle::loadSystem("data/particles/fire.xml"));
    Session::cleanMemory();
    copy.reset(tesraparticle::loadSystem("data/particles/fire.xml"));
    EXPECT_TRUE(inOrder(engine->logText(), {"tesraparticle: Already loaded: data/particles/fire.xml",
                                            "cleanMemory() called", reading}));
}

TEST_F(DemoScenes, ScriptsResetTheCampfireThroughItsClassMethod)
{
    tesrauiparticle::Particle* fire = nullptr;
    for (tesraui::Object* child : Session::getActiveScene()->getRootObject()->getChildren())
        if (child->getName() == "meadow.hills_fire")
            fire = dynamic_cast<tesrauiparticle::Particle*>(child);
    ASSERT_NE(fire, nullptr);
    for (int i = 0; i < 10; ++i)
        engine->frame(0.1f);
    ASSERT_GT(fire->getSystem()->getEmitters()[0]->getAlive(), 0);
    lua_State* L = LuaInterface::state;
    LuaInterface::pushObject(L, fire);
    lua_setglobal(L, "fire");
    LuaInterface::pushObject(L, Session::getActiveScene()->getRootObject());
    lua_setglobal(L, "root");

    EXPECT_EQ(engine->lua("select(2, pcall(object.Particle.reset, root)):match('Class mismatch')"),
              "Class mismatch");
    EXPECT_EQ(engine->lua("select(2, pcall(object.ParticleSystem.reset, fire)):match('Class mismatch')"),
              "Class mismatch");
    EXPECT_GT(fire->getSystem()->getEmitters()[0]->getAlive(), 0);
    EXPECT_EQ(engine->lua("type(fire.reset)"), "function");
    engine->lua("fire:reset()");
    EXPECT_EQ(fire->getSystem()->getEmitters()[0]->getAlive(), 0);
}

TEST_F(DemoScenes, ADrawnPointerAndAQuitBoxOnEscape)
{
    tesra::window->queueMouseEvent(tesra::Window::MOUSE_MOVE, 300, 200, 0);
    tesra::window->checkEvents();
    engine->frame(0.016f);
    EXPECT_EQ(engine->pixel(312, 212), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(engine->pixel(307, 207), (Pixel{0x20, 0x20, 0x20, 255}));

    UI* ui = UI::getInstance();
    auto escape = [&]
    {
        tesra::window->handleKeyEvent(tesra::Window::KEY_DOWN, 27, 0);
        tesra::window->handleKeyEvent(tesra::Window::KEY_UP, 27, 0);
        engine->frame(0.016f);
    };
    auto click = [&](const char* button)
    {
        tesraui::Object* found = nullptr;
        for (const auto& pair : ui->getDataset()->getObjects())
        {
            if (pair.first.startsWith(button) && ui->getShownBox() != nullptr &&
                pair.second->isDescendantOf(ui->getShownBox()->boxObject))
            {
                found = pair.second;
            }
        }
        ASSERT_NE(found, nullptr) << button;
        const kavtypes::Rectangle rect = found->getBoundingRect();
        for (auto type : {tesra::Window::MOUSE_MOVE, tesra::Window::MOUSE_DOWN, tesra::Window::MOUSE_UP})
        {
            tesra::window->queueMouseEvent(type, rect.x + rect.w / 2, rect.y + rect.h / 2, 1);
            tesra::window->checkEvents();
        }
        engine->frame(0.016f);
    };
    escape();
    escape();
    EXPECT_EQ(ui->getActiveMessageBoxType(), "quit");
    EXPECT_EQ(ui->getNumQueuedMessageBoxTypes(""), 1);
    EXPECT_TRUE(Session::isPaused());
    click("msgbox_no_button");
    EXPECT_FALSE(ui->isMessageBoxActive());
    EXPECT_FALSE(Session::isPaused());
    EXPECT_TRUE(tesra::window->isRunning());
    escape();
    click("msgbox_yes_button");
    EXPECT_FALSE(tesra::window->isRunning());
    EXPECT_FALSE(ui->isErrorOverlayShown());
}
