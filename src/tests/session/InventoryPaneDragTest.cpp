#include <filesystem>

#include <tesraui/Dataset.h>
#include <tesraui/ImageBox.h>
#include <tesraui/ScrollArea.h>

#include "EngineHarness.h"
#include "ItemPictures.h"
#include "Scene.h"
#include "SessionState.h"
#include "Variables.h"
#include "lua/LuaInterface.h"
#include "objects/InventoryPane.h"
#include "ui/UI.h"
#include "ui/ZoomController.h"

using namespace vumo;

using harness::Engine;

// A 640 by 480 window showing the scene c1.a, which may zoom up to 2 (c1.b may not), under the pane
// "pane" (500 by 100 at the bottom left, two pages for the items a to g). Time goes in steps of 1/16 s,
// which add up exactly and stay below the engine's longest frame.
class CarriedItems : public harness::GameTest
{
protected:
    const float step = 0.0625f;
    InventoryPane* pane = nullptr;

    void SetUp() override
    {
        folder.put("cfg/vumo.cfg", "title: EngineTest\ndisplay_title: Engine Test\ntarget: pc\nwidth: 640\n"
                                   "height: 480\naudio_mute: 1\nscene: c1.a\n");
        const std::string images = harness::putItemPictures(folder);
        folder.put("data/ui/ui.dts", "<Dataset><Texture filename='items'>" + images +
                                         "</Texture><Object type='InventoryPane' name='pane' "
                                         "rect='0,380,500,100'/></Dataset>");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "__maxZoomScale = 2\n");
        folder.put("data/chapters/c1/scenes/b.scene", "");
        engine.reset(new Engine(folder));
        // A session of its own: variables, user folder and configuration all start anew.
        VariableDictionary::getGlobal() = VariableDictionary();
        Session::forgetUserFolder();
        engine->start();
        ASSERT_NE(UI::getInstance(), nullptr) << engine->logText();
        pane = dynamic_cast<InventoryPane*>(UI::getUIDataset()->getObject("pane"));
        ASSERT_NE(pane, nullptr);
        VariableDictionary::getGlobal().get("items").set("a,b,c,d,e,f,g");
        frames(1);
        ASSERT_NE(Session::getActiveScene(), nullptr);
    }
    void TearDown() override
    {
        engine.reset();
        Session::forgetConfig();
        Session::forgetUserFolder();
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i)
        {
            engine->frame(step);
        }
    }
    void moveTo(float x, float y) { engine->mouse(tesra::Window::MOUSE_MOVE, x, y); }
    // Presses on the point and holds until the drag has begun and the cell beneath has taken its item.
    void startDrag(float x, float y)
    {
        moveTo(x, y);
        engine->mouse(tesra::Window::MOUSE_DOWN, x, y);
        for (float waited = 0.0f; !pane->isDragActive() && waited < 5.0f; waited += step)
        {
            frames(1);
        }
        ASSERT_TRUE(pane->isDragActive());
        frames(1);
    }
    void release(float x, float y)
    {
        engine->mouse(tesra::Window::MOUSE_UP, x, y);
        frames(1);
    }
    float rowX() { return pane->getScrollArea()->getX(); }
    std::string held() { return UI::getInstance()->getSelectedItem(); }
    ZoomController* zoom() { return UI::getInstance()->getZoomController(); }
    kavtypes::Vector2 sceneOffset() { return ZoomController::getOffset(); }
};

TEST_F(CarriedItems, TheRowStaysWhereItIsWhileAnItemIsCarriedAcrossIt)
{
    startDrag(150, 430);
    EXPECT_EQ(held(), "b");
    // Well past the row's own drag threshold, yet clear of both sides.
    for (float x : {110.0f, 190.0f, 300.0f, 200.0f})
    {
        moveTo(x, 430);
        frames(2);
        EXPECT_EQ(rowX(), 0.0f) << x;
        EXPECT_FALSE(pane->getScrollArea()->isScrolling()) << x;
    }
    EXPECT_TRUE(pane->isDragActive());
    release(200, 430);
    frames(8);
    EXPECT_EQ(rowX(), 0.0f);
}

