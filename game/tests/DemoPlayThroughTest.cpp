#include <map>

#include <orvalo/MoreGamesScreen.h>
#include <tesraui/TextImageButton.h>

#include "DemoPlayer.h"
#include "Match3Scene.h"
#include "Profile.h"

#include <tesraparticle/Emitter.h>
#include <tesraparticle/System.h>
#include <tesrauiparticle/Particle.h>

using namespace vumo;

namespace
{
    // A neighbour swap that makes a run, one of the templar's tiles first; false when there is none. The
    // board is only looked at, as a player looks at the screen.
    bool findSwap(const Match3Board& shown, int& c1, int& r1, int& c2, int& r2)
    {
        Match3Board board = shown;
        for (int pass = 0; pass < 2; ++pass)
        {
            for (int c = 0; c < board.getColumns(); ++c)
            {
                for (int r = 0; r < board.getRows(); ++r)
                {
                    for (const std::pair<int, int>& step : {std::make_pair(1, 0), std::make_pair(0, 1)})
                    {
                        const int cn = c + step.first;
                        const int rn = r + step.second;
                        if (cn >= board.getColumns() || rn >= board.getRows())
                        {
                            continue;
                        }
                        board.swap(c, r, cn, rn);
                        bool found = (pass == 1 && board.hasRun());
                        for (const Match3Board::Run& run : board.findMatches())
                        {
                            const hstring type = board.at(run.column, run.row);
                            found = found || type == "sword" || type == "arrow";
                        }
                        board.swap(c, r, cn, rn);
                        if (found)
                        {
                            c1 = c, r1 = r, c2 = cn, r2 = rn;
                            return true;
                        }
                    }
                }
            }
        }
        return false;
    }
} // namespace

