#include <tesraui/Container.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/tesraui.h>

#include "ActionMapTestGame.h"
#include "ui/DebugUI.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

namespace
{
    std::vector<std::string>& doubleClicks()
    {
        static std::vector<std::string> names;
        return names;
    }

    void recordDoubleClick(tesraui::EventArgs* args)
    {
        doubleClicks().push_back(args->object->getName());
    }

    std::vector<std::string>& actions()
    {
        static std::vector<std::string> texts;
        return texts;
    }

    void recordAction(tesraui::EventArgs* args)
    {
        actions().push_back(args->extra);
    }
} // namespace

// Clicks reach the scene's action map through the window's delegates; the region tables and the UI hooks
// write into uiJournal.
class ActionMapClicks : public harness::GameTest
{
protected:
    ActionMapObject* layer = nullptr;

    void SetUp() override
    {
        actionmaptest::makeGame(folder);
        engine.reset(new Engine(folder));
        engine->start();
        engine->frame();
        layer = actionmaptest::findLayer();
        ASSERT_NE(layer, nullptr);
        doubleClicks().clear();
    }
    void TearDown() override { DebugUI::setActionMapDebugEnabled(false); }
    void press(float x, float y) { actionmaptest::mouse(tesra::Window::MOUSE_DOWN, x, y); }
    void release(float x, float y) { actionmaptest::mouse(tesra::Window::MOUSE_UP, x, y); }
    // Frames of at most 0.1 s: the engine cuts longer ones.
    void wait(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += 0.1f)
        {
            engine->frame(0.1f);
        }
    }
    void click(float x, float y)
    {
        press(x, y);
        release(x, y);
    }
    // The action map object a Lua global holds.
    ActionMapObject* fromLua(const std::string& global)
    {
        const hstring name = engine->lua(global + ".__name");
        return dynamic_cast<ActionMapObject*>(
            Session::getActiveChapter()->getObject(name.subString(name.find('.') + 1)));
    }
    // What the scripts noted since the last call.
    std::string journal()
    {
        std::string text = engine->lua("table.concat(uiJournal, ',')");
        engine->lua("(function() uiJournal = {} end)()");
        return text;
    }
};

TEST_F(ActionMapClicks, ARegionClickedRunsItsTable)
{
    click(150, 150);
    engine->frame();
    click(700, 150); // off every region
    engine->frame();
    click(150, 450);
    engine->frame();
    EXPECT_EQ(journal(), "red,blue");
}

TEST_F(ActionMapClicks, PressOnOneRegionAndReleaseOnAnotherIsNoClickUnlessAnItemIsHeld)
{
    press(150, 150);
    EXPECT_TRUE(layer->isPressed());
    // While pressed, only the pressed region shows under a dragged pointer.
    EXPECT_EQ(layer->getColorAt(kavtypes::Vector2(450, 150)), 0u);
    EXPECT_EQ(layer->getRawColorAt(kavtypes::Vector2(450, 150)), 0x00FF00FFu);
    EXPECT_EQ(layer->getColorAt(kavtypes::Vector2(150, 150)), 0xFF0000FFu);
    release(450, 150);
    engine->frame();
    EXPECT_EQ(journal(), "");

    UI::getInstance()->selectItem("key");
    EXPECT_EQ(layer->getColorAt(kavtypes::Vector2(450, 150)), 0x00FF00FFu);
    press(150, 150);
    release(450, 150);
    engine->frame();
    // Green's function returns true: the item stays on the pointer.
    EXPECT_EQ(journal(), "green,select key");
    press(450, 150);
    release(150, 150);
    engine->frame();
    EXPECT_EQ(journal(), "red,select ");
}

// The texts the game's scripts have always been handed, whitespace and all.
TEST_F(ActionMapClicks, ActionTextsFollowTheRegionTableConvention)
{
    actions().clear();
    layer->registerEvent("Action", &recordAction);
    click(150, 150);
    engine->frame();
    UI::getInstance()->selectItem("key");
    click(150, 150);
    engine->frame();
    ASSERT_EQ(actions().size(), 2u);
    EXPECT_EQ(actions()[0], "if _FF0000 ~= nil then _FF0000[1]() end");
    EXPECT_EQ(actions()[1],
              "if _FF0000 ~= nil and _FF0000['allow_items'] == 1 then\nret=_FF0000[1]()\n            "
              "if ret ~= true then             ui.selectItem('')             else             "
              "ui.selectItem('key')             end\n            else             ui.selectItem('')  "
              "           if ui.OnUseItemFail ~= nil then ui.OnUseItemFail('key') end             end");
}

