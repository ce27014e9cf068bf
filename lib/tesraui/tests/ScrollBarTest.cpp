#include <cmath>

#include <tesraui/Container.h>
#include <tesraui/ScrollArea.h>
#include <tesraui/ScrollBarButtons.h>
#include <tesraui/ScrollBarH.h>
#include <tesraui/ScrollBarV.h>

#include "WidgetTestSupport.h"

using kavtypes::Rectangle;
using kavtypes::Vector2;
using tesra::Color;
using tesraui::ImageButton;
using tesraui::ScrollArea;
using tesraui::ScrollBar;
using uitest::Lines;
using uitest::LogCapture;

namespace
{
    const float DT = 1.0f / 60.0f;

    // A skin of plain blocks: tracks 16 long, sliders 12, arrows 8, all 8 thick.
    const char* const datasetXml = R"(<Dataset>
  <Texture filename="../gfx/skin" filter="nearest">
    <Image name="h_background" rect="0,0,16,8"/>
    <Image name="h_slider_normal" rect="16,0,12,8"/>
    <Image name="h_slider_hover" rect="16,0,12,8"/>
    <Image name="h_slider_pushed" rect="16,0,12,8"/>
    <Image name="right_normal" rect="28,0,8,8"/>
    <Image name="right_hover" rect="28,0,8,8"/>
    <Image name="right_pushed" rect="28,0,8,8"/>
    <Image name="left_normal" rect="36,0,8,8"/>
    <Image name="left_hover" rect="36,0,8,8"/>
    <Image name="left_pushed" rect="36,0,8,8"/>
    <Image name="v_background" rect="0,8,8,16"/>
    <Image name="v_slider_normal" rect="8,8,8,12"/>
    <Image name="v_slider_hover" rect="8,8,8,12"/>
    <Image name="v_slider_pushed" rect="8,8,8,12"/>
    <Image name="down_normal" rect="16,8,8,8"/>
    <Image name="down_hover" rect="16,8,8,8"/>
    <Image name="down_pushed" rect="16,8,8,8"/>
    <Image name="up_normal" rect="24,8,8,8"/>
    <Image name="up_hover" rect="24,8,8,8"/>
    <Image name="up_pushed" rect="24,8,8,8"/>
  </Texture>
  <Object type="Container" name="root" rect="0,0,256,256">
    <Object type="Container" name="view" rect="0,0,100,100">
      <Object type="ScrollArea" name="area" rect="0,0,400,1000"/>
      <Object type="ScrollBarH" name="hbar" rect="0,92,92,8" skin="skin"/>
      <Object type="ScrollBarV" name="vbar" rect="92,0,8,92" skin="skin">
        <Object type="ScrollBarButtonSlider" name="thumb" rect="0,0,8,20" image="skin/v_slider_normal"/>
      </Object>
    </Object>
    <Object type="Container" name="plain" rect="128,0,100,100">
      <Object type="ScrollArea" name="long" rect="0,0,100,400"/>
      <Object type="ScrollBarV" name="indicator" rect="92,0,8,100"/>
    </Object>
  </Object>
</Dataset>)";

    class Bars : public uitest::UiWindowTest
    {
    protected:
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Object* root = nullptr;
        ScrollArea* area = nullptr;
        tesraui::ScrollBarH* hbar = nullptr;
        tesraui::ScrollBarV* vbar = nullptr;

        Bars()
        {
            this->windowWidth = 256;
            this->windowHeight = 256;
        }

        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->folder.write("gfx/skin.png", uitest::solidPng(48, 24, Color(255, 255, 255)));
            this->folder.write("ui/bars.xml", datasetXml);
            this->dataset.reset(new tesraui::Dataset("ui/bars.xml", "b"));
            this->dataset->load();
            this->root = this->dataset->getRoot();
            this->area = this->find<ScrollArea>("area");
            this->hbar = this->find<tesraui::ScrollBarH>("hbar");
            this->vbar = this->find<tesraui::ScrollBarV>("vbar");
            tesraui::update(0.0f);
        }

        void TearDown() override
        {
            this->dataset.reset();
            uitest::UiWindowTest::TearDown();
        }

        template <class T> T* find(const char* name)
        {
            return dynamic_cast<T*>(this->dataset->getObject(name));
        }

        void pointAt(float x, float y)
        {
            tesraui::setCursorPosition(Vector2(x, y));
            this->dataset->clearChildUnderCursorCaches();
            this->root->onMouseMove();
        }

        // A click at (x, y), its handlers run.
        void click(float x, float y)
        {
            this->pointAt(x, y);
            this->root->onMouseDown(1);
            this->root->onMouseUp(1);
            tesraui::processEvents();
        }

        void frames(int count, float dt = DT)
        {
            for (int i = 0; i < count; ++i)
            {
                tesraui::processEvents();
                tesraui::update(dt);
            }
        }

        // Frames until the area rests, at most two seconds' worth.
        void glide()
        {
            for (int i = 0; i < 120 && this->area->isScrolling(); ++i)
                this->frames(1);
        }
    };
} // namespace

