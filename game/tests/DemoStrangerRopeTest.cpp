#include "DemoPlayer.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// The stranger's rope: which reply gets it, and the water that takes only the raft tied with it.
class DemoStrangerRope : public DemoPlayerTest
{
protected:
    void SetUp() override
    {
        DemoPlayerTest::SetUp();
        engine->startDemo("menu_adventure");
    }
    // Answers the stranger with the reply button given and waits for the talk to end.
    void answer(const std::string& reply)
    {
        ASSERT_TRUE(uiObject(reply)->isVisible());
        engine->clickObject(uiObject(reply));
        for (int i = 0; i < 100 && engine->lua("dialog.isActive()") == "true"; ++i)
        {
            engine->frame(0.1f);
        }
        ASSERT_EQ(engine->lua("dialog.isActive()"), "false");
        engine->frame(0.016f);
    }
};

TEST_F(DemoStrangerRope, GoodbyeGetsNothingAndTheStrangerCanBeAskedAgain)
{
    ASSERT_FALSE(HasFatalFailure());
    engine->clickObject(uiObject("plank_pickup"));
    engine->frame(0.016f);
    answer("reply2");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(items(), "plank");
    ASSERT_TRUE(uiObject("talk_button")->isDerivedVisible()) << "the way back to the stranger";
    engine->clickObject(uiObject("talk_button"));
    engine->frame(0.016f);
    EXPECT_FALSE(uiObject("talk_button")->isVisible()) << "not offered while the talk goes on";
    answer("reply1");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(items(), "plank,rope");
    EXPECT_FALSE(uiObject("talk_button")->isVisible());
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoStrangerRope, TheWaterTakesOnlyTheRaft)
{
    ASSERT_FALSE(HasFatalFailure());
    engine->clickObject(uiObject("plank_pickup"));
    engine->frame(0.016f);
    answer("reply1");
    ASSERT_FALSE(HasFatalFailure());
    click(480, 200);
    ASSERT_TRUE(engine->settleAt("meadow.sign"));
    click(480, 400);
    ASSERT_TRUE(engine->settleAt("lake.shore"));
    // A click on the water with nothing in hand, then with the rope: both stay at the shore and keep all.
    for (const std::string held : {"", "rope"})
    {
        if (held != "")
        {
            drag(held, 880, 410);
            ASSERT_FALSE(HasFatalFailure());
        }
        else
        {
            click(880, 410);
        }
        ASSERT_TRUE(engine->settleAt("lake.shore")) << held;
        EXPECT_EQ(items(), "plank,rope") << held;
        EXPECT_EQ(engine->lua("ui.getSelectedItem()"), "") << held;
        EXPECT_EQ(engine->lua("vars.demo_raft_afloat"), "0") << held;
    }
    // The plank dropped on the rope ties the raft as well as the other way round.
    dropOn("plank", "rope");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(items(), "raft");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
