#include "DemoPlayer.h"

using namespace vumo;

// The stranger's rope: which reply gets it, a talk started again by a click on the stranger, and the water
// that takes only the raft tied with it.
class DemoStrangerRope : public DemoPlayerTest
{
protected:
    void SetUp() override
    {
        DemoPlayerTest::SetUp();
        engine->startDemo("menu_adventure");
    }
    void talk()
    {
        clickThing(thing("stranger"), "The stranger: talk to him");
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(engine->lua("dialog.isActive()"), "true");
    }
    // Answers the stranger with the reply button given, expects his answer on screen and waits for the talk
    // to end.
    void answerWith(const std::string& reply, const std::string& answer)
    {
        ASSERT_TRUE(uiObject(reply)->isVisible());
        clickThing(uiObject(reply));
        ASSERT_FALSE(HasFatalFailure());
        engine->frame(0.1f);
        EXPECT_TRUE(uiObject("dialog_line")->isDerivedVisible());
        EXPECT_NE(std::string(uiObject("dialog_line")->getProperty("text")).find(answer), std::string::npos)
            << uiObject("dialog_line")->getProperty("text");
        ASSERT_TRUE(waitFor("dialog.isActive()", "false"));
        engine->frame(0.016f);
    }
};

TEST_F(DemoStrangerRope, GoodbyeGetsAFarewellOnlyAndAClickOnTheStrangerAsksAgain)
{
    ASSERT_FALSE(HasFatalFailure());
    talk();
    ASSERT_FALSE(HasFatalFailure());
    answerWith("reply2", "Farewell");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(items(), "");
    talk();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(std::string(uiObject("reply1")->getProperty("text")), "Where does the path lead?");
    answerWith("reply1", "the way to the lake");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(items(), "rope");
    // With the rope given, the stranger only wishes luck, and gives nothing more.
    talk();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(uiObject("reply1")->isVisible());
    engine->frame(0.1f);
    EXPECT_NE(std::string(uiObject("dialog_line")->getProperty("text")).find("Good luck"), std::string::npos);
    ASSERT_TRUE(waitFor("dialog.isActive()", "false"));
    EXPECT_EQ(items(), "rope");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoStrangerRope, TheWaterTakesOnlyTheRaft)
{
    ASSERT_FALSE(HasFatalFailure());
    clickThing(thing("plank"), "A plank: take it");
    talk();
    ASSERT_FALSE(HasFatalFailure());
    answerWith("reply1", "the way to the lake");
    ASSERT_FALSE(HasFatalFailure());
    Session::changeScene("lake.shore", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("lake.shore"));
    // A click on the water with nothing in hand, then with the rope: both stay at the shore and keep all.
    const std::pair<const char*, const char*> tries[] = {{"", "deep and cold"},
                                                         {"rope", "will not carry you"}};
    for (const auto& [inHand, said] : tries)
    {
        if (std::string(inHand) != "")
        {
            pick(inHand);
            ASSERT_FALSE(HasFatalFailure());
        }
        forget();
        clickPoint(880, 410, "The lake's water");
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_NE(answer().find(said), std::string::npos) << inHand << ": " << answer();
        ASSERT_TRUE(engine->settleAt("lake.shore")) << inHand;
        EXPECT_EQ(items(), "plank,rope") << inHand;
        EXPECT_EQ(held(), "") << inHand;
        EXPECT_EQ(engine->lua("vars.demo_raft_afloat"), "0") << inHand;
    }
    // The plank dropped on the rope ties the raft as well as the other way round.
    dropOn("plank", "rope");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(items(), "raft");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

// A click on the stranger with the plank in hand: the plank goes back to the pack and his talk is the one
// answer, with no word of the plank failing there.
TEST_F(DemoStrangerRope, HoldingThePlankAClickOnTheStrangerOnlyTalks)
{
    ASSERT_FALSE(HasFatalFailure());
    clickThing(thing("plank"), "A plank: take it");
    pick("plank");
    ASSERT_FALSE(HasFatalFailure());
    forget();
    talk();
    ASSERT_FALSE(HasFatalFailure());
    engine->frame(0.1f);
    EXPECT_EQ(held(), "");
    EXPECT_EQ(answer(), "");
    EXPECT_EQ(engine->logCount("nothing happens with the plank"), 0u) << engine->logText();
    EXPECT_TRUE(uiObject("reply1")->isDerivedVisible());
    EXPECT_EQ(items(), "plank");
}