TEST_F(ActionMapClicks, RegionsWithoutAllowItemsRefuseTheHeldItem)
{
    for (const char* item : {"key", "o'clock", "0"})
    {
        UI::getInstance()->selectItem(item);
        click(150, 450);
        engine->frame();
    }
    // "0" counts as nothing held: blue runs as a plain click.
    EXPECT_EQ(journal(), "select ,fail key,select ,fail o'clock,blue");
    // An item name that would end the quotes stays one string.
    UI::getInstance()->selectItem("x') note('injected");
    click(150, 450);
    engine->frame();
    EXPECT_EQ(journal(), "select ,fail x') note('injected");
}

TEST_F(ActionMapClicks, SecondClickWithinHalfASecondIsADoubleClickOnlyWithItsEvent)
{
    click(150, 150);
    wait(0.3f);
    click(150, 150);
    engine->frame();
    EXPECT_EQ(journal(), "red,red");
    wait(0.6f);

    layer->registerEvent("DoubleClick_FF0000", &recordDoubleClick);
    click(150, 150);
    wait(0.3f);
    click(150, 150); // the double click
    engine->frame();
    click(150, 150); // the double click used the window up
    wait(0.6f);
    click(150, 150); // too late for a double click
    engine->frame();
    click(450, 150); // another region
    engine->frame();
    EXPECT_EQ(journal(), "red,red,red,green");
    EXPECT_EQ(doubleClicks(), std::vector<std::string>{layer->getName()});
}

TEST_F(ActionMapClicks, ScriptErrorsInRegionsAreReportedAndTheLayerKeepsWorking)
{
    engine->lua("(function() room.hall._FF0000[1] = function() error('broken door') end end)()");
    click(150, 150);
    engine->frame();
    ASSERT_TRUE(UI::getInstance()->isErrorOverlayShown());
    // The overlay holds the game: the layer gets no click until the player goes on.
    click(450, 150);
    engine->frame();
    EXPECT_EQ(journal(), "");
    UI::getInstance()->onErrorContinue(nullptr);
    click(450, 150);
    engine->frame();
    EXPECT_EQ(journal(), "green");
    EXPECT_FALSE(UI::getInstance()->isErrorOverlayShown());
    EXPECT_NE(engine->logText().find("scripting error: "), std::string::npos);
    EXPECT_NE(engine->logText().find("Error while executing ActionMap action in namespace '':"),
              std::string::npos);
    EXPECT_NE(engine->logText().find("broken door"), std::string::npos);
}

TEST_F(ActionMapClicks, TheEnvironmentNamesTheTablesTable)
{
    engine->lua("(function() regions = { _FF0000 = { function() note('from regions') end } } end)()");
    layer->setProperty("environment", "regions");
    click(150, 150);
    engine->frame();
    EXPECT_EQ(journal(), "from regions");
}

TEST_F(ActionMapClicks, PropertiesReadAndSetTheMap)
{
    struct Row
    {
        const char* name;
        const char* value;
    } rows[] = {
        {"file", "hall"},
        {"shape", "none"},
        {"color", "000000"},
        {"select_mode", "0"},
        {"environment", ""},
        {"colors", "FF0000,00FF00,0000FF"},
        {"center:00FF00", "18,6"},
        {"color_rect", "0,0,0,0"},
        {"color_rect:0000FF", "2,14,27,7"},
        {"color_rect:123456", "0,0,0,0"},
        {"color:150,150", "FF0000FF"},
        {"color:700,150", "00000000"},
        {"raw_color:450,450", "0000FFFF"},
    };
    for (const Row& row : rows)
    {
        EXPECT_EQ(layer->getProperty(row.name), row.value) << row.name;
    }
    // Lower-case digits name no region: the base object answers.
    EXPECT_EQ(layer->getProperty("center:00ff00"), layer->tesraui::Object::getProperty("center:00ff00"));
    layer->setProperty("color", "00FF00");
    EXPECT_EQ(layer->getProperty("color_rect"), "14,2,9,9");
    layer->setProperty("center:00FF00", "20,3");
    EXPECT_EQ(layer->getProperty("center:00FF00"), "20,3");
    EXPECT_EQ(
        actionmaptest::thrownText([&] { layer->setProperty("center:00FF00", "20"); }),
        "Error while setting action map object center property, expecting value in format 'X,Y', got: 20");
    EXPECT_EQ(actionmaptest::thrownText([&] { layer->setProperty("shape", "triangle"); }),
              "Unknown ActionMapObject shape: triangle");
    EXPECT_NE(actionmaptest::thrownText([&] { layer->setProperty("file", "cellar"); }), "nothing thrown");
    layer->setProperty("file", "");
    EXPECT_EQ(layer->getProperty("file"), "");
    EXPECT_EQ(layer->getProperty("colors"), "00FF00");
    EXPECT_EQ(layer->getProperty("color_rect"), "0,0,800,600");
    layer->setProperty("center:00FF00", "7.5,8");
    EXPECT_EQ(layer->getProperty("center:00FF00"), "7,8");
    layer->setProperty("file", "room.hall");
    EXPECT_EQ(layer->getProperty("file"), "hall");

    // An object that belongs to no chapter cannot look a map up.
    ActionMapObject loose("loose", kavtypes::Rectangle(0, 0, 10, 10));
    EXPECT_EQ(actionmaptest::thrownText([&] { loose.setProperty("file", "hall"); }),
              "Unable to set action map 'hall' on object 'loose': the object belongs to no chapter");

    std::string names;
    for (const PropertyInfo& info : layer->getPropertyDescriptions())
    {
        names += info.name + ",";
    }
    EXPECT_EQ(
        names.rfind("color:%,raw_color:%,color_rect:%,center:%,color_rect,environment,colors,file,shape,"
                    "color,select_mode,",
                    0),
        0u)
        << names;
}

