#include "DemoPlayer.h"

using namespace vumo;

// The stranger's rope: his greeting, which reply gets it, a talk started again by a click on the stranger,
// and the water that takes only the raft tied with it.
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
    // Past his greeting to his replies.
    void toTheReplies()
    {
        EXPECT_NE(line().find("Evening, traveller"), std::string::npos) << line();
        talkOn();
        ASSERT_TRUE(uiObject("reply1")->isDerivedVisible());
    }
    // Answers the stranger with the reply button given, expects his answer on screen and clicks on to the
    // talk's end.
    void answerWith(const std::string& reply, const std::string& answer)
    {
        ASSERT_TRUE(uiObject(reply)->isVisible());
        clickThing(uiObject(reply));
        ASSERT_FALSE(HasFatalFailure());
        engine->frame(0.1f);
        EXPECT_NE(line().find(answer), std::string::npos) << line();
        talkOn();
        ASSERT_EQ(engine->lua("dialog.isActive()"), "false");
        engine->frame(0.016f);
    }
};

TEST_F(DemoStrangerRope, GoodbyeGetsAFarewellOnlyAndAClickOnTheStrangerAsksAgain)
{
    ASSERT_FALSE(HasFatalFailure());
    talk();
    ASSERT_FALSE(HasFatalFailure());
    toTheReplies();
    ASSERT_FALSE(HasFatalFailure());
    answerWith("reply2", "Farewell");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(items(), "");
    talk();
    ASSERT_FALSE(HasFatalFailure());
    toTheReplies();
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
    EXPECT_NE(line().find("Good luck"), std::string::npos) << line();
    talkOn();
    EXPECT_EQ(engine->lua("dialog.isActive()"), "false");
    EXPECT_EQ(items(), "rope");
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoStrangerRope, TheWaterTakesOnlyTheRaft)
{
    ASSERT_FALSE(HasFatalFailure());
    clickThing(thing("plank"), "A plank: take it");
    talk();
    ASSERT_FALSE(HasFatalFailure());
    toTheReplies();
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
    EXPECT_NE(line().find("Evening, traveller"), std::string::npos) << line();
    EXPECT_EQ(items(), "plank");
}

// A double click on the stranger, with his greeting or with his last word: the talk starts once, and its
// line waits for a click of its own; a click that goes on does only that.
TEST_F(DemoStrangerRope, ADoubleClickOnTheStrangerTalksOnce)
{
    ASSERT_FALSE(HasFatalFailure());
    const kavtypes::Rectangle stranger = thing("stranger")->getBoundingRect();
    const float x = stranger.x + stranger.w / 2, y = stranger.y + stranger.h / 2;
    for (const char* said : {"Evening, traveller", "Good luck"})
    {
        if (std::string(said) == "Good luck")
        {
            LuaInterface::execute("inventory.addItem('rope')");
        }
        engine->doubleClickAt(x, y);
        engine->frame(0.1f);
        EXPECT_NE(line().find(said), std::string::npos) << said << ": " << line();
        EXPECT_EQ(engine->logCount("dialog begins"), std::string(said) == "Good luck" ? 2u : 1u);
        // A click on the stranger while his line shows goes on with the talk, and starts no other.
        clickThing(thing("stranger"));
        ASSERT_FALSE(HasFatalFailure());
        engine->frame(0.1f);
        talkOn();
        ASSERT_EQ(engine->lua("dialog.isActive()"), std::string(said) == "Good luck" ? "false" : "true");
        if (std::string(said) != "Good luck")
        {
            clickThing(uiObject("reply2"));
            ASSERT_FALSE(HasFatalFailure());
            talkOn();
        }
        EXPECT_EQ(engine->logCount("dialog begins"), std::string(said) == "Good luck" ? 2u : 1u);
        engine->frame(0.1f);
    }
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
