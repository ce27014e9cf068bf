#include <cmath>

#include <tesraui/Container.h>
#include <tesraui/Slider.h>

#include "WidgetTestSupport.h"

using kavtypes::Rectangle;
using kavtypes::Vector2;
using tesra::Color;
using tesraui::Slider;

namespace
{
    // A slider 54 wide, so its value is the local x over 50; a tiny one; one in a container scaled by 2.
    const char* const datasetXml = R"(<Dataset>
  <Texture filename="../gfx/fill" filter="nearest">
    <Image name="green" rect="0,0,4,4"/>
  </Texture>
  <Object type="Container" name="root" rect="0,0,128,128">
    <Object type="Slider" name="slider" rect="10,10,54,20" image="fill/green"/>
    <Object type="Slider" name="tiny" rect="10,40,4,20" image="fill/green"/>
    <Object type="Container" name="zoom" rect="0,70,64,20" scale="2,2" center="0,0">
      <Object type="Slider" name="scaled" rect="0,0,24,10"/>
    </Object>
  </Object>
</Dataset>)";

    class Sliders : public uitest::UiWindowTest
    {
    protected:
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Object* root = nullptr;
        Slider* slider = nullptr;
        harray<hstring> journal;

        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            this->folder.write("gfx/fill.png", uitest::solidPng(4, 4, Color(0, 255, 0)));
            this->folder.write("ui/case.xml", datasetXml);
            this->dataset.reset(new tesraui::Dataset("ui/case.xml", "d"));
            this->dataset->load();
            this->root = this->dataset->getRoot();
            this->slider = dynamic_cast<Slider*>(this->dataset->getObject("slider"));
            uitest::listen(this->slider, &this->journal, {"Set"});
        }

        void TearDown() override
        {
            this->dataset.reset();
            uitest::UiWindowTest::TearDown();
        }

        void moveTo(float x, float y)
        {
            tesraui::setCursorPosition(Vector2(x, y));
            this->dataset->clearChildUnderCursorCaches();
            this->root->onMouseMove();
        }

        harray<hstring> taken()
        {
            this->dataset->processEvents();
            return std::exchange(this->journal, harray<hstring>());
        }
    };
} // namespace

TEST_F(Sliders, AnyKeyPressesAndDragsKeepTheValueInRange)
{
    ASSERT_NE(this->slider, nullptr);
    EXPECT_EQ(this->slider->getClassName(), "Slider");
    // Outside it a press is refused.
    this->moveTo(5, 20);
    EXPECT_FALSE(this->root->onMouseDown(1));
    EXPECT_EQ(this->taken(), harray<hstring>());
    // The left edge is 0; the right key presses too, with its own code.
    this->moveTo(10, 20);
    EXPECT_TRUE(this->root->onMouseDown(2));
    EXPECT_TRUE(this->slider->isPushed());
    EXPECT_EQ(this->slider->getValue(), 0.0f);
    this->moveTo(35, 20);
    EXPECT_FLOAT_EQ(this->slider->getValue(), 0.5f);
    // Past either end it stays at the limit, and every move still queues "Set" with key 0.
    this->moveTo(100, 20);
    EXPECT_EQ(this->slider->getValue(), 1.0f);
    this->moveTo(0, 20);
    EXPECT_EQ(this->slider->getValue(), 0.0f);
    EXPECT_EQ(this->taken(), harray<hstring>({"Set:2", "Set:0", "Set:0", "Set:0"}));
    // A release outside: false, the drag ends, and nothing is queued.
    EXPECT_FALSE(this->root->onMouseUp(2));
    EXPECT_FALSE(this->slider->isPushed());
    this->moveTo(30, 20);
    EXPECT_EQ(this->slider->getValue(), 0.0f);
    // At width - 4 the value is already 1; the release inside is taken.
    this->moveTo(60, 20);
    EXPECT_TRUE(this->root->onMouseDown(1));
    EXPECT_EQ(this->slider->getValue(), 1.0f);
    tesraui::update(0.01f);
    EXPECT_EQ(this->slider->getValue(), 1.0f);
    EXPECT_TRUE(this->root->onMouseUp(1));
    EXPECT_EQ(this->taken(), harray<hstring>({"Set:1"}));
    // A cancel ends the drag too.
    this->root->onMouseDown(1);
    this->slider->onMouseCancel(1);
    this->moveTo(20, 20);
    EXPECT_EQ(this->slider->getValue(), 1.0f);
}

TEST_F(Sliders, ScaledAndDegenerateSlidersKeepOneValue)
{
    // Moves and updates map the pointer alike, so a scaled slider does not alternate between frames.
    Slider* scaled = dynamic_cast<Slider*>(this->dataset->getObject("scaled"));
    this->moveTo(20, 80);
    EXPECT_TRUE(this->root->onMouseDown(1));
    EXPECT_FLOAT_EQ(scaled->getValue(), 0.5f);
    tesraui::update(0.01f);
    EXPECT_FLOAT_EQ(scaled->getValue(), 0.5f);
    this->moveTo(30, 80);
    EXPECT_FLOAT_EQ(scaled->getValue(), 0.75f);
    tesraui::update(0.01f);
    EXPECT_FLOAT_EQ(scaled->getValue(), 0.75f);
    this->root->onMouseUp(1);
    // Four units wide leaves no range: 0, never a division by zero.
    Slider* tiny = dynamic_cast<Slider*>(this->dataset->getObject("tiny"));
    this->moveTo(12, 50);
    EXPECT_TRUE(this->root->onMouseDown(1));
    EXPECT_EQ(tiny->getValue(), 0.0f);
    tesraui::update(0.01f);
    EXPECT_EQ(tiny->getValue(), 0.0f);
    this->root->onMouseUp(1);
}

TEST_F(Sliders, DrawsAFramedBarFilledUpToTheValue)
{
    this->moveTo(35, 20);
    this->root->onMouseDown(1);
    this->root->onMouseUp(1);
    this->dataset->getObject("scaled")->setVisible(false);
    this->root->draw();
    std::unique_ptr<tesra::Image> shot = grab();
    // Frame white, image over floor(52 * 0.5) = 26 units, the rest of the interior a quarter of white.
    EXPECT_EQ(pixel(*shot, 10, 20), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(*shot, 30, 10), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(*shot, 11, 20), 0x00FF00FFu);
    EXPECT_EQ(pixel(*shot, 36, 20), 0x00FF00FFu);
    EXPECT_EQ(pixel(*shot, 37, 20), 0x3F3F3FFFu);
    EXPECT_EQ(pixel(*shot, 62, 20), 0x3F3F3FFFu);
    EXPECT_EQ(pixel(*shot, 63, 20), 0xFFFFFFFFu);
    // Less than 5 units wide: nothing at all.
    EXPECT_EQ(pixel(*shot, 11, 50), 0x000000FFu);
    // Without an image only the frame and the interior.
    this->slider->setImage(nullptr);
    this->root->draw();
    shot = grab();
    EXPECT_EQ(pixel(*shot, 20, 20), 0x3F3F3FFFu);
}