TEST_F(ActionMapClicks, ShapesWithoutAMap)
{
    ActionMapObject* shape = new ActionMapObject("shape", kavtypes::Rectangle(100, 100, 200, 100));
    UI::getUIDataset()->registerObjects(shape);
    Session::getViewport()->addChild(shape);
    shape->setProperty("shape", "rect");
    const kavtypes::Vector2 inside(110, 110);
    EXPECT_EQ(shape->getRawColorAt(inside), 0u) << "the default colour never hits";
    shape->setProperty("color", "FF8000");
    EXPECT_EQ(shape->getRawColorAt(inside), 0xFF8000FFu);
    EXPECT_EQ(shape->getRawColorAt(kavtypes::Vector2(300, 150)), 0u);
    shape->setProperty("shape", "ellipse");
    EXPECT_EQ(shape->getRawColorAt(inside), 0u);
    EXPECT_EQ(shape->getRawColorAt(kavtypes::Vector2(200, 150)), 0xFF8000FFu);
    EXPECT_EQ(shape->getProperty("center:x"), "100,50");
    EXPECT_EQ(shape->getProperty("color_rect"), "0,0,200,100");
    // Clicked, its colour's table runs.
    engine->lua("(function() _FF8000 = { function() note('orange') end } end)()");
    shape->setProperty("environment", "_G");
    click(200, 150);
    engine->frame();
    EXPECT_EQ(journal(), "orange");

    // A collapsed object covers no map pixel and draws no marker.
    layer->setSize(0.0f, 600.0f);
    EXPECT_EQ(layer->getRawColorAt(kavtypes::Vector2(0, 150)), 0u);
    DebugUI::setActionMapDebugEnabled(true);
    engine->frame();
}

TEST_F(ActionMapClicks, SelectModeLetsTheParentTakeOnlyMatchingRegions)
{
    Chapter* chapter = Session::getActiveChapter();
    tesraui::Container* picture = new tesraui::Container("picture", kavtypes::Rectangle(0, 0, 800, 600));
    ActionMapObject* green = new ActionMapObject("green", kavtypes::Rectangle(0, 0, 800, 600));
    chapter->registerObjects(picture);
    chapter->registerObjects(green);
    picture->addChild(green);
    green->setProperty("file", "hall");
    green->setProperty("color", "00FF00");
    green->setProperty("select_mode", "1");
    EXPECT_TRUE(green->isClickThrough());
    EXPECT_TRUE(picture->isPointInside(kavtypes::Vector2(450, 150)));
    EXPECT_FALSE(picture->isPointInside(kavtypes::Vector2(150, 150)));
    EXPECT_FALSE(picture->isPointInside(kavtypes::Vector2(700, 150)));
    // "000000" is opaque black, a colour no region has; only the unset colour takes every region.
    green->setProperty("color", "000000");
    EXPECT_FALSE(picture->isPointInside(kavtypes::Vector2(150, 150)));
    tesraui::Container* frame = new tesraui::Container("frame", kavtypes::Rectangle(0, 0, 800, 600));
    ActionMapObject* any = new ActionMapObject("any", kavtypes::Rectangle(0, 0, 800, 600));
    chapter->registerObjects(frame);
    chapter->registerObjects(any);
    frame->addChild(any);
    any->setProperty("file", "hall");
    any->setProperty("select_mode", "1");
    EXPECT_TRUE(frame->isPointInside(kavtypes::Vector2(150, 150)));
    EXPECT_TRUE(frame->isPointInside(kavtypes::Vector2(450, 450)));
    EXPECT_FALSE(frame->isPointInside(kavtypes::Vector2(700, 150)));
    green->setProperty("select_mode", "0");
    EXPECT_FALSE(green->isClickThrough());
    EXPECT_TRUE(picture->isPointInside(kavtypes::Vector2(700, 150)));

    // A parent without action maps falls back to its rectangle, with a warning.
    tesraui::Container* bare = new tesraui::Container("bare", kavtypes::Rectangle(0, 0, 100, 100));
    chapter->registerObjects(bare);
    EXPECT_TRUE(ActionMapObject::isPointInsideCallback(bare, 50, 50));
    EXPECT_FALSE(ActionMapObject::isPointInsideCallback(bare, 150, 50));
    EXPECT_NE(
        engine->logText().find(
            "ActionMapObject::isPointInsideCallback - no ActionMapObject found in children of object 'bare'"),
        std::string::npos);

    // Deleting a layer in select mode takes its callback off the parent.
    green->setProperty("select_mode", "1");
    chapter->destroyObject(green);
    EXPECT_EQ(picture->getHitTestCallback(), nullptr);
}

