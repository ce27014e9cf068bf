#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "objects/SceneSwitchDestructor.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// A scene ch1.a (and ch1.b to switch to) with a journal the scripts write.
class DelayedCalls : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal();
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "where = 'scene a'\n");
        folder.put("data/chapters/ch1/scenes/b.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
        LuaInterface::execute("journal = {}");
    }
    // The UI's update without the event delegate's clamp of the frame time.
    void uiUpdate(float timeDelta) { UI::getInstance()->update(timeDelta); }
    std::string journal() { return engine->lua("table.concat(journal, ' ')"); }
    int delayedCallsUnder(tesraui::Object* parent)
    {
        int count = 0;
        for (tesraui::Object* child : parent->getChildren())
        {
            count += (child->getClassName() == "DelayedCall" ? 1 : 0);
        }
        return count;
    }
    std::string failure(const std::string& code) { return engine->failure(code); }
};

TEST_F(DelayedCalls, CodeRunsOnceInTheUIAfterTheFifthUpdateAndItsObjectGoes)
{
    tesraui::Object* root = UI::getInstance()->getRootObject();
    LuaInterface::execute("where = 'globals'; vumo.delayedCall('note(where) hits = (hits or 0) + 1', 1.0)");
    EXPECT_EQ(delayedCallsUnder(root), 1);
    std::string seen;
    for (int update = 1; update <= 7; ++update)
    {
        uiUpdate(0.25f);
        seen +=
            std::to_string(update) + ":" + journal() + ":" + std::to_string(delayedCallsUnder(root)) + " ";
    }
    // Updated in the 5th frame, the callback and the deletion run in the event processing of the 6th.
    EXPECT_EQ(seen, "1::1 2::1 3::1 4::1 5::1 6:globals:0 7:globals:0 ");
    EXPECT_EQ(engine->lua("ui.hits"), "1");
    EXPECT_EQ(engine->lua("rawget(_G, 'hits')"), "nil");
}

TEST_F(DelayedCalls, SceneCallsPassTheirArgumentsAndRunInTheScene)
{
    tesraui::Object* root = Session::getActiveScene()->getRootObject();
    LuaInterface::execute(
        "shared = {}\n"
        "scene.delayedCall(function(n, s, t, extra) note(string.format('%s %s %s %s', n, s, "
        "tostring(t == shared), tostring(extra))) end, 0.1, 1, 'a', shared)\n"
        "scene.addDelayedCall('note(where)', 0.1)");
    EXPECT_EQ(delayedCallsUnder(root), 2);
    EXPECT_NE(
        engine->logText().find("vumo: WARNING: scene.addDelayedCall is deprecated as of VUMO 3.4.0 and will "
                               "be removed soon, use scene.delayedCall or vumo.delayedCall!"),
        std::string::npos);
    uiUpdate(0.25f);
    uiUpdate(0.25f);
    EXPECT_EQ(journal(), "1 a true nil scene a");
    EXPECT_EQ(delayedCallsUnder(root), 0);
}

TEST_F(DelayedCalls, WrongArgumentsAndNoSceneAreRefused)
{
    const std::string message =
        "error calling delayedCall(), must be called with either a string or a function "
        "argument, folowed by a float delay";
    EXPECT_EQ(failure("vumo.delayedCall({}, 1)"), message);
    EXPECT_EQ(failure("vumo.delayedCall('x')"), message);
    EXPECT_EQ(failure("scene.delayedCall('x', '1')"), message);
    EXPECT_EQ(delayedCallsUnder(UI::getInstance()->getRootObject()), 0);
    Session::getActiveScene()->deactivate(false);
    EXPECT_EQ(failure("scene.delayedCall('x', 1)"),
              "Unable to execute scene.delayedCall, scene root object is NULL.");
}

