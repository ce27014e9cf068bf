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
        Pixel menuWhileCovered;
        int frames = 0;
    };
} // namespace

// The demo as shipped, walked through its three scenes and back to the first by the ways they show.
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
    // The Menu button's face, away from its word.
    Pixel menu() { return engine->pixel(826, 492); }
    // Clicks the point and runs frames of 0.1 s until the fade has ended.
    Walk click(float x, float y)
    {
        Walk walk;
        engine->clickAt(x, y);
        do
        {
            engine->frame(0.1f);
            if (centre() == Pixel{0, 0, 0, 255})
            {
                walk.coveredFrameSeen = true;
                walk.menuWhileCovered = menu();
            }
            ++walk.frames;
        } while (Session::isTransitionRunning() && walk.frames < 40);
        engine->frame(0.016f);
        return walk;
    }
    // Takes the way the scene shows as a thing of that name.
    Walk take(const char* way)
    {
        const kavtypes::Rectangle rect =
            Session::getActiveScene()->getChapter()->tryGetObject(way)->getBoundingRect();
        return click(rect.x + rect.w / 2, rect.y + rect.h / 2);
    }
};

TEST_F(DemoScenes, TheWaysFadeThroughThreeScenesOfTwoChapters)
{
    ASSERT_NE(Session::getActiveScene(), nullptr);
    EXPECT_EQ(active(), "meadow.hills");
    const Pixel hills = centre();
    const Pixel button = menu();
    EXPECT_EQ(button, (Pixel{0x30, 0x38, 0x48, 255}));
    // Clicks on empty ground lead nowhere.
    click(480, 150);
    click(100, 420);
    EXPECT_EQ(active(), "meadow.hills");

    Walk toSign = take("to_sign");
    EXPECT_EQ(active(), "meadow.sign");
    EXPECT_TRUE(toSign.coveredFrameSeen);
    // The UI's Menu button lies above the scenes and their fade.
    EXPECT_EQ(toSign.menuWhileCovered, button);
    const Pixel sign = centre();
    click(300, 300); // the wood beside the door
    EXPECT_EQ(active(), "meadow.sign");

    Walk toShore = click(480, 400); // the door
    EXPECT_EQ(active(), "lake.shore");
    EXPECT_TRUE(toShore.coveredFrameSeen);
    const Pixel shore = centre();
    click(200, 450); // the beach
    click(880, 410); // the water, with nothing in hand
    EXPECT_EQ(active(), "lake.shore");

    take("to_hills");
    EXPECT_EQ(active(), "meadow.hills");
    EXPECT_EQ(centre(), hills);
    EXPECT_NE(hills, sign);
    EXPECT_NE(sign, shore);
    EXPECT_NE(hills, (Pixel{0, 0, 0, 255}));
    EXPECT_TRUE(
        inOrder(engine->logText(),
                {"scripting: Evening on the meadow", "scripting: scene meadow.hills after 'menu.MainMenu'",
                 "scripting: scene meadow.sign after 'meadow.hills'", "Loading chapter lake",
                 "Unloading chapter meadow", "scripting: scene lake.shore after 'meadow.sign'",
                 "Loading chapter meadow", "Unloading chapter lake",
                 "scripting: scene meadow.hills after 'lake.shore'"}));
}