TEST_F(ActionMapClicks, SceneScriptFunctions)
{
    engine->lua("(function() extra = scene.ActionMap('hall', {x = 10, y = 20, w = 80, h = 60, zorder = 5, "
                "environment = 'regions', colour = 1}) end)()");
    EXPECT_NE(engine->logText().find("ActionMap(): unknown param colour"), std::string::npos);
    ActionMapObject* extra = fromLua("extra");
    ASSERT_NE(extra, nullptr);
    EXPECT_EQ(extra->getRect(), kavtypes::Rectangle(10, 20, 80, 60));
    EXPECT_EQ(extra->getZOrder(), 5);
    EXPECT_EQ(extra->getEnvironment(), "regions");
    EXPECT_EQ(extra->getParent(), (tesraui::Object*)Session::getActiveScene()->getRootObject());
    engine->lua("(function() plain = scene.ActionMap('hall') end)()");
    EXPECT_EQ(fromLua("plain")->getRect(), kavtypes::Rectangle(0, 0, 32, 24)) << "the map's size by default";
    EXPECT_NE(
        actionmaptest::thrownText([&] { engine->lua("scene.ActionMap(3)"); })
            .find("ActionMap() expecting action map name, and optionally a table with x,y,w,h,parent params. "
                  "got 1 params instead"),
        std::string::npos);

    EXPECT_EQ(engine->lua("'#' .. scene.getActionMapColorAt(150, 150)"), "#FF0000");
    EXPECT_EQ(engine->lua("'#' .. scene.getActionMapColorAt(700, 150)"), "#000000");
    EXPECT_EQ(engine->lua("'#' .. scene.getActionMapColorAt(450, 450, nil, true)"), "#0000FF");
    press(150, 150);
    EXPECT_EQ(engine->lua("'#' .. scene.getActionMapColorAt(450, 150)"), "#000000");
    EXPECT_EQ(engine->lua("'#' .. scene.getActionMapColorAt(450, 150, nil, true)"), "#00FF00");
}

TEST_F(ActionMapClicks, ChaptersRegisterTheirMapsByName)
{
    Chapter* chapter = Session::getActiveChapter();
    EXPECT_EQ(chapter->getActionMap("hall")->getName(), "hall");
    EXPECT_EQ(chapter->getActionMap("room.hall"), chapter->getActionMap("hall"));
    EXPECT_NE(actionmaptest::thrownText([&] { chapter->getActionMap("cellar"); }), "nothing thrown");
    // Maps leave memory with the chapter's idle resources and with an idle minute.
    EXPECT_TRUE(chapter->getActionMap("hall")->isLoaded());
    Session::cleanMemory();
    EXPECT_FALSE(chapter->getActionMap("hall")->isLoaded());
    EXPECT_NE(engine->logText().find("room dataset: unloading unused resources"), std::string::npos);
    click(150, 150);
    engine->frame(0.1f);
    EXPECT_TRUE(chapter->getActionMap("hall")->isLoaded());
    for (int i = 0; i < 601; ++i)
    {
        engine->frame(0.1f);
    }
    EXPECT_FALSE(chapter->getActionMap("hall")->isLoaded());
    folder.put("data/chapters/room/action_maps/more/hall.amp", ampfiles::file(1, 1, {}));
    EXPECT_EQ(actionmaptest::thrownText(
                  [&] { chapter->registerActionMaps("data/chapters/room/action_maps/more"); }),
              "Failed parsing action map 'hall' from path 'data/chapters/room/action_maps/more/hall.amp', "
              "name already "
              "registered");
}