TEST_F(Bars, SkinsBuildFourButtonsLaidOutAlongTheBar)
{
    ASSERT_TRUE(this->area != nullptr && this->hbar != nullptr && this->vbar != nullptr);
    tesraui::Container* view = this->find<tesraui::Container>("view");
    EXPECT_EQ(view->_getScrollBarH(), this->hbar);
    EXPECT_EQ(view->_getScrollBarV(), this->vbar);
    const char* const prefixes[4] = {"tesraui::ScrollButtonBackground", "tesraui::ScrollButtonSlider",
                                     "tesraui::ScrollButtonForward", "tesraui::ScrollButtonBackward"};
    const char* const classes[4] = {"ScrollBarButtonBackground", "ScrollBarButtonSlider",
                                    "ScrollBarButtonForward", "ScrollBarButtonBackward"};
    ASSERT_EQ(this->hbar->getChildren().size(), 4);
    for (int i = 0; i < 4; ++i)
    {
        tesraui::Object* button = this->hbar->getChildren()[i];
        EXPECT_TRUE(button->getName().startsWith(prefixes[i])) << button->getName();
        EXPECT_GT(button->getName().size(), (int)strlen(prefixes[i]));
        EXPECT_EQ(button->getClassName(), classes[i]);
        EXPECT_EQ(this->dataset->tryGetObject(button->getName()), button);
    }
    // Backward at the start, the track between the arrows, the slider showing the visible quarter.
    EXPECT_EQ(this->hbar->getSkinButton(ScrollBar::BACKWARD)->getRect(), Rectangle(0, 0, 8, 8));
    EXPECT_EQ(this->hbar->getSkinButton(ScrollBar::BACKGROUND)->getRect(), Rectangle(8, 0, 76, 8));
    EXPECT_EQ(this->hbar->getSkinButton(ScrollBar::FORWARD)->getRect(), Rectangle(84, 0, 8, 8));
    EXPECT_EQ(this->hbar->getSkinButton(ScrollBar::SLIDER)->getRect(), Rectangle(8, 0, 19, 8));
    EXPECT_EQ(this->hbar->getSkinButton(ScrollBar::FORWARD)->getProperty("hover_image"),
              "b.skin/right_hover");
    EXPECT_EQ(this->hbar->getSkinButton(ScrollBar::BACKGROUND)->getProperty("pushed_image"),
              "b.skin/h_background");
    EXPECT_EQ(this->vbar->getSkinButton(ScrollBar::FORWARD)->getRect(), Rectangle(0, 84, 8, 8));
    EXPECT_EQ(this->vbar->getSkinButton(ScrollBar::BACKWARD)->getImageName(), "b.skin/up_normal");

    // The slider placed by hand replaces the skinned one until it leaves.
    ImageButton* thumb = this->find<ImageButton>("thumb");
    ImageButton* skinned = this->vbar->getSkinButton(ScrollBar::SLIDER);
    EXPECT_EQ(this->vbar->getButtonSlider(), thumb);
    EXPECT_FALSE(skinned->isVisible());
    this->area->setScrollOffset(0, 450);
    this->frames(1);
    EXPECT_EQ(thumb->getY(), std::floor(8 + (76 - 20) * 0.5f + 0.5f));
    EXPECT_EQ(skinned->getY(), 8);
    this->vbar->removeChildAndUnregister(thumb);
    EXPECT_TRUE(skinned->isVisible());
    EXPECT_EQ(this->vbar->getButtonSlider(), skinned);
    this->vbar->addChildAndRegister(thumb);
    EXPECT_FALSE(skinned->isVisible());
    // Deleted directly, it takes its link with it.
    this->dataset->destroyObject(thumb);
    EXPECT_TRUE(skinned->isVisible());
    this->frames(1);
    EXPECT_EQ(skinned->getHeight(), 8);

    // An empty skin deletes the skinned buttons; a new one builds them again.
    hstring sliderName = this->hbar->getSkinButton(ScrollBar::SLIDER)->getName();
    this->hbar->setProperty("skin", "");
    EXPECT_EQ(this->hbar->getChildren().size(), 0);
    EXPECT_EQ(this->dataset->tryGetObject(sliderName), nullptr);
    this->hbar->setProperty("skin", "skin");
    EXPECT_EQ(this->hbar->getChildren().size(), 4);
    delete this->hbar->getSkinButton(ScrollBar::FORWARD);
    EXPECT_EQ(this->hbar->getSkinButton(ScrollBar::FORWARD), nullptr);
    delete this->vbar;
    EXPECT_EQ(view->_getScrollBarV(), nullptr);
}

