#include <chrono>
#include <thread>

#include <quortypes/util.h>
#include <tesraui/Dataset.h>
#include <tesravideo/TheoraVideoClip.h>

#include "../../lib/tesravideo/tests/VideoWriter.h"
#include "EngineHarness.h"
#include "Scene.h"
#include "lua/LuaInterface.h"
#include "objects/VumoVideoObject.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

class EngineVideo : public harness::GameTest
{
protected:
    void start(const std::string& objects)
    {
        folder.config();
        folder.put("data/ui/video/count.ogv", videotest::encodeVideo(VideoPlan()));
        folder.put("data/ui/ui.dts", "<Dataset>" + objects + "</Dataset>");
        engine.reset(new Engine(folder));
        engine->start();
    }

    static VumoVideoObject* video(const char* name)
    {
        return dynamic_cast<VumoVideoObject*>(UI::getUIDataset()->getObject(name));
    }

    static float time(VumoVideoObject* object) { return object->getProperty("time").toFloat(); }
};

TEST_F(EngineVideo, AVideoUnderAPausableObjectStandsWhileTheSessionIsPaused)
{
    start("<Object type='PausableObject' name='pausable' rect='0,0,160,120'>"
          "  <Object type='VideoObject' name='inside' rect='0,0,64,48' video='count'/>"
          "</Object>"
          "<Object type='VideoObject' name='outside' rect='80,0,64,48' video='count'/>");
    VumoVideoObject* inside = video("inside");
    VumoVideoObject* outside = video("outside");
    // The engine's kind stands in for the library's under the same name.
    ASSERT_NE(inside, nullptr);
    ASSERT_NE(outside, nullptr);
    EXPECT_EQ(inside->getClassName(), "VideoObject");
    engine->frame(0.0f);
    ASSERT_NE(inside->getClip(), nullptr);
    engine->frame(0.1f);
    EXPECT_NEAR(time(inside), 0.1f, 1e-4f);
    EXPECT_NEAR(time(outside), 0.1f, 1e-4f);

    Session::setPaused(true);
    for (int i = 0; i < 3; ++i)
        engine->frame(0.1f);
    EXPECT_NEAR(time(inside), 0.1f, 1e-4f);
    EXPECT_NEAR(time(outside), 0.4f, 1e-4f);
    EXPECT_EQ(inside->getProperty("state"), "paused");
    EXPECT_EQ(outside->getProperty("state"), "playing");
    // The workers see it too, through the clock.
    EXPECT_TRUE(inside->getClip()->isPaused());

    Session::setPaused(false);
    engine->frame(0.1f);
    EXPECT_NEAR(time(inside), 0.2f, 1e-4f);
    EXPECT_EQ(inside->getProperty("state"), "playing");
}

TEST_F(EngineVideo, SpeedIsTheObjectsOwnAndReachesTheClip)
{
    start("<Object type='VideoObject' name='v' rect='0,0,64,48' video='count' speed='0.5'/>");
    VumoVideoObject* v = video("v");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->getProperty("speed"), "0.500000");
    engine->frame(0.0f);
    engine->frame(0.1f);
    engine->frame(0.1f);
    EXPECT_NEAR(time(v), 0.1f, 1e-4f);
    v->setProperty("speed", "2");
    EXPECT_FLOAT_EQ(v->getClip()->getPlaybackSpeed(), 2.0f);
    engine->frame(0.1f);
    EXPECT_NEAR(time(v), 0.3f, 1e-4f);
}

namespace
{
    // Two clicks: the hills' arrow fades to the sign, the sign's door to the lake.
    void walkToTheLake(Engine& engine)
    {
        const kavtypes::Rectangle arrow =
            Session::getChapter("meadow")->tryGetObject("to_sign")->getBoundingRect();
        for (const kavtypes::Vector2& way : {arrow.getCenter(), kavtypes::Vector2(480, 400)})
        {
            engine.clickAt(way.x, way.y);
            for (int frames = 0; frames < 40 && (frames == 0 || Session::isTransitionRunning()); ++frames)
                engine.frame(0.1f);
        }
    }
} // namespace