// The demo played from the landing page to its ending by clicks only, in one run or in two: every way taken
// is one the screen shows, the hand shows over everything clicked, and every action answers on screen.
class DemoPlayThrough : public DemoPlayerTest
{
protected:
    std::string goal() { return uiObject("goal")->getProperty("text"); }
    std::string notice() { return uiObject("notice")->getProperty("text"); }
    // Notches of the wheel over the point: a negative amount zooms in.
    void wheel(float x, float y, float amount, int notches)
    {
        engine->mouse(tesra::Window::MOUSE_MOVE, x, y);
        engine->frame(0.016f);
        for (int i = 0; i < notches; ++i)
        {
            engine->mouse(tesra::Window::MOUSE_SCROLL, 0.0f, amount, 0);
            engine->frame(0.016f);
        }
    }
    // Takes the way (an arrow, a door) the screen shows, named when the pointer is over it.
    void takeWay(tesraui::Object* way, const std::string& name, const std::string& to)
    {
        ASSERT_NE(way, nullptr) << name;
        ASSERT_TRUE(way->isDerivedVisible()) << name << ": the way is drawn";
        clickThing(way, name);
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(engine->settleAt(to)) << name << ": still at " << active();
    }
    // Clicks a thing and expects its answer on screen.
    void act(tesraui::Object* object, const std::string& name, const std::string& said)
    {
        forget();
        clickThing(object, name);
        ASSERT_FALSE(HasFatalFailure());
        engine->frame(0.016f);
        EXPECT_NE(answer().find(said), std::string::npos) << name << " answers '" << answer() << "'";
    }
    // The landing page: Escape's box answered No by a click, then Play.
    void leaveTheLandingPage()
    {
        Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
        engine->start(&createGameUI);
        ASSERT_FALSE(HasFatalFailure());
        engine->frame();
        ASSERT_NE(orvalo::getPlayButton(), nullptr) << "the landing page shows";
        key(27);
        engine->frame(0.1f);
        ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
        tesraui::Object* no = boxButton("No");
        ASSERT_NE(no, nullptr) << "the box's buttons read No and Yes";
        ASSERT_NE(boxButton("Yes"), nullptr);
        clickThing(no);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_FALSE(UI::getInstance()->isMessageBoxActive()) << "the box answered No on the landing page";
        EXPECT_TRUE(tesra::window->isRunning());
        // The answered box fades out behind a click blocker.
        for (int i = 0; i < 15; ++i)
        {
            engine->frame(0.1f);
        }
        clickThing(orvalo::getPlayButton());
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(engine->settleAt("menu.MainMenu"));
        takeWay(thing("menu_adventure"), "", "meadow.hills");
    }
    // The first half: the stranger and his rope, the plank, the key on the sign, the door.
    void playToTheLake()
    {
        ASSERT_EQ(active(), "meadow.hills");
        ASSERT_TRUE(uiObject("goal")->isDerivedVisible()) << "the goal is stated at the start";
        EXPECT_NE(goal().find("take the golden key from the sign"), std::string::npos) << goal();
        clickThing(thing("stranger"), "The stranger: talk to him");
        ASSERT_FALSE(HasFatalFailure());
        engine->frame(0.1f);
        EXPECT_NE(line().find("Evening, traveller"), std::string::npos) << "he greets first: " << line();
        goOn();
        engine->frame(0.1f);
        ASSERT_TRUE(uiObject("reply1")->isDerivedVisible()) << "the talk offers its replies";
        clickThing(uiObject("reply1"));
        ASSERT_FALSE(HasFatalFailure());
        engine->frame(0.1f);
        EXPECT_TRUE(uiObject("dialog_line")->isDerivedVisible()) << "the stranger answers on screen";
        // His line waits for the click its panel asks for, however long it is read.
        const std::string first = line();
        for (int i = 0; i < 50; ++i)
        {
            engine->frame(0.1f);
        }
        EXPECT_EQ(line(), first) << "a line waits for its click";
        EXPECT_TRUE(uiObject("dialog_hint")->isDerivedVisible()) << "the panel says how to go on";
        // The click lands on the beacon's wood under the line's band: it goes on, and does nothing else.
        click(768, 312);
        engine->frame(0.1f);
        EXPECT_NE(line().find("my rope"), std::string::npos) << "a click went on from '" << first << "'";
        EXPECT_EQ(engine->lua("vars.demo_beacon_lit"), "0") << "the click that went on lit the beacon";
        // So does the last one, on the path's arrow: the talk ends and no way is taken.
        click(900, 312);
        ASSERT_TRUE(waitFor("dialog.isActive()", "false"));
        ASSERT_TRUE(engine->settleAt("meadow.hills")) << "the click that ended the talk took the arrow";
        EXPECT_EQ(items(), "rope") << "asking about the path gets the stranger's rope";
        act(thing("plank"), "A plank: take it", "plank");
        EXPECT_EQ(items(), "rope,plank");
        EXPECT_FALSE(thing("plank")->isVisible()) << "the plank lies in one place only";
        takeWay(thing("to_sign"), "To the sign", "meadow.sign");
        act(thing("key"), "A golden key: take it", "golden key");
        ASSERT_TRUE(waitFor("vars.demo_key_found", "1"));
        EXPECT_EQ(items(), "rope,plank,key") << "the golden key is in the pack";
        EXPECT_NE(itemCell("key"), nullptr);
        EXPECT_NE(goal().find("plank"), std::string::npos) << "the next goal shows: " << goal();
        ASSERT_TRUE(engine->settleAt("meadow.sign"));
        throughTheDoor();
    }
    void throughTheDoor()
    {
        clickPoint(480, 400, "The door: to the lake");
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(engine->settleAt("lake.shore"));
    }
    // An item of the pack taken in hand by a click: the pointer carries its picture, and the pane names the
    // item under the pointer.
    void inHand(const std::string& item)
    {
        forget();
        const kavtypes::Rectangle rect = itemCell(item)->getBoundingRect();
        moveTo(rect.x + rect.w / 2, rect.y + rect.h / 2);
        engine->frame(0.1f);
        EXPECT_TRUE(uiObject("item_name")->isDerivedVisible());
        EXPECT_EQ(std::string(uiObject("item_name")->getProperty("text")),
                  std::string(1, (char)toupper(item[0])) + item.substr(1))
            << "the pane names the item under the pointer";
        pick(item);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_NE(answer().find("You hold the " + item), std::string::npos) << answer();
        EXPECT_NE(engine->lua("ui.getCursorMode()").find(":" + item), std::string::npos);
        // The item's picture hangs below the pointer's tip.
        moveTo(600, 150);
        tesraui::Container* cursor = UI::getInstance()->getCursorObject();
        ASSERT_NE(cursor, nullptr);
        std::string pictures;
        for (tesraui::Object* child : cursor->getChildren())
        {
            pictures += std::string(child->getProperty("image")) + " ";
        }
        EXPECT_NE(pictures.find("items/" + item), std::string::npos) << "the pointer carries " << pictures;
    }
    // From the lake: the raft tied and floated, the crate's oar, the beacon, the password, the inn and its
    // duel won by swaps, the ending.
    void playFromTheLake()
    {
        ASSERT_EQ(active(), "lake.shore");
        ASSERT_TRUE(thing("to_inn")->isDerivedVisible()) << "the key and the plank open the way to the inn";
        act(thing("to_inn"), "Across the lake: to the inn", "plank alone sinks");
        ASSERT_TRUE(engine->settleAt("lake.shore"));
        EXPECT_NE(goal().find("rope"), std::string::npos) << goal();
        // The rope taken in hand and clicked on the plank ties them into the raft.
        inHand("rope");
        ASSERT_FALSE(HasFatalFailure());
        moveTo(itemCell("plank")->getBoundingRect().x + 40, itemCell("plank")->getBoundingRect().y + 40);
        EXPECT_EQ(std::string(uiObject("item_name")->getProperty("text")),
                  "Plank + Rope: click to combine them");
        act(itemCell("plank"), "", "a raft");
        ASSERT_EQ(items(), "key,raft");
        EXPECT_EQ(held(), "");
        // The water is rough until the sky has been watched: the raft stays in the pack.
        EXPECT_NE(goal().find("sky"), std::string::npos) << goal();
        inHand("raft");
        ASSERT_FALSE(HasFatalFailure());
        quitBoxAnsweredNoWithTheRaftInHand();
        ASSERT_FALSE(HasFatalFailure());
        forget();
        clickPoint(880, 410, "The lake's water");
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_NE(answer().find("too rough"), std::string::npos) << answer();
        ASSERT_TRUE(engine->settleAt("lake.shore")) << "the water is no way back to the hills";
        EXPECT_EQ(items(), "key,raft");
        // A ripple on the water, beside the inn's way.
        const Pixel rough = engine->pixel(616, 410);
        act(thing("sky"), "The sky: watch the ball cross it", "You watch the ball");
        EXPECT_EQ(engine->lua("vars.demo_sky_watched"), "0") << "the crossing has only begun";
        ASSERT_TRUE(waitFor("vars.demo_sky_watched", "1", 60.0f));
        EXPECT_NE(answer().find("grows calm"), std::string::npos) << answer();
        EXPECT_NE(engine->pixel(616, 410), rough) << "the calmed water shows no ripple";
        // Without the oar the raft still stays in the pack; it lies under the hills' crate.
        EXPECT_NE(goal().find("oar"), std::string::npos) << goal();
        inHand("raft");
        ASSERT_FALSE(HasFatalFailure());
        forget();
        clickPoint(880, 410, "The lake's water");
        EXPECT_NE(answer().find("without an oar"), std::string::npos) << answer();
        EXPECT_EQ(items(), "key,raft");
        takeWay(thing("to_hills"), "Back to the hills", "meadow.hills");
        findTheOarAndLightTheBeacon();
        ASSERT_FALSE(HasFatalFailure());
        takeWay(thing("to_sign"), "To the sign", "meadow.sign");
        readThePassword();
        ASSERT_FALSE(HasFatalFailure());
        throughTheDoor();
        ASSERT_FALSE(HasFatalFailure());
        // The raft carried from the pack onto the water.
        inHand("raft");
        ASSERT_FALSE(HasFatalFailure());
        forget();
        clickPoint(880, 410, "The lake's water");
        EXPECT_NE(answer().find("floats"), std::string::npos) << answer();
        ASSERT_TRUE(engine->settleAt("lake.shore"));
        EXPECT_EQ(items(), "key") << "the oar went aboard the raft";
        EXPECT_EQ(engine->lua("vars.demo_raft_afloat"), "1");
        EXPECT_EQ(held(), "");
        forget();
        clickPoint(880, 410, "The lake's water");
        EXPECT_NE(answer().find("Your raft floats there"), std::string::npos) << answer();
        EXPECT_NE(goal().find("duel"), std::string::npos) << goal();
        passTheKeeper();
        ASSERT_FALSE(HasFatalFailure());
        winTheDuel();
    }
    // The inn's keeper asks for the password at the door; the right word and the golden key let the player
    // in, where the templar's challenge waits for a click over the board, its time standing meanwhile.
    void passTheKeeper()
    {
        clickThing(thing("to_inn"), "Across the lake: to the inn");
        ASSERT_FALSE(HasFatalFailure());
        engine->frame(0.1f);
        EXPECT_NE(line().find("Say the inn's password"), std::string::npos) << line();
        goOn();
        engine->frame(0.1f);
        ASSERT_TRUE(uiObject("reply1")->isDerivedVisible());
        EXPECT_EQ(std::string(uiObject("reply1")->getProperty("text")), "Rose.");
        clickThing(uiObject("reply1"));
        ASSERT_FALSE(HasFatalFailure());
        engine->frame(0.1f);
        EXPECT_NE(line().find("Rose it is"), std::string::npos) << line();
        EXPECT_EQ(active(), "lake.shore") << "the keeper's line is read before the inn";
        goOn();
        ASSERT_TRUE(engine->settleAt("tavern.duel"));
        EXPECT_EQ(items(), "") << "the golden key opened the door";
        Match3Scene* duel = dynamic_cast<Match3Scene*>(Session::getActiveScene());
        ASSERT_NE(duel, nullptr);
        EXPECT_NE(line().find("challenges you"), std::string::npos) << line();
        for (int i = 0; i < 10; ++i)
        {
            engine->frame(0.1f);
        }
        EXPECT_EQ(duel->getTimeLeft(), 360.0f) << "the time stands while the challenge is read";
        // The click that goes on lands on a tile: it only goes on.
        goOn();
        EXPECT_EQ(line(), "");
        EXPECT_FALSE(duel->hasSelection());
        for (int i = 0; i < 100 && !duel->isDealt(); ++i)
        {
            engine->frame(0.1f);
        }
        ASSERT_TRUE(duel->isDealt());
        engine->frame(0.1f);
        EXPECT_LT(duel->getTimeLeft(), 360.0f) << "the time runs once the board can be played";
    }
    // Escape's box asked while an item is in hand: one click on No answers it, and the item stays in hand;
    // the name of what lies under the pointer then shows clear of the item the pointer carries.
    void quitBoxAnsweredNoWithTheRaftInHand()
    {
        key(27);
        for (int i = 0; i < 5; ++i)
        {
            engine->frame(0.1f);
        }
        ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
        clickThing(boxButton("No"));
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_FALSE(UI::getInstance()->isMessageBoxActive()) << "one click answered the box";
        EXPECT_TRUE(tesra::window->isRunning());
        EXPECT_EQ(held(), "raft");
        // The answered box fades out behind a click blocker.
        for (int i = 0; i < 15; ++i)
        {
            engine->frame(0.1f);
        }
        moveTo(880, 410);
        EXPECT_EQ(hoverName(), "The lake's water");
        for (tesraui::Object* picture : UI::getInstance()->getCursorObject()->getChildren())
        {
            if (std::string(picture->getProperty("image")) == "items/raft")
            {
                EXPECT_FALSE(uiObject("hover_name")->getBoundingRect().intersects(picture->getBoundingRect()))
                    << "the name shows clear of the carried raft";
            }
        }
    }
    // The crate dragged aside bares the oar; the beacon's wood lit.
    void findTheOarAndLightTheBeacon()
    {
        tesraui::Object* crate = thing("piece");
        const kavtypes::Rectangle rect = crate->getBoundingRect();
        const float x = rect.x + rect.w / 2;
        const float y = rect.y + rect.h / 2;
        forget();
        clickPoint(x, y, "A heavy crate: drag it");
        engine->frame(0.016f);
        EXPECT_NE(answer().find("drag it aside"), std::string::npos) << answer();
        EXPECT_EQ(engine->lua("vars.demo_oar_found"), "0") << "the crate covers the oar";
        forget();
        moveTo(x, y);
        ASSERT_TRUE(handAt(x, y));
        engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_MOVE, x + 110, y + 10);
        engine->frame(0.016f);
        engine->mouse(tesra::Window::MOUSE_UP, x + 110, y + 10);
        engine->frame(0.016f);
        engine->frame(0.016f);
        EXPECT_NE(answer().find("slide the crate"), std::string::npos) << answer();
        ASSERT_TRUE(engine->settleAt("meadow.hills")) << "a drag of the crate is no way on";
        ASSERT_TRUE(waitFor("meadow.hills.moon.visible", "true")) << "the moon rises";
        act(thing("oar"), "An oar: take it", "found an oar");
        ASSERT_TRUE(waitFor("vars.demo_oar_found", "1"));
        ASSERT_TRUE(engine->settleAt("meadow.hills")) << "finding the oar walks nowhere";
        EXPECT_EQ(engine->lua("meadow.hills.moon.visible"), "true") << "the scene did not start again";
        EXPECT_EQ(items(), "key,raft,oar");
        EXPECT_NE(itemCell("oar"), nullptr);
        tesrauiparticle::Particle* beacon = dynamic_cast<tesrauiparticle::Particle*>(thing("beacon"));
        ASSERT_NE(beacon, nullptr);
        EXPECT_FALSE(beacon->isVisible()) << "the beacon is not lit yet";
        act(thing("beacon_wood"), "The beacon's wood: light it", "The beacon burns");
        ASSERT_TRUE(engine->settleAt("meadow.hills")) << "lighting the beacon walks nowhere";
        moveTo(768, 312);
        EXPECT_EQ(hoverName(), "The beacon: it burns");
        EXPECT_EQ(engine->lua("vars.demo_beacon_lit"), "1");
        EXPECT_TRUE(beacon->isVisible());
        ASSERT_TRUE(beacon->isLoaded());
        for (float waited = 0.0f; beacon->getSystem()->getEmitters()[0]->getAlive() == 0 && waited < 10.0f;
             waited += 0.1f)
        {
            engine->frame(0.1f);
        }
        EXPECT_GT(beacon->getSystem()->getEmitters()[0]->getAlive(), 0) << "the beacon's flames rise";
    }
    // The password shows, and is found, only on a sign zoomed in by the wheel; unzoomed, its plate is a dark
    // dot on the wood, clear of the goal's panel. At the deepest zoom its words stand large, the pointer over
    // them see-through and the name beside it clear of them; read, they stay to be read again, on the same
    // zoomed view.
    void readThePassword()
    {
        moveTo(112, 120);
        EXPECT_FALSE(thing("password")->isVisible()) << "only a dot shows there unzoomed";
        // Beside the pointer's tip.
        const Pixel dot = engine->pixel(107, 120);
        EXPECT_TRUE(std::abs(dot[0] - 70) < 8 && std::abs(dot[1] - 40) < 8 && std::abs(dot[2] - 20) < 8)
            << dot[0] << "," << dot[1] << "," << dot[2];
        EXPECT_FALSE(uiObject("goal_panel")->getBoundingRect().isPointInside(kavtypes::Vector2(112, 120)));
        EXPECT_EQ(engine->lua("ui.getCursorMode()"), "arrow");
        wheel(112, 120, -1.0f, 20);
        ASSERT_TRUE(thing("password")->isVisible());
        const kavtypes::Rectangle plate = thing("password")->getBoundingRect();
        EXPECT_GE(plate.h, 60.0f) << "the words stand large at the deepest zoom";
        for (int read = 0; read < 2; ++read)
        {
            act(thing("password"), "Carved words: read them", "ROSE");
            ASSERT_FALSE(HasFatalFailure());
            EXPECT_TRUE(faintPointer()) << "the pointer lets the words show through";
            EXPECT_FALSE(uiObject("hover_name")->getBoundingRect().intersects(plate));
            ASSERT_TRUE(waitFor("vars.demo_password_found", "1"));
            EXPECT_TRUE(thing("password")->isVisible()) << "read " << read + 1 << " times, it is there";
            EXPECT_EQ(thing("password")->getBoundingRect(), plate) << "the view stays where it was";
        }
        wheel(112, 120, 1.0f, 20);
        ASSERT_TRUE(engine->settleAt("meadow.sign"));
    }
    // The duel: the bars named, the tiles' meaning written beside the board; each tile clicked shows the hand
    // and the first of a pair its mark.
    void winTheDuel()
    {
        Match3Scene* duel = dynamic_cast<Match3Scene*>(Session::getActiveScene());
        ASSERT_NE(duel, nullptr);
        EXPECT_EQ(std::string(thing("enemy_caption")->getProperty("text")), "The templar's health");
        EXPECT_EQ(std::string(thing("player_caption")->getProperty("text")), "Your time");
        EXPECT_TRUE(thing("legend_hourglass")->isDerivedVisible());
        EXPECT_NE(std::string(thing("legend_hourglass")->getProperty("text")).find("cost you time"),
                  std::string::npos);
        EXPECT_NE(
            std::string(thing("legend_title")->getProperty("text")).find("Click a tile, then one beside it"),
            std::string::npos);
        tesraui::Object* marker = thing("selection_marker");
        ASSERT_NE(marker, nullptr);
        // A swap's cascade can run for many seconds, and the duel leaves its scene soon after it ends: the
        // waits stop there, bounded by a generous stretch of game time.
        auto untilTheBoardRests = [&]
        {
            for (float t = 0.0f;
                 t < 120.0f && active() == "tavern.duel" && duel->isBusy() && !duel->isFinished(); t += 0.1f)
            {
                engine->frame(0.1f);
            }
        };
        for (int swaps = 0; swaps < 150 && active() == "tavern.duel" && !duel->isFinished(); ++swaps)
        {
            untilTheBoardRests();
            if (active() != "tavern.duel" || duel->isFinished())
            {
                break;
            }
            int c1 = 0, r1 = 0, c2 = 0, r2 = 0;
            ASSERT_TRUE(findSwap(duel->getBoard(), c1, r1, c2, r2)) << "no move after " << swaps;
            clickThing(duel->getCell(c1, r1));
            ASSERT_FALSE(HasFatalFailure());
            ASSERT_TRUE(marker->isVisible()) << "the first click marks its tile";
            EXPECT_EQ(marker->getRect().getPosition(), duel->getCell(c1, r1)->getRect().getPosition());
            clickThing(duel->getCell(c2, r2));
            ASSERT_FALSE(HasFatalFailure());
            EXPECT_FALSE(marker->isVisible());
            ASSERT_TRUE(duel->isBusy() || duel->isFinished()) << "the swap was taken";
            untilTheBoardRests();
        }
        ASSERT_TRUE(engine->settleAt("tavern.ending")) << active();
        EXPECT_TRUE(Profile::isAchievementUnlocked("duel_won"));
        EXPECT_TRUE(Profile::isAchievementUnlocked("demo_won"));
        // Both achievements came at the duel's end: the first is told, then the second, each for its few
        // seconds on the ending, which stays until a click.
        EXPECT_TRUE(uiObject("notice_panel")->isDerivedVisible()) << "the achievement is told";
        EXPECT_NE(notice().find("Achievement unlocked: Duellist"), std::string::npos) << notice();
        EXPECT_TRUE(uiObject("menu_button")->isDerivedVisible());
        std::map<std::string, float> shownOnTheEnding;
        for (int i = 0; i < 300 && engine->lua("ui.noticesPending()") == "true"; ++i)
        {
            if (uiObject("notice_panel")->isDerivedVisible() &&
                uiObject("notice_panel")->getDerivedAlpha() >= 200)
            {
                shownOnTheEnding[notice()] += 0.1f;
            }
            engine->frame(0.1f);
        }
        std::string shown;
        for (const auto& pair : shownOnTheEnding)
        {
            shown += pair.first + (pair.second >= 3.0f ? " (read)" : " (too short)") + "; ";
        }
        EXPECT_EQ(shown, "Achievement unlocked: Duellist: you beat the templar (read); "
                         "Achievement unlocked: The demo is finished (read); ");
        // A click returns to the menu, which says the demo was finished; the next game starts afresh.
        EXPECT_EQ(active(), "tavern.ending");
        EXPECT_TRUE(thing("ending_hint")->isDerivedVisible());
        click(480, 450);
        ASSERT_TRUE(engine->settleAt("menu.MainMenu"));
        EXPECT_NE(std::string(thing("menu_place")->getProperty("text")).find("You finished the demo"),
                  std::string::npos);
        EXPECT_EQ(engine->lua("vars.demo_place"), "meadow.hills");
        for (const char* name : {"demo_raft_afloat", "demo_sky_watched", "demo_password_found",
                                 "demo_oar_found", "demo_beacon_lit", "demo_key_found"})
        {
            EXPECT_EQ(engine->lua(std::string("vars.") + name), "0") << name;
        }
    }
};

