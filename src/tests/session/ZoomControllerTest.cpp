#include <cmath>

#include <tesraui/Container.h>
#include <tesraui/ImageBox.h>

#include "EngineHarness.h"
#include "SessionFixture.h"
#include "Scene.h"
#include "SessionState.h"
#include "Variables.h"
#include "lua/Calls.h"
#include "ui/UI.h"
#include "ui/ZoomController.h"

using namespace vumo;

using harness::Engine;
using harness::GameFolder;

// A 160 x 120 window whose scene c1.a fills the viewport and allows a zoom of up to 2; c1.b allows none.
class SceneZoom : public harness::SessionTest
{
protected:
    UI* ui = nullptr;

    void SetUp() override
    {
        folder.config("scene: c1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.put("data/chapters/c1/c1.datadef", "<Dataset/>");
        folder.put("data/chapters/c1/scenes/a.scene", "__maxZoomScale = 2\n");
        folder.put("data/chapters/c1/scenes/b.scene", "");
        ASSERT_NO_FATAL_FAILURE(startSession());
        ui = UI::getInstance();
        engine->frame();
        // The scene's root takes the pointer only where it has something to show.
        root()->setImageByName("0xFFFFFF");
        engine->frame();
    }
    tesraui::ImageBox* root() { return Session::getActiveScene()->getRootObject(); }
    ZoomController* zoom() { return ui->getZoomController(); }
    float scale() { return root()->getScaleX(); }
    kavtypes::Vector2 offset() { return ZoomController::getOffset(); }
    void at(float x, float y)
    {
        tesra::window->queueMouseEvent(tesra::Window::MOUSE_MOVE, x, y, 0);
        tesra::window->checkEvents();
    }
    // Where a point of the scene shows in the window.
    kavtypes::Vector2 shown(kavtypes::Vector2 point) { return root()->getDerivedPoint(point); }
    void zoomTo(float value, float x = 80.0f, float y = 60.0f)
    {
        zoom()->focusPoint(x, y, value, 0.0f, false);
        ASSERT_FLOAT_EQ(scale(), value);
    }
};

TEST_F(SceneZoom, WheelNotchesStepByATenthKeepThePointUnderTheCursorAndReturnToTheOrigin)
{
    at(40, 30);
    std::vector<float> up;
    for (int i = 0; i < 9; ++i)
    {
        ui->OnPointerScroll(0.0f, -1.0f);
        up.push_back(scale());
        const kavtypes::Vector2 point = shown(kavtypes::Vector2(40, 30));
        EXPECT_NEAR(point.x, 40.0f, 0.5f) << i;
        EXPECT_NEAR(point.y, 30.0f, 0.5f) << i;
    }
    EXPECT_FLOAT_EQ(up[0], 1.1f);
    EXPECT_FLOAT_EQ(up[1], 1.1f * 1.1f);
    EXPECT_FLOAT_EQ(up[7], 2.0f);
    EXPECT_FLOAT_EQ(up[8], 2.0f);
    EXPECT_EQ(zoom()->getState(), ZoomController::STATE_ZOOMING);
    // A positive amount is tested first: both at once zoom out.
    ui->OnPointerScroll(1.0f, -1.0f);
    EXPECT_FLOAT_EQ(scale(), 2.0f / 1.1f);
    for (int i = 0; i < 10; ++i)
    {
        ui->OnPointerScroll(0.0f, 1.0f);
    }
    EXPECT_FLOAT_EQ(scale(), 1.0f);
    EXPECT_EQ(offset(), kavtypes::Vector2(0, 0));
    EXPECT_EQ(root()->getPosition(), kavtypes::Vector2(0, 0));
}

TEST_F(SceneZoom, ASceneWithoutAMaximumNeverZooms)
{
    LuaInterface::execute("scene._queued_switchScene('c1.b', 0, '')");
    for (int i = 0; i < 5; ++i)
    {
        engine->frame();
    }
    ASSERT_EQ(Session::getActiveScene()->getFullName(), "c1.b");
    root()->setImageByName("0xFFFFFF");
    engine->frame();
    at(40, 30);
    ui->OnPointerScroll(0.0f, -1.0f);
    EXPECT_FLOAT_EQ(scale(), 1.0f);
    zoom()->focusPoint(40, 30, 2.0f, 0.0f, false);
    EXPECT_FLOAT_EQ(scale(), 1.0f);
}

TEST_F(SceneZoom, AShortDragStillClicksALongOneCancelsThePressAndPansWithinTheScene)
{
    zoomTo(2.0f);
    // Centred: the scene's top-left quarter is out of view to the left and top.
    EXPECT_EQ(offset(), kavtypes::Vector2(-80, -60));
    at(20, 20);
    engine->mouse(tesra::Window::MOUSE_DOWN, 20, 20);
    EXPECT_EQ(zoom()->getState(), ZoomController::STATE_PRESSED);
    // The threshold is 1 % of the viewport's diagonal: 2 units here.
    at(21, 20);
    EXPECT_EQ(zoom()->getState(), ZoomController::STATE_PRESSED);
    EXPECT_TRUE(ui->isPointerDown());
    EXPECT_EQ(offset(), kavtypes::Vector2(-80, -60));
    at(30, 25);
    EXPECT_EQ(zoom()->getState(), ZoomController::STATE_PANNING);
    EXPECT_FALSE(ui->isPointerDown());
    EXPECT_EQ(offset(), kavtypes::Vector2(-70, -55));
    // Dragged far, the scene's edge stops at the viewport's.
    at(150, 110);
    EXPECT_EQ(offset(), kavtypes::Vector2(0, 0));
    at(0, 0);
    EXPECT_EQ(offset(), kavtypes::Vector2(-100, -80));
    engine->mouse(tesra::Window::MOUSE_UP, 0, 0);
    EXPECT_EQ(zoom()->getState(), ZoomController::STATE_IDLE);
    EXPECT_FLOAT_EQ(scale(), 2.0f);
}

TEST_F(SceneZoom, FocusPointCentresThePointAndZoomOutReturns)
{
    // Time over distance: a large time is a fast move.
    LuaInterface::execute("scene.focusPoint(100, 80, 2, 500)");
    EXPECT_FLOAT_EQ(scale(), 1.0f);
    for (int i = 0; i < 100 && root()->hasDynamicAnimators(); ++i)
    {
        engine->frame(0.05f);
    }
    ASSERT_FALSE(root()->hasDynamicAnimators());
    EXPECT_FLOAT_EQ(scale(), 2.0f);
    const kavtypes::Vector2 point = shown(kavtypes::Vector2(100, 80));
    EXPECT_NEAR(point.x, 80.0f, 0.5f);
    EXPECT_NEAR(point.y, 60.0f, 0.5f);

    // A point near the edge stops where the scene still covers the viewport.
    LuaInterface::execute("scene.focusPoint(0, 0, 2, 0, true)");
    EXPECT_EQ(offset(), kavtypes::Vector2(0, 0));
    // Without a zoom the current scale is kept.
    LuaInterface::execute("scene.focusPoint(160, 120)");
    EXPECT_FLOAT_EQ(scale(), 2.0f);

    LuaInterface::execute("scene.zoomOut(500)");
    for (int i = 0; i < 100 && root()->hasDynamicAnimators(); ++i)
    {
        engine->frame(0.05f);
    }
    EXPECT_FLOAT_EQ(scale(), 1.0f);
    EXPECT_NEAR(offset().x, 0.0f, 0.01f);
    EXPECT_NEAR(offset().y, 0.0f, 0.01f);
    EXPECT_EQ(engine->lua("pcall(scene.focusPoint, 'a')"), "false");
}

TEST_F(SceneZoom, AZeroTimeOrAZeroDistanceLandsAtOnce)
{
    zoom()->focusPoint(40, 30, 1.5f, 0.0f, true);
    EXPECT_FLOAT_EQ(scale(), 1.5f);
    EXPECT_FALSE(root()->hasDynamicAnimators());
    const kavtypes::Vector2 before = root()->getPosition();
    zoom()->zoomTo(kavtypes::Vector2(40, 30), 1.5f, 1.0f, true);
    EXPECT_EQ(root()->getPosition(), before);
    EXPECT_FALSE(root()->hasDynamicAnimators());
    zoom()->zoomOut(0.0f);
    EXPECT_FLOAT_EQ(scale(), 1.0f);
    EXPECT_EQ(offset(), kavtypes::Vector2(0, 0));
}

TEST_F(SceneZoom, APinchScalesByTheRatioOfDistancesAndDampsSmallMoves)
{
    ui->OnTouch({kavtypes::Vector2(30, 60), kavtypes::Vector2(130, 60)});
    EXPECT_EQ(zoom()->getState(), ZoomController::STATE_ZOOMING);
    ui->OnTouch({kavtypes::Vector2(-20, 60), kavtypes::Vector2(180, 60)});
    EXPECT_FLOAT_EQ(scale(), 2.0f);
    // The point between the fingers stays.
    const kavtypes::Vector2 middle = shown(kavtypes::Vector2(80, 60));
    EXPECT_NEAR(middle.x, 80.0f, 0.5f);
    EXPECT_NEAR(middle.y, 60.0f, 0.5f);
    ui->OnTouch({});
    EXPECT_EQ(zoom()->getState(), ZoomController::STATE_IDLE);
    zoomTo(1.0f);
    zoom()->zoomOut(0.0f);
    ui->OnTouch({kavtypes::Vector2(30, 60), kavtypes::Vector2(130, 60)});
    ui->OnTouch({kavtypes::Vector2(29, 60), kavtypes::Vector2(131, 60)});
    // 2 px at 96 dpi is about half a millimetre, well under the 3 mm that count in full.
    EXPECT_GT(scale(), 1.0f);
    EXPECT_LT(scale(), 1.005f);
    ui->OnTouch({});
}

TEST_F(SceneZoom, APinchFromOnePointGivesNoRatio)
{
    ui->OnTouch({kavtypes::Vector2(80, 60), kavtypes::Vector2(80, 60)});
    ui->OnTouch({kavtypes::Vector2(70, 60), kavtypes::Vector2(90, 60)});
    EXPECT_TRUE(std::isfinite(scale()));
    EXPECT_FLOAT_EQ(scale(), 1.0f);
    ui->OnTouch({});
}
