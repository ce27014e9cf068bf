#include <cmath>

#include <tesraui/Container.h>
#include <tesraui/ImageButton.h>
#include <tesraui/ScrollArea.h>

#include "WidgetTestSupport.h"

using kavtypes::Rectangle;
using kavtypes::Vector2;
using tesraui::ImageButton;
using tesraui::ScrollArea;

namespace
{
    // Frame times whose fling distances never fall on a half unit, so whole offsets are exact.
    const float DT = 0.02f;

    // A view of 100 by 100 at (10, 10) over an area of 300 by 250 with a button at (20, 20); a view scaled
    // by 2 at (300, 0); an area that fits its view.
    const char* const datasetXml = R"(<Dataset>
  <Object type="Container" name="root" rect="0,0,800,600">
    <Object type="Container" name="view" rect="10,10,100,100">
      <Object type="ScrollArea" name="area" rect="0,0,300,250" allow_drag="1">
        <Object type="ImageButton" name="item" rect="20,20,40,40"/>
      </Object>
    </Object>
    <Object type="Container" name="zoom" rect="300,0,100,100" center="0,0" scale="2,2">
      <Object type="ScrollArea" name="zoomed" rect="0,0,400,400" allow_drag="1"/>
    </Object>
    <Object type="Container" name="box" rect="10,300,100,100">
      <Object type="ScrollArea" name="fits" rect="0,0,100,60" allow_drag="1"/>
    </Object>
  </Object>
</Dataset>)";

    class Scrolling : public testing::Test
    {
    protected:
        uitest::ResourceFolder folder;
        uitest::UiLibrary library;
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Object* root = nullptr;
        ScrollArea* area = nullptr;
        ImageButton* item = nullptr;
        harray<hstring> journal;

        void SetUp() override
        {
            this->folder.write("ui/scroll.xml", datasetXml);
            this->dataset.reset(new tesraui::Dataset("ui/scroll.xml", "s"));
            this->dataset->load();
            this->root = this->dataset->getRoot();
            this->area = this->find<ScrollArea>("area");
            this->item = this->find<ImageButton>("item");
            uitest::listen(this->item, &this->journal, {"MouseDown", "Click"});
        }

        template <class T> T* find(const char* name)
        {
            return dynamic_cast<T*>(this->dataset->getObject(name));
        }

        // The pointer moves to (x, y), then a frame of dt passes.
        void step(float x, float y, float dt = DT)
        {
            tesraui::setCursorPosition(Vector2(x, y));
            this->dataset->clearChildUnderCursorCaches();
            this->root->onMouseMove();
            tesraui::update(dt);
        }

        void press(float x, float y)
        {
            this->step(x, y, 0.0f);
            this->root->onMouseDown(1);
        }

        harray<hstring> taken()
        {
            this->dataset->processEvents();
            return std::exchange(this->journal, harray<hstring>());
        }

        static bool finite(Vector2 v) { return std::isfinite(v.x) && std::isfinite(v.y); }

        // Speeds come from travel over a frame time that is not exact in floats.
        static void expectSpeed(Vector2 actual, Vector2 expected)
        {
            EXPECT_NEAR(actual.x, expected.x, 0.01f);
            EXPECT_NEAR(actual.y, expected.y, 0.01f);
        }
    };
} // namespace