TEST(DemoVideo, TheLakeShowsALoopingVideo)
{
    GameFolder folder;
    folder.copyDemo();
    Engine engine(folder);
    engine.startDemo();
    engine.frame(0.016f);
    walkToTheLake(engine);
    ASSERT_EQ(Session::getActiveScene()->getFullName(), "lake.shore");
    VumoVideoObject* sky = nullptr;
    for (tesraui::Object* child : Session::getActiveScene()->getRootObject()->getChildren())
        sky = (sky != nullptr ? sky : dynamic_cast<VumoVideoObject*>(child));
    ASSERT_NE(sky, nullptr);
    engine.frame(0.016f);
    ASSERT_NE(sky->getClip(), nullptr);
    EXPECT_EQ(sky->getProperty("duration"), "2.000000");
    // The top of the sky: a dim blue-grey, not the frame around it.
    std::vector<int> top = engine.pixel(480, 88);
    EXPECT_GT(top[2], top[0]);
    EXPECT_NE(top, engine.pixel(410, 88));
    // The ground strip along its bottom edge.
    std::vector<int> ground = engine.pixel(480, 176);
    EXPECT_NEAR(ground[0], ground[2], 30);
    // Frames at a pace the worker can follow: the clock waits at the end until the clip has restarted.
    for (int i = 0; i < 60; ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        engine.frame(0.05f);
    }
    EXPECT_EQ(sky->getProperty("state"), "playing");
    EXPECT_GE(sky->getClip()->getPlaybackIteration(), 1);
}

TEST_F(EngineVideo, ScriptsPlayPauseAndStopVideoObjectsAndNothingElse)
{
    start("<Object type='VideoObject' name='v' rect='0,0,64,48' video='count'/>"
          "<Object type='ImageBox' name='box' rect='80,0,10,10'/>");
    VumoVideoObject* v = video("v");
    engine->frame(0.0f);
    engine->frame(0.1f);
    LuaInterface::execute("object.getObject('ui.v'):pause()");
    EXPECT_TRUE(v->getClip()->isPaused());
    engine->frame(0.1f);
    EXPECT_NEAR(time(v), 0.1f, 1e-4f);
    LuaInterface::execute("object.VideoObject.play(object.getObject('ui.v'))");
    engine->frame(0.1f);
    EXPECT_NEAR(time(v), 0.2f, 1e-4f);
    // Stopped: paused, and back at the start once the worker has run the seek.
    LuaInterface::execute("object.getObject('ui.v'):stop()");
    EXPECT_TRUE(v->getClip()->isPaused());
    EXPECT_EQ(v->getClip()->getNextFrame(), nullptr);
    EXPECT_EQ(engine->lua("select(2, pcall(object.VideoObject.play, object.getObject('ui.box')))"),
              "Class mismatch");
    EXPECT_EQ(engine->lua("type(object.getObject('ui.box').play)"), "nil");
}

TEST(DemoVideo, ADamagedSkyIsLoggedOnceAndTheLakeRunsOn)
{
    // The demo's own file cut short, and with bytes changed past its first page: the headers fail, or
    // the pictures do; either way the game goes on without the video.
    const std::string sky =
        harness::readFile(std::string(VUMO_DEMO_DIR) + "/data/chapters/lake/video/sky.ogv");
    ASSERT_GT(sky.size(), 4096u);
    std::string changed = sky;
    quortypes::seedRandom(5);
    for (int i = 0; i < 200; ++i)
        changed[64 + quortypes::randomInt(0, 4000)] = (char)quortypes::randomInt(0, 256);
    for (const std::string& bytes : {sky.substr(0, 200), changed})
    {
        harness::forgetSession();
        GameFolder folder;
        folder.copyDemo();
        folder.put("data/chapters/lake/video/sky.ogv", bytes);
        Engine::log().clear();
        Engine engine(folder);
        engine.startDemo();
        engine.frame(0.016f);
        walkToTheLake(engine);
        ASSERT_EQ(Session::getActiveScene()->getFullName(), "lake.shore") << engine.logText();
        for (int i = 0; i < 30; ++i)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            engine.frame(0.05f);
        }
        EXPECT_LE(engine.logCount("Unable to play video file 'data/chapters/lake/video/sky.ogv'"), 1u)
            << engine.logText();
        EXPECT_EQ(engine.logCount("EXCEPTION"), 0u) << engine.logText();
        // The sky still takes its click, which seeks a video that is not there.
        engine.mouse(tesra::Window::MOUSE_DOWN, 480, 130);
        engine.mouse(tesra::Window::MOUSE_UP, 480, 130);
        engine.frame(0.05f);
        EXPECT_EQ(Session::getActiveScene()->getFullName(), "lake.shore");
        EXPECT_EQ(engine.logCount("watching the sky"), 1u) << engine.logText();
    }
}
