#include <orvalo/MoreGamesScreen.h>
#include <tesraui/TextImageButton.h>

#include "DemoPlayer.h"
#include "Match3Scene.h"

using namespace vumo;

namespace
{
    struct Answer
    {
        const char* where; // "" for the landing page, else a button of the main menu
        const char* how;   // "No" or "Yes" clicked, or "Escape" or "Return" pressed
        bool quits;
    };

} // namespace

// Escape's "Quit the demo?" on every kind of screen the demo shows: the landing page the promotion library
// puts up, the menu, a scene of the adventure, the duel. It is answered by a click on its buttons, which read
// No and Yes and light up under the pointer, or by Escape (no) and Return (yes).
class DemoQuitBox : public DemoPlayerTest, public ::testing::WithParamInterface<Answer>
{
};

TEST_P(DemoQuitBox, IsAnsweredWhereverItShows)
{
    const Answer& a = GetParam();
    if (a.where[0] == '\0')
    {
        Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
        engine->start(&createGameUI);
        engine->frame();
        ASSERT_TRUE(orvalo::isMoreGamesScreenShown());
    }
    else
    {
        engine->startDemo(a.where);
        ASSERT_FALSE(HasFatalFailure());
    }
    const std::string scene = active();
    key(27);
    // The box fades in.
    for (int i = 0; i < 5; ++i)
    {
        engine->frame(0.1f);
    }
    UI* ui = UI::getInstance();
    ASSERT_EQ(ui->getActiveMessageBoxType(), "quit");
    EXPECT_TRUE(Session::isPaused());
    tesraui::TextImageButton* no = boxButton("No");
    tesraui::TextImageButton* yes = boxButton("Yes");
    ASSERT_NE(no, nullptr);
    ASSERT_NE(yes, nullptr);
    // The buttons light up under the pointer: a point of the face clear of the word.
    const kavtypes::Rectangle face = yes->getBoundingRect();
    moveTo(face.x + face.w / 2, face.y + face.h / 2);
    EXPECT_EQ(engine->pixel((int)face.x + 4, (int)face.y + 4), (Pixel{0x6C, 0x86, 0xB8, 255}));
    const kavtypes::Rectangle other = no->getBoundingRect();
    EXPECT_EQ(engine->pixel((int)other.x + 4, (int)other.y + 4), (Pixel{0x3A, 0x4A, 0x66, 255}));
    const std::string how = a.how;
    if (how == "Escape" || how == "Return")
    {
        key(how == "Escape" ? 27 : 13);
    }
    else
    {
        clickThing(how == "Yes" ? yes : no);
        ASSERT_FALSE(HasFatalFailure());
    }
    engine->frame(0.016f);
    EXPECT_EQ(tesra::window->isRunning(), !a.quits);
    if (!a.quits)
    {
        EXPECT_FALSE(ui->isMessageBoxActive());
        EXPECT_FALSE(Session::isPaused());
        EXPECT_EQ(active(), scene);
        // And it asks again.
        key(27);
        engine->frame(0.1f);
        EXPECT_EQ(ui->getActiveMessageBoxType(), "quit");
    }
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

std::string answerName(const ::testing::TestParamInfo<Answer>& info)
{
    const std::string where = info.param.where;
    return (where == "" ? std::string("LandingPage") : where.substr(5)) + "_" + info.param.how;
}

INSTANTIATE_TEST_SUITE_P(Where, DemoQuitBox,
                         ::testing::Values(Answer{"", "No", false}, Answer{"", "Yes", true},
                                           Answer{"", "Escape", false}, Answer{"", "Return", true},
                                           Answer{"menu_adventure", "No", false},
                                           Answer{"menu_adventure", "Yes", true},
                                           Answer{"menu_duel", "No", false},
                                           Answer{"menu_lake", "Escape", false}),
                         answerName);

// The quit box over what a scene is doing.
class DemoQuitBoxOver : public DemoPlayerTest
{
};

// The box shows which answer Return gives: a gold ring around Yes, none around No, and the keys written
// below the question.
TEST_F(DemoQuitBoxOver, TheLakeAndShowsItsDefaultAnswer)
{
    engine->startDemo("menu_lake");
    ASSERT_FALSE(HasFatalFailure());
    key(27);
    for (int i = 0; i < 5; ++i)
    {
        engine->frame(0.1f);
    }
    ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
    moveTo(40, 40);
    const kavtypes::Rectangle yes = boxButton("Yes")->getBoundingRect();
    const kavtypes::Rectangle no = boxButton("No")->getBoundingRect();
    EXPECT_EQ(engine->pixel((int)yes.x - 3, (int)yes.y - 3), (Pixel{0xE0, 0xC0, 0x70, 255}))
        << "Yes is ringed";
    EXPECT_EQ(engine->pixel((int)no.x - 3, (int)no.y - 3), (Pixel{0x1A, 0x20, 0x30, 255})) << "No is not";
    std::string words;
    for (const auto& pair : UI::getInstance()->getDataset()->getObjects())
    {
        auto* label = dynamic_cast<tesraui::Label*>(pair.second);
        if (label != nullptr && label->isDescendantOf(UI::getInstance()->getShownBox()->boxObject))
        {
            words += std::string(label->getProperty("text")) + "|";
        }
    }
    EXPECT_NE(words.find("Return: Yes"), std::string::npos) << words;
    EXPECT_NE(words.find("Escape: No"), std::string::npos) << words;
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

// Escape while the stranger speaks: the box asks over his line, the line waits under it however long the
// box stands, and after No the same line is there and a click goes on with the talk to its end.
TEST_F(DemoQuitBoxOver, ALineThatWaitsUnderIt)
{
    engine->startDemo("menu_adventure");
    ASSERT_FALSE(HasFatalFailure());
    clickThing(thing("stranger"), "The stranger: talk to him");
    ASSERT_FALSE(HasFatalFailure());
    engine->frame(0.016f);
    talkOn();
    clickThing(uiObject("reply1"));
    ASSERT_FALSE(HasFatalFailure());
    engine->frame(0.1f);
    const std::string line = uiObject("dialog_line")->getProperty("text");
    ASSERT_NE(line.find("It's the way to the lake"), std::string::npos) << line;
    key(27);
    // Far longer than the line is shown for.
    for (int i = 0; i < 200; ++i)
    {
        engine->frame(0.1f);
    }
    ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
    EXPECT_EQ(std::string(uiObject("dialog_line")->getProperty("text")), line)
        << "the line waits under the box";
    EXPECT_EQ(items(), "") << "nothing after the line has run";
    clickThing(boxButton("No"));
    ASSERT_FALSE(HasFatalFailure());
    engine->frame(0.1f);
    EXPECT_FALSE(UI::getInstance()->isMessageBoxActive());
    EXPECT_TRUE(uiObject("dialog_line")->isDerivedVisible());
    EXPECT_EQ(std::string(uiObject("dialog_line")->getProperty("text")), line)
        << "No left the line as it was";
    EXPECT_EQ(engine->lua("dialog.isActive()"), "true");
    // The answered box fades out behind a click blocker; then a click goes on.
    for (int i = 0; i < 15; ++i)
    {
        engine->frame(0.1f);
    }
    click(480, 150);
    engine->frame(0.1f);
    EXPECT_NE(std::string(uiObject("dialog_line")->getProperty("text")).find("my rope"), std::string::npos);
    EXPECT_EQ(items(), "rope");
    goOn();
    ASSERT_TRUE(waitFor("dialog.isActive()", "false"));
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

// Escape while an answer shows: the answer waits under the box as a talk's line does, and after No it is
// still there, for the rest of its time.
TEST_F(DemoQuitBoxOver, AnAnswerThatWaitsUnderIt)
{
    engine->startDemo("menu_lake");
    ASSERT_FALSE(HasFatalFailure());
    clickPoint(880, 410, "The lake's water");
    ASSERT_FALSE(HasFatalFailure());
    const std::string said = answer();
    ASSERT_NE(said.find("deep and cold"), std::string::npos) << said;
    key(27);
    // Far longer than the answer is shown for.
    for (int i = 0; i < 100; ++i)
    {
        engine->frame(0.1f);
    }
    ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
    EXPECT_EQ(answer(), said) << "the answer waits under the box";
    clickThing(boxButton("No"));
    ASSERT_FALSE(HasFatalFailure());
    engine->frame(0.1f);
    EXPECT_EQ(answer(), said) << "No left the answer as it was";
    EXPECT_TRUE(waitFor("ui.sayLeft == nil", "true")) << "and it goes in its time";
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