TEST_F(Scrolling, ShortPressesClickTheChildAndDragsCancelIt)
{
    ASSERT_TRUE(this->area != nullptr && this->item != nullptr);
    EXPECT_TRUE(this->area->isClip());
    EXPECT_EQ(this->find<tesraui::Container>("view")->_getScrollArea(), this->area);
    EXPECT_TRUE(this->area->isScrollable());
    EXPECT_FALSE(this->find<ScrollArea>("fits")->isScrollable());
    // Less than 16 on both axes: no drag, and the button under the pointer gets its click.
    this->press(40, 40);
    EXPECT_TRUE(this->area->isPushed());
    this->step(55, 50);
    this->step(50, 55);
    EXPECT_FALSE(this->area->isDragging());
    this->root->onMouseUp(1);
    EXPECT_EQ(this->taken(), harray<hstring>({"MouseDown:1", "Click:1"}));
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(0, 0));

    // 16 on one axis starts the drag: the button's press is cancelled and the area follows the pointer.
    this->press(40, 40);
    this->step(40, 30);
    EXPECT_TRUE(this->item->isPushed());
    this->step(40, 24);
    EXPECT_TRUE(this->area->isDragging());
    EXPECT_FALSE(this->item->isPushed());
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(0, 16));
    this->step(33, 19);
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(7, 21));
    // A cancel leaves the drag alone; controller buttons never press the area.
    this->root->onMouseCancel(1);
    EXPECT_TRUE(this->area->isDragging() && this->area->isPushed());
    this->area->setInertia(0.0f);
    this->root->onMouseUp(1);
    EXPECT_EQ(this->taken(), harray<hstring>({"MouseDown:1"}));
    this->area->onButtonDown(11);
    EXPECT_FALSE(this->area->isPushed());
    this->area->onButtonUp(11);

    // A release that the area takes for itself cancels the press of the button it left.
    this->area->setScrollOffset(0, 0);
    this->press(40, 40);
    this->step(40, 29);
    this->root->onMouseUp(1);
    EXPECT_FALSE(this->item->isPushed());
    EXPECT_EQ(this->taken(), harray<hstring>({"MouseDown:1"}));
}

TEST_F(Scrolling, LimitsScaleAndResizeClampTheOffset)
{
    // An area that fits stays at the origin whatever the drag.
    ScrollArea* fits = this->find<ScrollArea>("fits");
    this->press(50, 350);
    for (Vector2 p : {Vector2(20, 320), Vector2(0, 300), Vector2(90, 390)})
        this->step(p.x, p.y);
    EXPECT_TRUE(fits->isDragging());
    EXPECT_EQ(fits->getPosition(), Vector2(0, 0));
    this->root->onMouseUp(1);
    this->step(90, 390);
    EXPECT_EQ(fits->getPosition(), Vector2(0, 0));

    // In a container scaled by 2 the area moves by half the pointer's travel.
    ScrollArea* zoomed = this->find<ScrollArea>("zoomed");
    this->press(350, 150);
    this->step(320, 110);
    EXPECT_EQ(zoomed->getScrollOffset(), Vector2(15, 20));
    // A vanished scale leaves the offset as it is.
    this->find<tesraui::Container>("zoom")->setScale(0, 0);
    this->step(300, 100);
    EXPECT_EQ(zoomed->getScrollOffset(), Vector2(15, 20));
    this->root->onMouseUp(1);

    // Offsets are clamped to the container, and again when the area is resized.
    this->area->setScrollOffset(500, -20);
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(200, 0));
    this->area->setScrollOffset(150, 120);
    this->area->setSize(200, 150);
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(100, 50));
    this->area->setScrollOffset(12.5f, 7.4f);
    this->area->snapScrollOffset();
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(13, 7));
    EXPECT_EQ(this->area->getProperty("inertia") + this->area->getProperty("drag_threshold") +
                  this->area->getProperty("drag_max_speed") + this->area->getProperty("allow_drag"),
              "2000.00000016.0000000.0000001");
}