TEST_F(CarriedItems, NearASideTheRowMovesOneCellEveryHalfSecondAndRestsOnCells)
{
    pane->setProperty("dragAndDropPanningTreshold", "0");
    startDrag(150, 430);
    EXPECT_EQ(held(), "b");
    moveTo(480, 430);
    frames(7);
    EXPECT_EQ(rowX(), 0.0f) << "before half a second";
    // Each step starts on the half second and is over before the next one: sampled just before it.
    std::vector<float> rests;
    for (int i = 0; i < 7; ++i)
    {
        frames(8);
        rests.push_back(rowX());
    }
    EXPECT_EQ(rests, std::vector<float>({-100, -200, -300, -400, -500, -500, -500}));
    // Back to the left side: the same steps the other way, from where the row stood.
    moveTo(20, 430);
    frames(1);
    EXPECT_TRUE(pane->getScrollArea()->isScrolling());
    frames(7);
    EXPECT_EQ(rowX(), -400.0f);
    frames(8);
    EXPECT_EQ(rowX(), -300.0f);
    // Dropped between two pages, the row stays on the cell it came to.
    moveTo(250, 430);
    release(250, 430);
    frames(16);
    EXPECT_EQ(rowX(), -300.0f);
    EXPECT_FALSE(pane->isDragActive());
}

TEST_F(CarriedItems, AnItemCarriedOverTheSceneBesideTheRowLeavesTheRowAlone)
{
    pane->setProperty("dragAndDropPanningTreshold", "0");
    pane->setProperty("currentPage", "1");
    frames(16);
    ASSERT_EQ(rowX(), -500.0f);
    startDrag(150, 430);
    EXPECT_EQ(held(), "g");
    // Within the sides' reach across, but above the row.
    for (float x : {20.0f, 480.0f})
    {
        moveTo(x, 200);
        frames(24);
        EXPECT_EQ(rowX(), -500.0f) << x;
    }
    release(480, 200);
}

TEST_F(CarriedItems, AnItemCarriedNearTheEdgeOfAZoomedScenePansIt)
{
    zoom()->focusPoint(320, 240, 2.0f, 0.0f, false);
    ASSERT_EQ(sceneOffset(), kavtypes::Vector2(-320, -240));
    startDrag(150, 430);
    // Over the pane, low in the bottom band, the item is still meant for the row.
    moveTo(250, 470);
    frames(8);
    EXPECT_EQ(sceneOffset(), kavtypes::Vector2(-320, -240));
    EXPECT_EQ(pane->getProperty("dragAndDropPanningEnabled"), "0");

    // 10 px from the left edge, 84 % into the left band: for half a second, 0.84375 of half the
    // viewport a second.
    moveTo(10, 240);
    frames(8);
    EXPECT_NEAR(sceneOffset().x, -320.0f + 0.84375f * 320.0f * 0.5f, 0.5f);
    EXPECT_EQ(sceneOffset().y, -240.0f);
    EXPECT_EQ(pane->getProperty("dragAndDropPanningEnabled"), "1");
    // The scene never leaves a gap at its edge.
    frames(48);
    EXPECT_EQ(sceneOffset().x, 0.0f);

    // The bottom right corner, beside the pane, pans both ways at once.
    moveTo(630, 470);
    frames(4);
    EXPECT_LT(sceneOffset().x, 0.0f);
    EXPECT_LT(sceneOffset().y, -240.0f);
    frames(80);
    EXPECT_EQ(sceneOffset(), kavtypes::Vector2(-640, -480));

    // Back in the middle the scene rests, and the drop ends the panning.
    moveTo(320, 240);
    frames(2);
    EXPECT_EQ(sceneOffset(), kavtypes::Vector2(-640, -480));
    EXPECT_EQ(pane->getProperty("dragAndDropPanningEnabled"), "0");
    moveTo(630, 10);
    frames(1);
    EXPECT_EQ(pane->getProperty("dragAndDropPanningEnabled"), "1");
    release(630, 10);
    EXPECT_EQ(pane->getProperty("dragAndDropPanningEnabled"), "0");
    EXPECT_EQ(ZoomController::getZoomScale(), 2.0f);
}