TEST_F(Bars, ArrowsGlideByStepsOrGridCells)
{
    // One arrow click glides exactly 32; a second one mid-glide adds to what is left.
    this->click(88, 96);
    EXPECT_TRUE(this->area->isScrolling());
    this->glide();
    EXPECT_EQ(this->area->getScrollOffsetX(), 32);
    this->click(88, 96);
    this->frames(3);
    float partway = this->area->getScrollOffsetX();
    EXPECT_GT(partway, 32);
    EXPECT_LT(partway, 64);
    this->click(88, 96);
    this->glide();
    EXPECT_EQ(this->area->getScrollOffsetX(), 96);
    this->click(4, 96);
    this->glide();
    EXPECT_EQ(this->area->getScrollOffsetX(), 64);

    // On a grid of 100 a click moves one whole cell.
    this->hbar->setProperty("grid_size", "100");
    this->area->setScrollOffset(0, 0);
    this->click(88, 96);
    this->glide();
    EXPECT_EQ(this->area->getScrollOffsetX(), 100);
    // A drag flung off the grid comes to rest on it.
    this->area->setAllowDrag(true);
    this->pointAt(60, 50);
    this->root->onMouseDown(1);
    for (float x : {40.0f, 30.0f, 23.0f})
    {
        this->pointAt(x, 50);
        this->frames(1);
    }
    this->root->onMouseUp(1);
    this->glide();
    float rest = this->area->getScrollOffsetX();
    EXPECT_GT(rest, 100);
    EXPECT_EQ(std::fmod(rest, 100.0f), 0.0f) << rest;

    // Without inertia the step is taken at once.
    this->area->setInertia(0.0f);
    this->hbar->setProperty("grid_size", "0");
    this->area->setScrollOffset(0, 0);
    this->click(88, 96);
    EXPECT_EQ(this->area->getScrollOffsetX(), 32);
    EXPECT_FALSE(this->area->isScrolling());
}