TEST_F(Scrolling, FlingsDecelerateAxisByAxisAndCanBeCaught)
{
    this->press(60, 60);
    this->step(40, 40);
    this->step(28, 24);
    this->step(16, 8);
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(44, 52));
    expectSpeed(this->area->getDragSpeed(), Vector2(-600, -800));
    this->root->onMouseUp(1);
    EXPECT_TRUE(this->area->isScrolling());
    // x = 44 + 600 t - 1000 t^2 in whole units; y runs into its limit of 150 and stops there first.
    bool yEndedFirst = false;
    float t = 0.0f;
    for (int frame = 1; frame < 40 && this->area->isScrolling(); ++frame)
    {
        this->step(16, 8);
        t += DT;
        Vector2 offset = this->area->getScrollOffset();
        EXPECT_EQ(offset.y, std::floor(offset.y)) << frame;
        if (this->area->getDragSpeed().x != 0.0f)
        {
            EXPECT_EQ(offset.x, std::floor(44.0f + 600.0f * t - 1000.0f * t * t + 0.5f)) << frame;
        }
        if (this->area->getDragSpeed().y == 0.0f && this->area->getDragSpeed().x != 0.0f)
            yEndedFirst = (offset.y == 150.0f);
    }
    EXPECT_TRUE(yEndedFirst);
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(134, 150));
    EXPECT_FALSE(this->area->isScrolling());

    // A press on a flinging area drags at once, without the threshold.
    this->area->setScrollOffset(0, 0);
    this->press(60, 60);
    this->step(40, 50);
    this->step(20, 40);
    this->root->onMouseUp(1);
    this->step(20, 40);
    ASSERT_TRUE(this->area->isScrolling());
    Vector2 caught = this->area->getScrollOffset();
    this->press(60, 60);
    this->step(61, 60);
    EXPECT_TRUE(this->area->isDragging());
    EXPECT_EQ(this->area->getScrollOffset(), caught - Vector2(1, 0));
    this->root->onMouseUp(1);
}

TEST_F(Scrolling, StillFramesAndNoInertiaLeaveNothingMoving)
{
    // A frame of no time in the middle of a drag keeps every value a number, and the drag goes on.
    this->press(60, 60);
    this->step(40, 40);
    this->step(30, 35, 0.0f);
    EXPECT_TRUE(finite(this->area->getScrollOffset()) && finite(this->area->getDragSpeed()));
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(30, 25));
    this->step(22, 31);
    expectSpeed(this->area->getDragSpeed(), Vector2(-400, -200));
    this->root->onMouseUp(1);
    // Nor does a still frame end a fling early.
    this->step(22, 31, 0.0f);
    EXPECT_TRUE(this->area->isScrolling());
    for (int frame = 0; frame < 30; ++frame)
        this->step(22, 31);
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(38 + 40, 29 + 10));
    EXPECT_TRUE(finite(this->area->getInertiaStartOffset()) && finite(this->area->getInertiaTime()));

    // Without inertia the area stops dead at the release and counts as resting.
    this->area->setProperty("inertia", "0");
    this->press(60, 60);
    this->step(40, 40);
    this->step(20, 20);
    Vector2 released = this->area->getScrollOffset();
    this->root->onMouseUp(1);
    this->step(20, 20);
    this->step(20, 20);
    EXPECT_EQ(this->area->getScrollOffset(), released);
    EXPECT_FALSE(this->area->isScrolling());
    // A capped speed keeps its direction.
    this->area->setProperty("inertia", "2000");
    this->area->setProperty("drag_max_speed", "300");
    this->press(60, 60);
    this->step(40, 40);
    this->step(20, 40);
    expectSpeed(this->area->getDragSpeed(), Vector2(-300, 0));
    this->root->onMouseUp(1);
    this->area->stopScrolling();
    EXPECT_FALSE(this->area->isScrolling());
}

TEST_F(Scrolling, LinksToTheContainerNeverDangle)
{
    tesraui::Container* view = this->find<tesraui::Container>("view");
    ScrollArea* extra = new ScrollArea("extra", Rectangle(0, 0, 10, 10));
    view->addChild(extra);
    EXPECT_EQ(view->_getScrollArea(), extra);
    view->removeChild(extra);
    EXPECT_EQ(view->_getScrollArea(), nullptr);
    view->addChild(extra);
    delete extra;
    EXPECT_EQ(view->_getScrollArea(), nullptr);
    // Outside a container there is nothing to clamp to.
    ScrollArea alone("alone", Rectangle(0, 0, 10, 10));
    alone.setScrollOffset(-5, 50);
    EXPECT_EQ(alone.getPosition(), Vector2(5, -50));
    EXPECT_FALSE(alone.isScrollable());
}
