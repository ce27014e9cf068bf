#include <orvalo/MoreGamesScreen.h>
#include <orvalo/UpsellScreen.h>
#include <tesraui/ImageButton.h>

#include "DemoPlayer.h"
#include "Match3Scene.h"
#include "ScreenText.h"

using namespace vumo;

// What the demo shows never lies over something else the player is reading or pointing at, nor leaves the
// window: the screens walked through as a player walks them, each place where two things met or a thing was
// cut written to a journal.
class DemoScreenLayout : public DemoPlayerTest
{
protected:
    std::vector<std::string> faults;

    void fault(bool happened, const std::string& what)
    {
        if (happened)
        {
            faults.push_back(what);
        }
    }
    static bool meet(const kavtypes::Rectangle& a, const kavtypes::Rectangle& b)
    {
        return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
    }
    static bool insideWindow(const kavtypes::Rectangle& rect)
    {
        return rect.x >= 0 && rect.y >= 0 && rect.x + rect.w <= tesra::window->getWidth() &&
               rect.y + rect.h <= tesra::window->getHeight();
    }
    tesraui::Object* upsellObject(const std::string& name)
    {
        return orvalo::getUpsellScreen()->getDataset()->tryGetObject(name);
    }
    void frames(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 0.1f)
        {
            engine->frame(0.1f);
        }
    }
};