TEST_F(DemoScenes, TheHillsHaveACrateToDragAPathAndARisingMoon)
{
    // The way in from the menu took time of its own: the hills start afresh, at once, for the clock below.
    Session::changeScene("meadow.hills", 0.0f, "");
    engine->frame(0.016f);
    ASSERT_EQ(active(), "meadow.hills");
    // The crate's boards beside its cross board.
    EXPECT_EQ(engine->pixel(580, 386), (Pixel{150, 96, 48, 255}));
    // The path's middle runs from (660, 440) towards (800, 406).
    bool pathSeen = false;
    for (int y = 418; y <= 428 && !pathSeen; ++y)
    {
        pathSeen = (engine->pixel(730, y) == Pixel{0xA8, 0x84, 0x52, 255});
    }
    EXPECT_TRUE(pathSeen);
    const Pixel moon{250, 240, 200, 255};
    EXPECT_NE(engine->pixel(652, 86), moon);
    for (int i = 0; i < 19; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_NE(engine->pixel(652, 86), moon);
    engine->frame(0.1f);
    engine->frame(0.1f);
    engine->frame(0.1f);
    EXPECT_EQ(engine->pixel(652, 86), moon);

    // Dragged by its face, the crate follows the pointer, and the drag says so.
    const Pixel grassThere = engine->pixel(690, 400);
    engine->mouse(tesra::Window::MOUSE_MOVE, 580, 386);
    engine->frame(0.016f);
    engine->mouse(tesra::Window::MOUSE_DOWN, 580, 386);
    engine->frame(0.016f);
    engine->mouse(tesra::Window::MOUSE_MOVE, 680, 400);
    engine->frame(0.016f);
    engine->mouse(tesra::Window::MOUSE_UP, 680, 400);
    engine->frame(0.016f);
    engine->frame(0.016f);
    EXPECT_EQ(engine->lua("meadow.hills.piece.x .. ',' .. meadow.hills.piece.y"), "660,370");
    EXPECT_NE(engine->pixel(690, 400), grassThere);
    EXPECT_EQ(engine->lua("object.getProperty('ui.say', 'text')"), "You slide the crate over the grass.");
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
    take("to_sign");
    click(480, 400);
    take("to_hills");
    ASSERT_EQ(active(), "meadow.hills");
    const std::string reading = "tesraparticle: Loading system: data/particles/fire.xml";
    EXPECT_TRUE(inOrder(engine->logText(), {reading, "Unloading chapter meadow", reading}));
    harness::Engine::log().clear();
    std::unique_ptr<tesraparticle::System> copy(tesraparticle::loadSystem("data/particles/fire.xml"));
    Session::cleanMemory();
    copy = tesraparticle::loadSystem("data/particles/fire.xml");
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

// The crate's answer tells a drag that moved it from one that did not, and once slid aside it stays there:
// back from the sign, and after the oar it bared is taken.
TEST_F(DemoScenes, TheCrateSaysWhetherItMovedAndStaysWhereItWasSlid)
{
    ASSERT_EQ(active(), "meadow.hills");
    auto drag = [this](float fromX, float fromY, float toX, float toY)
    {
        LuaInterface::execute("ui.sayLeft = 0");
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_MOVE, fromX, fromY);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_DOWN, fromX, fromY);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_MOVE, toX, toY);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_UP, toX, toY);
        engine->frame(0.016f);
        engine->frame(0.016f);
        return UI::getInstance()->getDataset()->tryGetObject("say_panel")->isDerivedVisible()
                   ? engine->lua("object.getProperty('ui.say', 'text')")
                   : std::string();
    };
    const std::string place = "meadow.hills.piece.x .. ',' .. meadow.hills.piece.y";
    // From the grass onto the crate, from the crate round and back onto it, and a press without a move.
    EXPECT_EQ(drag(520, 400, 596, 392), "");
    EXPECT_EQ(drag(596, 392, 596, 392), "The crate is too heavy to lift, but it slides: drag it aside.");
    EXPECT_EQ(engine->lua(place), "560,356");
    EXPECT_EQ(drag(596, 392, 706, 402), "You slide the crate over the grass.");
    EXPECT_EQ(engine->lua(place), "670,366");

    take("to_sign");
    take("to_hills");
    ASSERT_EQ(active(), "meadow.hills");
    EXPECT_EQ(engine->lua(place), "670,366") << "the crate stays where it was slid";
    engine->clickAt(596, 392);
    engine->frame(0.016f);
    for (int i = 0; i < 100 && engine->lua("vars.demo_oar_found") != "1"; ++i)
    {
        engine->frame(0.1f);
    }
    ASSERT_EQ(engine->lua("vars.demo_oar_found"), "1");
    take("to_sign");
    take("to_hills");
    EXPECT_EQ(engine->lua(place), "670,366") << "the crate stays aside of the oar's place";
}