TEST_F(DemoPlayThrough, FromTheLandingPageToTheEnding)
{
    leaveTheLandingPage();
    ASSERT_FALSE(HasFatalFailure());
    playToTheLake();
    ASSERT_FALSE(HasFatalFailure());
    playFromTheLake();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

TEST_F(DemoPlayThrough, TheWayToTheInnWaitsForTheKeyAndThePlank)
{
    engine->startDemo("menu_adventure");
    ASSERT_FALSE(HasFatalFailure());
    // Straight through the sign's door, with nothing found.
    takeWay(thing("to_sign"), "To the sign", "meadow.sign");
    throughTheDoor();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(thing("to_inn")->isVisible());
    EXPECT_NE(goal().find("key"), std::string::npos) << goal();
    // Back for the key: the lake still waits for the plank.
    takeWay(thing("to_hills"), "Back to the hills", "meadow.hills");
    takeWay(thing("to_sign"), "To the sign", "meadow.sign");
    act(thing("key"), "A golden key: take it", "golden key");
    ASSERT_TRUE(waitFor("vars.demo_key_found", "1"));
    ASSERT_TRUE(engine->settleAt("meadow.sign"));
    // The sign's arrow leads back to the hills as well as its door to the lake.
    takeWay(thing("to_hills"), "Back to the hills", "meadow.hills");
    takeWay(thing("to_sign"), "To the sign", "meadow.sign");
    throughTheDoor();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_FALSE(thing("to_inn")->isVisible());
    EXPECT_NE(goal().find("plank"), std::string::npos) << goal();
    // The plank lies on the hills only; with it the way opens at once.
    takeWay(thing("to_hills"), "Back to the hills", "meadow.hills");
    act(thing("plank"), "A plank: take it", "plank");
    takeWay(thing("to_sign"), "To the sign", "meadow.sign");
    throughTheDoor();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_TRUE(thing("to_inn")->isVisible());
    EXPECT_NE(goal().find("rope"), std::string::npos) << goal();
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}

// The first run quits at the lake through Escape's box; the second, the player itself on the same profile
// (the engine starts once in a process), finds the menu's Adventure button leading back there.
TEST_F(DemoPlayThrough, QuitAtTheLakeAndGoOnThereInTheNextRun)
{
    engine->startDemo("menu_adventure");
    ASSERT_FALSE(HasFatalFailure());
    playToTheLake();
    ASSERT_FALSE(HasFatalFailure());
    key(27);
    ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
    clickThing(boxButton("Yes"));
    ASSERT_FALSE(HasFatalFailure());
    engine->frame(0.016f);
    ASSERT_FALSE(tesra::window->isRunning());
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
    engine.reset();

    folder.put("data/lib/zz_resume.lua", "local go = ui.init\n"
                                         "function ui.init()\n"
                                         "  go()\n"
                                         "  vumo.log('goes on at ' .. vars.demo_place .. ', key ' ..\n"
                                         "    tostring(vars.demo_key_found))\n"
                                         "  vumo.endProgram()\n"
                                         "end\n");
    ASSERT_EQ(harness::runPlayer(folder, "timeout -s KILL 120"), 0);
    const std::string out = harness::readFile(folder.path + "/out.txt");
    EXPECT_NE(out.find("goes on at lake.shore, key 1"), std::string::npos) << out;
}

// The crate slid aside and the demo quit: in the next run, the player itself on the same profile, the crate
// stands where it was left, not where the scene first puts it.
TEST_F(DemoPlayThrough, TheCrateStaysWhereItWasLeftInTheNextRun)
{
    engine->startDemo("menu_adventure");
    ASSERT_FALSE(HasFatalFailure());
    tesraui::Object* crate = thing("piece");
    ASSERT_NE(crate, nullptr);
    const kavtypes::Rectangle rect = crate->getBoundingRect();
    const float x = rect.x + rect.w / 2;
    const float y = rect.y + rect.h / 2;
    moveTo(x, y);
    ASSERT_TRUE(handAt(x, y));
    engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
    engine->frame(0.016f);
    engine->mouse(tesra::Window::MOUSE_MOVE, x - 60, y + 20);
    engine->frame(0.016f);
    engine->mouse(tesra::Window::MOUSE_UP, x - 60, y + 20);
    engine->frame(0.016f);
    engine->frame(0.016f);
    EXPECT_NE(answer().find("slide the crate"), std::string::npos) << answer();
    const std::string left = engine->lua("meadow.hills.piece.x .. ',' .. meadow.hills.piece.y");
    EXPECT_EQ(left, std::to_string((int)rect.x - 60) + "," + std::to_string((int)rect.y + 20));
    key(27);
    ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
    clickThing(boxButton("Yes"));
    ASSERT_FALSE(HasFatalFailure());
    engine->frame(0.016f);
    ASSERT_FALSE(tesra::window->isRunning());
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
    engine.reset();

    folder.put("data/lib/zz_crate.lua",
               "local go = ui.init\n"
               "function ui.init()\n"
               "  go()\n"
               "  scene.switch('meadow.hills')\n"
               "end\n"
               "local changed = ui.OnSceneChanged\n"
               "function ui.OnSceneChanged(now, before)\n"
               "  changed(now, before)\n"
               "  if now == 'meadow.hills' then\n"
               "    vumo.log('the crate stands at ' .. meadow.hills.piece.x .. ',' ..\n"
               "      meadow.hills.piece.y)\n"
               "    vumo.endProgram()\n"
               "  end\n"
               "end\n");
    ASSERT_EQ(harness::runPlayer(folder, "timeout -s KILL 120"), 0);
    const std::string out = harness::readFile(folder.path + "/out.txt");
    EXPECT_NE(out.find("the crate stands at " + left), std::string::npos) << out;
}