TEST_F(DelayedCalls, ADelayThatNeverRunsOutIsToldOnceForEachPlaceThatAsksForIt)
{
    // Three frames' worth of asking from two places, and one call with a proper delay beside them.
    for (int frame = 0; frame < 3; ++frame)
    {
        LuaInterface::execute("vumo.delayedCall('note(\\'negative\\')', -1)\n"
                              "scene.delayedCall(function() note('never') end, -2)\n"
                              "vumo.delayedCall('note(\\'due\\')', 0)",
                              "", "@asking.lua");
        uiUpdate(0.25f);
    }
    uiUpdate(0.25f);
    EXPECT_EQ(journal(), "due due due");
    const std::string never = "a delay below 0 never runs out, the call never runs.";
    EXPECT_EQ(engine->logCount(never), 2u) << engine->logText();
    EXPECT_EQ(engine->logCount("asking.lua:1: delayedCall() with the delay -1:"), 1u) << engine->logText();
    EXPECT_EQ(engine->logCount("asking.lua:2: delayedCall() with the delay -2:"), 1u) << engine->logText();
    EXPECT_EQ(Engine::errorLines(), 0);

    // Another place asking is told too.
    LuaInterface::execute("\nvumo.delayedCall('x', -0.5)", "", "@elsewhere.lua");
    EXPECT_EQ(engine->logCount("elsewhere.lua:2: delayedCall() with the delay -0.5:"), 1u)
        << engine->logText();
}

TEST_F(DelayedCalls, ASceneSwitchDestructorTakesItsPieceAwayAndTwoSwitchesQueueOneDeletion)
{
    tesraui::Object* root = Session::getActiveScene()->getRootObject();
    tesraui::Dataset* chapter = root->getDataset();
    tesraui::Object* piece = new tesraui::Object("piece", kavtypes::Rectangle(0, 0, 1, 1));
    chapter->registerObjects(piece);
    root->addChild(piece);
    SceneSwitchDestructor* destructor = new SceneSwitchDestructor("d", kavtypes::Rectangle(0, 0, 1, 1));
    destructor->setProperty("chapter", "some other chapter");
    chapter->registerObjects(destructor);
    piece->addChild(destructor);
    uiUpdate(0.25f);
    EXPECT_TRUE(chapter->hasObject("piece"));

    // Both switches immediate, at the start of one frame: the piece's deletion is queued once and runs once.
    LuaInterface::execute("scene._queued_switchScene('b', 0, '') scene._queued_switchScene('a', 0, '')");
    uiUpdate(0.25f);
    EXPECT_EQ(Session::getActiveScene()->getName(), "a");
    EXPECT_EQ(engine->logCount("activating scene b"), 1u);
    uiUpdate(0.25f);
    EXPECT_FALSE(chapter->hasObject("piece"));
    EXPECT_FALSE(chapter->hasObject("d"));
}

// More calls firing in one frame than a frame runs events: each callback runs once, in the order the calls
// were made, the rest in the next frames, and every call's object goes after its callback.
TEST_F(DelayedCalls, ManyFiringTogetherRunOnceInOrderOverTheNextFrames)
{
    tesraui::Object* root = UI::getInstance()->getRootObject();
    const int calls = 30000;
    LuaInterface::execute("order = {} for i = 1, " + hstring(calls) +
                          " do vumo.delayedCall(function() order[#order + 1] = i end, 0) end");
    EXPECT_EQ(delayedCallsUnder(root), calls);
    std::string seen;
    for (int frame = 0; frame < 7; ++frame)
    {
        uiUpdate(0.25f);
        seen += engine->lua("#order") + " ";
    }
    // Each frame runs as many events as it may: a callback and a deletion for each call.
    const int perFrame = tesraui::Dataset::maxEventsPerCall / 2;
    std::string expected;
    for (int frame = 0; frame < 7; ++frame)
    {
        expected += std::to_string(std::min(frame * perFrame, calls)) + " ";
    }
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(engine->lua("(function() for i, v in ipairs(order) do if v ~= i then return i end end "
                          "return 'in order' end)()"),
              "in order");
    EXPECT_EQ(delayedCallsUnder(root), 0);
}