TEST_F(DemoScreenLayout, NothingShownLiesOverWhatIsReadOrPointedAtOrLeavesTheWindow)
{
    // The landing page: a thumbnail lights up under the pointer, but not under the quit box.
    Scene::registerFactory(Match3Scene::typeName, &Match3Scene::create);
    engine->start(&createGameUI);
    engine->frame();
    tesraui::Object* games = orvalo::getMoreGamesScreenButton("orvalo_mgs_scroll_area", "games");
    ASSERT_NE(games, nullptr);
    ASSERT_FALSE(games->getChildren().empty());
    auto* thumb = dynamic_cast<tesraui::ImageButton*>(games->getChildren()[0]);
    ASSERT_NE(thumb, nullptr);
    const kavtypes::Rectangle game = thumb->getBoundingRect();
    moveTo(game.x + 40, game.y + 40);
    fault(!thumb->isHovered(), "a thumbnail stays dark under the pointer");
    key(27);
    frames(0.5f);
    ASSERT_EQ(UI::getInstance()->getActiveMessageBoxType(), "quit");
    for (float x = game.x + 20; x < game.x + game.w; x += 60)
    {
        moveTo(x, game.y + 60);
        fault(thumb->isHovered(), "a thumbnail lights up under the quit box");
    }
    clickThing(boxButton("No"));
    ASSERT_FALSE(HasFatalFailure());
    frames(1.5f);
    clickThing(orvalo::getPlayButton());
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(engine->settleAt("menu.MainMenu"));

    // The store: its answer shows between the turning slides and the gallery, on neither; the captions
    // slide inside their panel, never past its sides.
    clickThing(thing("menu_store"));
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(engine->settleAt("menu.StoreMenu"));
    clickThing(orvalo::getUpsellUnlockButton());
    ASSERT_FALSE(HasFatalFailure());
    engine->frame(0.1f);
    ASSERT_NE(answer(), "");
    const kavtypes::Rectangle said = uiObject("say_panel")->getBoundingRect();
    for (const char* name : {"orvalo_us_gallery", "demo_caption_panel", "orvalo_us_button_later",
                             "orvalo_us_button_restore", "orvalo_us_button_unlock"})
    {
        ASSERT_NE(upsellObject(name), nullptr) << name;
        fault(meet(said, upsellObject(name)->getBoundingRect()), std::string("the answer lies over ") + name);
    }
    for (tesraui::Object* slide : upsellObject("orvalo_us_carousel")->getChildren())
    {
        fault(slide->isDerivedVisible() && slide->getDerivedAlpha() > 0 &&
                  meet(said, slide->getBoundingRect()),
              "the answer lies over a turning slide");
    }
    const kavtypes::Rectangle panel = upsellObject("demo_caption_panel")->getBoundingRect();
    const kavtypes::Rectangle captions = upsellObject("orvalo_us_texts")->getBoundingRect();
    fault(captions.x < panel.x || captions.x + captions.w > panel.x + panel.w,
          "the captions are wider than their panel");
    // Through a whole turn of the captions: no stroke of a letter beside the panel, in the captions' band.
    bool past = false;
    for (float t = 0.0f; t < 4.0f; t += 0.1f)
    {
        engine->frame(0.1f);
        harness::Shot shot;
        const kavtypes::Rectangle left(0, captions.y, panel.x - 1, captions.h);
        const kavtypes::Rectangle right(panel.x + panel.w + 1, captions.y,
                                        tesra::window->getWidth() - panel.x - panel.w - 1, captions.h);
        past = past || shot.strokes(left) > 0 || shot.strokes(right) > 0;
    }
    fault(past, "a caption slides past its panel's side");
    clickThing(orvalo::getUpsellLaterButton());
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(engine->settleAt("menu.MainMenu"));

    // The lake: the sky clicked, its answer shows while the pointer rests there, and the sky's name beside
    // the pointer stays off it and off the sky, where the ball crosses under a see-through pointer.
    clickThing(thing("menu_lake"));
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(engine->settleAt("lake.shore"));
    const kavtypes::Rectangle sky = thing("sky")->getBoundingRect();
    for (float y : {100.0f, 130.0f, 170.0f})
    {
        forget();
        clickPoint(480, y, "The sky: watch the ball cross it");
        ASSERT_FALSE(HasFatalFailure());
        moveTo(482, y);
        ASSERT_NE(answer(), "");
        const std::string at = " at y " + std::to_string((int)y);
        fault(meet(uiObject("hover_name")->getBoundingRect(), uiObject("say_panel")->getBoundingRect()),
              "the sky's name lies over the answer" + at);
        fault(meet(uiObject("hover_name")->getBoundingRect(), uiObject("goal_panel")->getBoundingRect()),
              "the sky's name lies over the goal" + at);
        fault(meet(uiObject("hover_name")->getBoundingRect(), sky), "the sky's name lies over the sky" + at);
        fault(!faintPointer(), "the pointer hides the sky" + at);
    }
    // Every band a line shows in, as this scene places it, keeps off the sun, the inn across the lake and
    // the sky (the lake's picture is drawn at half size: the sun's disc and the inn with its roof).
    const std::pair<const char*, kavtypes::Rectangle> seen[] = {
        {"the sun", kavtypes::Rectangle(152, 196, 56, 56)},
        {"the inn", kavtypes::Rectangle(772, 200, 104, 92)},
        {"the sky", sky}};
    for (const char* band : {"say_panel", "notice_panel", "dialog_panel", "reply1", "reply2"})
    {
        for (const auto& [what, rect] : seen)
        {
            fault(meet(uiObject(band)->getBoundingRect(), rect), std::string(band) + " lies over " + what);
        }
    }
    // A talk's line and its replies show beside an answer, a notice and the pack's items, and cover none.
    for (const char* band : {"dialog_panel", "reply1", "reply2"})
    {
        for (const char* other : {"say_panel", "notice_panel", "inventory"})
        {
            fault(meet(uiObject(band)->getBoundingRect(), uiObject(other)->getBoundingRect()),
                  std::string(band) + " lies over " + other);
        }
    }

    // The sign stands clear of the goal above it and of the way back, the pack and the Menu button below
    // it: its frame's top edge and its four nails show (drawn at half size: the frame from 28, 84 to 932,
    // 444, a nail 24 pixels in from each corner).
    Session::changeScene("meadow.sign", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("meadow.sign"));
    const kavtypes::Rectangle frame(28, 84, 904, 360);
    for (const char* name : {"goal_panel", "pack", "menu_button"})
    {
        fault(meet(uiObject(name)->getBoundingRect(), frame), std::string(name) + " lies over the sign");
    }
    for (const kavtypes::Vector2& nail : {kavtypes::Vector2(52, 108), kavtypes::Vector2(908, 108),
                                          kavtypes::Vector2(52, 420), kavtypes::Vector2(908, 420)})
    {
        fault(thing("to_hills")->getBoundingRect().isPointInside(nail), "the way back lies over a nail");
    }
    Session::changeScene("lake.shore", 0.0f, "");
    ASSERT_TRUE(engine->settleAt("lake.shore"));

    // An item in hand carried to each edge and corner: the window never cuts its picture.
    LuaInterface::execute("inventory.addItem('plank')");
    engine->frame(0.016f);
    pick("plank");
    ASSERT_FALSE(HasFatalFailure());
    const float w = (float)tesra::window->getWidth(), h = (float)tesra::window->getHeight();
    for (const kavtypes::Vector2& point :
         {kavtypes::Vector2(480, h - 2), kavtypes::Vector2(w - 2, 300), kavtypes::Vector2(w - 2, h - 2),
          kavtypes::Vector2(2, h - 2), kavtypes::Vector2(480, 300)})
    {
        moveTo(point.x, point.y);
        for (tesraui::Object* picture : UI::getInstance()->getCursorObject()->getChildren())
        {
            if (std::string(picture->getProperty("image")) == "items/plank")
            {
                fault(uiObject("hover_name")->isDerivedVisible() &&
                          meet(uiObject("hover_name")->getBoundingRect(), picture->getBoundingRect()),
                      "the name under the pointer lies over the plank in hand at " +
                          std::to_string((int)point.x) + "," + std::to_string((int)point.y));
                fault(!insideWindow(picture->getBoundingRect()), "the plank in hand is cut at " +
                                                                     std::to_string((int)point.x) + "," +
                                                                     std::to_string((int)point.y));
            }
        }
    }
    EXPECT_EQ(faults, std::vector<std::string>());
    EXPECT_EQ(engine->errorLines(), 0) << engine->logText();
}