TEST_F(Bars, TrackWheelAndSliderMoveTheArea)
{
    // A click on the track beyond the slider goes one view forward, but not past the end.
    this->area->setScrollOffset(250, 0);
    this->frames(1);
    EXPECT_EQ(this->hbar->getButtonSlider()->getX(), std::floor(8 + 57 * 250.0f / 300 + 0.5f));
    this->click(82, 96);
    this->glide();
    EXPECT_EQ(this->area->getScrollOffsetX(), 300);
    this->click(10, 96);
    this->glide();
    EXPECT_EQ(this->area->getScrollOffsetX(), 200);

    // A wheel notch over the view scrolls the vertical bar by 32 and is left for others too.
    this->pointAt(50, 50);
    EXPECT_FALSE(this->root->onMouseScroll(0, 1));
    this->glide();
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(200, 32));
    // Swapped, the vertical wheel drives the horizontal bar.
    this->area->setProperty("swap_scroll_wheels", "1");
    this->root->onMouseScroll(0, -1);
    this->glide();
    EXPECT_EQ(this->area->getScrollOffset(), Vector2(168, 32));

    // Dragging the slider moves the area, and the slider follows it.
    this->area->setScrollOffset(0, 0);
    this->frames(1);
    ImageButton* slider = this->hbar->getButtonSlider();
    this->pointAt(10, 96);
    this->root->onMouseDown(1);
    tesraui::processEvents();
    EXPECT_EQ(this->hbar->getGrabOffset(), Vector2(2, 4));
    this->pointAt(40, 96);
    EXPECT_EQ(this->area->getScrollOffsetX(), std::floor(300 * 30.0f / 57 + 0.5f));
    this->frames(1);
    EXPECT_EQ(slider->getX(), std::floor(8 + 57 * this->area->getScrollOffsetX() / 300 + 0.5f));
    this->root->onMouseUp(1);
    // A slider as long as its track cannot be dragged: nothing moves, nothing breaks.
    this->area->setSize(100, 1000);
    this->frames(1);
    EXPECT_EQ(slider->getWidth(), 76);
    this->pointAt(30, 96);
    this->root->onMouseDown(1);
    tesraui::processEvents();
    this->pointAt(60, 96);
    EXPECT_EQ(this->area->getScrollOffsetX(), 0);
    this->root->onMouseUp(1);
    EXPECT_EQ(this->hbar->_calcScrollJump(10, 0, 0, 0), 0);
}

TEST_F(Bars, SkinlessIndicatorShowsWhileMovingThenFades)
{
    ScrollArea* area = this->find<ScrollArea>("long");
    ScrollBar* indicator = this->find<ScrollBar>("indicator");
    auto column = [&](int y)
    {
        tesra::rendersys->clear(true, false);
        this->root->draw();
        return pixel(*grab(), 224, y);
    };
    // At rest after loading it is faded out.
    EXPECT_EQ(column(5), 0x000000FFu);
    // Moving: the visible quarter of its length, moved along by the offset.
    area->setScrollOffset(0, 100);
    area->setDragSpeed(Vector2(0, -10));
    EXPECT_EQ(column(30), 0xFFFFFFFFu);
    EXPECT_EQ(column(20), 0x000000FFu);
    EXPECT_EQ(column(52), 0x000000FFu);
    EXPECT_FLOAT_EQ(indicator->getFadeTimer(), 1.0f);
    area->stopScrolling();
    indicator->update(0.5f);
    EXPECT_EQ(column(30), 0xFFFFFFFFu);
    indicator->update(0.3f);
    unsigned int fading = column(30);
    EXPECT_NEAR((int)(fading >> 24), 204, 2);
    indicator->update(0.25f);
    EXPECT_EQ(column(30), 0x000000FFu);
    // Never shorter than 8; hidden while the content fits.
    area->setSize(100, 100000);
    area->setScrollOffset(0, 0);
    area->setDragSpeed(Vector2(0, -10));
    EXPECT_EQ(column(7), 0xFFFFFFFFu);
    EXPECT_EQ(column(9), 0x000000FFu);
    area->setSize(100, 100);
    EXPECT_EQ(column(7), 0x000000FFu);
    indicator->setProperty("height_hide", "0");
    EXPECT_EQ(column(90), 0xFFFFFFFFu);
}

TEST(BarsAlone, OutsideAContainerABarWarnsAndDoesNothing)
{
    uitest::UiLibrary library;
    tesraui::Object holder("holder", Rectangle(0, 0, 100, 100));
    tesraui::ScrollBarV bar("stray", Rectangle(0, 0, 8, 100));
    LogCapture log;
    holder.addChild(&bar);
    EXPECT_EQ(log.take(), Lines({"WARNING: ScrollBar 'stray' not attached to object of class Container!"}));
    bar.addScrollValue(32);
    bar.scrollForward(1.0f);
    EXPECT_EQ(bar._calcScrollJump(1, 50, 8, 100), 0);
    EXPECT_TRUE(bar._checkAreaSize());
    EXPECT_EQ(bar.getProperty("use_fading") + bar.getProperty("height_hide") + bar.getProperty("grid_size"),
              "110.000000");
    holder.removeChild(&bar);
}