TEST_F(CarriedItems, NoPanWithoutABandOrAZoomedScene)
{
    struct Case
    {
        const char* name;
        const char* scene;
        float scale;
        const char* threshold;
    };
    for (const Case& c : {Case{"no band on that side", "c1.a", 2.0f, "dragAndDropPanningTresholdLeft"},
                          Case{"at the plain size", "c1.a", 1.0f, nullptr},
                          Case{"without a greater zoom", "c1.b", 1.0f, nullptr}})
    {
        if (std::string(Session::getActiveScene()->getFullName()) != c.scene)
        {
            LuaInterface::execute(hstring("scene._queued_switchScene('") + c.scene + "', 0, '')");
            ASSERT_TRUE(engine->settleAt(c.scene)) << c.name;
        }
        pane->setProperty("dragAndDropPanningTreshold", "0.1");
        if (c.threshold != nullptr)
        {
            pane->setProperty(c.threshold, "0");
        }
        zoom()->focusPoint(320, 240, c.scale, 0.0f, false);
        const kavtypes::Vector2 before = sceneOffset();
        startDrag(150, 430);
        moveTo(2, 240);
        frames(8);
        EXPECT_EQ(sceneOffset(), before) << c.name;
        EXPECT_EQ(pane->getProperty("dragAndDropPanningEnabled"), "0") << c.name;
        EXPECT_EQ(held(), "b") << c.name;
        release(2, 240);
        UI::getInstance()->selectItem("");
        frames(2);
    }
}

// A press moved at once, before the delay, carries the item it pressed: up out of the row, or along a row
// that does not scroll; along a row that scrolls the row follows instead. Let go on another item of the row,
// the carried item combines with it; let go on its own cell, it stays in hand. Each case starts with nothing
// in hand and journals what the pane did.
TEST_F(CarriedItems, AQuickDragCarriesThePressedItemAndADropOnAnotherCombines)
{
    LuaInterface::execute(
        "combined = ''\n"
        "for _, a in ipairs({'a', 'b', 'c'}) do for _, b in ipairs({'a', 'b', 'c'}) do\n"
        "  _G['inv_combine_' .. a .. '_and_' .. b] = function() combined = a .. '+' .. b end\n"
        "end end");
    struct Case
    {
        const char* name;
        const char* items;
        kavtypes::Vector2 from, to;
        const char* outcome; // what is in hand while carried, the row's x, and what was combined at the drop
    };
    const Case cases[] = {
        {"up out of a row that scrolls", "a,b,c,d,e,f,g", {150, 430}, {150, 200}, "b 0 "},
        {"along a row that scrolls", "a,b,c,d,e,f,g", {250, 430}, {150, 430}, " 100 "},
        {"along a row that does not scroll, onto another item", "a,b,c", {50, 430}, {250, 430}, "a 0 a+c"},
        {"up and back onto its own cell", "a,b,c", {150, 430}, {150, 430}, "b 0 "},
        {"up and down onto another item", "a,b,c", {150, 430}, {50, 430}, "b 0 b+a"},
    };
    for (const Case& c : cases)
    {
        VariableDictionary::getGlobal().get("items").set(c.items);
        UI::getInstance()->selectItem("");
        LuaInterface::execute("combined = ''");
        frames(2);
        moveTo(c.from.x, c.from.y);
        frames(1);
        engine->mouse(tesra::Window::MOUSE_DOWN, c.from.x, c.from.y);
        frames(1);
        // Well within the delay: a few pixels a frame would stay a click.
        const kavtypes::Vector2 way = c.to - c.from;
        const kavtypes::Vector2 first =
            (way.y != 0.0f || c.from == c.to) ? c.from + kavtypes::Vector2(0, -60) : c.from + way;
        moveTo(first.x, first.y);
        frames(1);
        moveTo(c.to.x, c.to.y);
        frames(1);
        const std::string during = held() + " " + std::to_string((int)-rowX());
        release(c.to.x, c.to.y);
        frames(2);
        EXPECT_EQ(during + " " + engine->lua("combined"), c.outcome) << c.name;
        EXPECT_FALSE(pane->isDragActive()) << c.name;
        // The row goes back to its first page for the next case.
        pane->getScrollArea()->setScrollOffset(0, 0);
        frames(1);
    }
}
