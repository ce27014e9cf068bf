#include <cmath>

#include <tesraui/Image.h>
#include <tesraui/ProgressBar.h>
#include <tesraui/ProgressCircle.h>

#include "WidgetTestSupport.h"

using kavtypes::Rectangle;
using kavtypes::Vector2;
using tesra::Color;
using tesraui::ProgressBar;
using tesraui::ProgressCircle;
using uitest::Lines;
using uitest::LogCapture;

namespace
{
    const unsigned int RED = 0xFF0000FF, GREEN = 0x00FF00FF, BLUE = 0x0000FFFF, WHITE = 0xFFFFFFFF,
                       GREY = 0x808080FF, BLACK = 0x000000FF;

    // "bar": red, green, blue and white stripes 4 wide; "back" grey; "mask" clear above, black below;
    // "fill" green.
    const char* const datasetXml = R"(<Dataset>
  <Texture filename="../gfx/pb" filter="nearest">
    <Image name="bar" rect="0,0,16,8"/>
    <Image name="back" rect="16,0,8,8"/>
    <Image name="mask" rect="24,0,8,8"/>
    <Image name="fill" rect="32,0,8,8"/>
  </Texture>
  <Object type="Container" name="root" rect="0,0,128,128">
    <Object type="ProgressBar" name="bar" rect="0,0,64,16" image="pb/back" progress_image="pb/bar"
            direction="left" progress="0.25"/>
    <Object type="ProgressBar" name="bare" rect="0,20,64,16" image="pb/back" mask_image="pb/mask"/>
    <Object type="ProgressCircle" name="circle" rect="64,64,64,64" progress_image="pb/fill"/>
  </Object>
</Dataset>)";

    class Progress : public uitest::UiWindowTest
    {
    protected:
        std::unique_ptr<tesraui::Dataset> dataset;
        ProgressBar* bar = nullptr;
        ProgressCircle* circle = nullptr;

        void SetUp() override
        {
            uitest::UiWindowTest::SetUp();
            const Color stripes[4] = {Color(255, 0, 0), Color(0, 255, 0), Color(0, 0, 255),
                                      Color(255, 255, 255)};
            this->folder.write("gfx/pb.png", uitest::makePng(40, 8,
                                                             [&](int x, int y)
                                                             {
                                                                 if (x < 16)
                                                                     return stripes[x / 4];
                                                                 if (x < 24)
                                                                     return Color(128, 128, 128);
                                                                 if (x < 32)
                                                                     return y < 4 ? Color(0, 0, 0, 0)
                                                                                  : Color(0, 0, 0);
                                                                 return Color(0, 255, 0);
                                                             }));
            this->folder.write("ui/case.xml", datasetXml);
            this->dataset.reset(new tesraui::Dataset("ui/case.xml", "d"));
            this->dataset->load();
            this->bar = dynamic_cast<ProgressBar*>(this->dataset->getObject("bar"));
            this->circle = dynamic_cast<ProgressCircle*>(this->dataset->getObject("circle"));
        }

        void TearDown() override
        {
            this->dataset.reset();
            uitest::UiWindowTest::TearDown();
        }

        std::unique_ptr<tesra::Image> drawn()
        {
            tesra::rendersys->clear(true, false);
            this->dataset->getRoot()->draw();
            return grab();
        }

        // Which of the circle's quarters show its fill: top left, top right, bottom left, bottom right.
        std::string circleQuarters()
        {
            std::unique_ptr<tesra::Image> shot = this->drawn();
            std::string result;
            for (Vector2 probe : {Vector2(80, 80), Vector2(112, 80), Vector2(80, 112), Vector2(112, 112)})
                result += pixel(*shot, (int)probe.x, (int)probe.y) == GREEN ? "1" : "0";
            return result;
        }
    };

    void expectPoints(const harray<Vector2>& actual, const std::vector<Vector2>& expected)
    {
        ASSERT_EQ(actual.size(), (int)expected.size());
        for (int i = 0; i < actual.size(); ++i)
        {
            EXPECT_NEAR(actual[i].x, expected[i].x, 1e-5f) << i;
            EXPECT_NEAR(actual[i].y, expected[i].y, 1e-5f) << i;
        }
    }
} // namespace

TEST_F(Progress, BarCropsOrStretchesItsCutUnderTheMask)
{
    ASSERT_TRUE(this->bar != nullptr && this->circle != nullptr);
    EXPECT_EQ(this->bar->getProperty("direction"), "left");
    EXPECT_EQ(this->bar->getProperty("progress_image"), "d.pb/bar");
    EXPECT_EQ(this->bar->getProperty("mask_image"), "");
    EXPECT_EQ(this->bar->getProperty("image"), "d.pb/back");
    tesraui::Image* barImage = this->dataset->getImage("pb/bar");
    // Cropped: the right quarter of the bar shows the right quarter of the image.
    std::unique_ptr<tesra::Image> shot = this->drawn();
    EXPECT_EQ(pixel(*shot, 20, 8), GREY);
    EXPECT_EQ(pixel(*shot, 49, 8), WHITE);
    EXPECT_EQ(pixel(*shot, 62, 8), WHITE);
    EXPECT_EQ(barImage->getSourceRect(), Rectangle(0, 0, 16, 8));
    // Stretched: the whole image squeezed into that quarter.
    EXPECT_TRUE(this->bar->setProperty("stretching", "1"));
    EXPECT_EQ(this->bar->getProperty("stretching"), "1");
    shot = this->drawn();
    EXPECT_EQ(pixel(*shot, 46, 8), GREY);
    const unsigned int stripes[4] = {RED, GREEN, BLUE, WHITE};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(pixel(*shot, 49 + 4 * i, 8), stripes[i]) << i;

    // Above 1 it reads back as given and draws full; below 0 nothing of the progress image.
    EXPECT_TRUE(this->bar->setProperty("progress", "1.5"));
    EXPECT_EQ(this->bar->getProperty("progress"), "1.500000");
    EXPECT_FLOAT_EQ(this->bar->getProgress(), 1.5f);
    shot = this->drawn();
    EXPECT_EQ(pixel(*shot, 2, 8), RED);
    EXPECT_EQ(pixel(*shot, 62, 8), WHITE);
    this->bar->setProperty("progress", "-1");
    shot = this->drawn();
    EXPECT_EQ(pixel(*shot, 62, 8), GREY);

    // The other directions cut from their own side.
    this->bar->setProperty("stretching", "0");
    this->bar->setProgress(0.25f);
    const std::tuple<const char*, Vector2, Vector2> sides[] = {
        {"right", {2, 8}, {20, 8}}, {"down", {30, 2}, {30, 10}}, {"up", {30, 14}, {30, 2}}};
    for (const auto& [word, covered, uncovered] : sides)
    {
        EXPECT_TRUE(this->bar->setProperty("direction", word));
        shot = this->drawn();
        EXPECT_NE(pixel(*shot, (int)covered.x, (int)covered.y), GREY) << word;
        EXPECT_EQ(pixel(*shot, (int)uncovered.x, (int)uncovered.y), GREY) << word;
    }

    // Without a progress image: the background, and the mask over all of it.
    shot = this->drawn();
    EXPECT_EQ(pixel(*shot, 30, 22), GREY);
    EXPECT_EQ(pixel(*shot, 30, 33), BLACK);
    // The mask also covers the progress.
    this->bar->setProperty("mask_image", "pb/mask");
    this->bar->setProperty("direction", "right");
    this->bar->setProgress(1.0f);
    shot = this->drawn();
    EXPECT_EQ(pixel(*shot, 2, 2), RED);
    EXPECT_EQ(pixel(*shot, 2, 12), BLACK);
}

TEST_F(Progress, CircleSweepsFromItsStartPoint)
{
    // Clockwise at a quarter: the lower right, from the right middle over the corner to the bottom middle.
    expectPoints(ProgressCircle::_pie(ProgressCircle::CLOCKWISE, 0.25f),
                 {{0.5f, 0.5f}, {1, 0.5f}, {1, 1}, {0.5f, 0.5f}, {1, 1}, {0.5f, 1}});
    // At exactly an eighth the first corner is passed and the pie ends on it.
    expectPoints(ProgressCircle::_pie(ProgressCircle::CLOCKWISE, 0.125f),
                 {{0.5f, 0.5f}, {1, 0.5f}, {1, 1}, {0.5f, 0.5f}, {1, 1}, {1, 1}});
    // Before it, the ray meets the right border where the angle says.
    harray<Vector2> early = ProgressCircle::_pie(ProgressCircle::CLOCKWISE, 0.0625f);
    ASSERT_EQ(early.size(), 3);
    EXPECT_NEAR(early[2].y, 0.5f + 0.5f * std::tan(22.5f * (float)M_PI / 180.0f), 1e-5f);
    EXPECT_EQ(early[2].x, 1.0f);
    // Past the last corner the pie closes towards the first one again.
    EXPECT_EQ(ProgressCircle::_pie(ProgressCircle::COUNTERCLOCKWISE_90, 0.9f).size(), 2 + 4 * 3 + 1);

    const std::pair<const char*, const char*> halves[] = {
        {"clockwise", "0011"},           {"clockwise90", "0101"},         {"clockwise180", "1100"},
        {"clockwise270", "1010"},        {"counterclockwise", "1100"},    {"counterclockwise90", "1010"},
        {"counterclockwise180", "0011"}, {"counterclockwise270", "0101"},
    };
    this->circle->setProgress(0.5f);
    for (const auto& [word, expected] : halves)
    {
        EXPECT_TRUE(this->circle->setProperty("direction", word));
        EXPECT_EQ(this->circle->getProperty("direction"), word);
        EXPECT_EQ(this->circleQuarters(), expected) << word;
    }
    this->circle->setProperty("progress", "1.5");
    EXPECT_EQ(this->circleQuarters(), "1111");
    this->circle->setProperty("progress", "-1");
    EXPECT_EQ(this->circleQuarters(), "0000");

    LogCapture log;
    this->circle->setProperty("direction", "clockwise90");
    EXPECT_FALSE(this->circle->setProperty("direction", "cw"));
    EXPECT_FALSE(this->bar->setProperty("direction", "cw"));
    EXPECT_EQ(log.take(), Lines({"WARNING: 'direction=' does not support value 'cw'.",
                                 "WARNING: 'direction=' does not support value 'cw'."}));
    EXPECT_EQ(this->circle->getDirection(), ProgressCircle::CLOCKWISE_90);
    EXPECT_EQ(this->bar->getDirection(), ProgressBar::LEFT);
}

TEST(ProgressAlone, PropertiesThroughBothBasesAndWithoutADataset)
{
    uitest::UiLibrary library;
    std::unique_ptr<tesraui::Object> made(
        tesraui::createObject("ProgressCircle", "c", Rectangle(0, 0, 8, 8)));
    ProgressCircle* circle = dynamic_cast<ProgressCircle*>(made.get());
    ASSERT_NE(circle, nullptr);
    harray<PropertyInfo> descriptions = circle->getPropertyDescriptions();
    tesraui::ProgressBase& block = *circle;
    EXPECT_EQ(block.getPropertyDescriptions().size(), descriptions.size());
    EXPECT_EQ(descriptions.back().name, "direction");
    EXPECT_EQ(descriptions[descriptions.size() - 2].name, "progress");
    EXPECT_EQ(circle->getProperty("progress"), "1.000000");
    EXPECT_EQ(circle->getProperty("direction"), "clockwise");
    EXPECT_EQ(circle->getProperty("x"), "0.000000");
    EXPECT_FALSE(circle->setProperty("nonsense", "1"));
    circle->setProgressImage(nullptr);
    EXPECT_EQ(block.getProgressImageName(), "null");
    LogCapture log;
    EXPECT_TRUE(circle->setProperty("mask_image", "m"));
    EXPECT_EQ(log.take(), Lines({"WARNING: Object 'c' belongs to no dataset, cannot set image 'm'."}));
    EXPECT_EQ(circle->getMaskImage(), nullptr);
    std::unique_ptr<tesraui::Object> bar(tesraui::createObject("ProgressBar", "b", Rectangle(0, 0, 8, 8)));
    EXPECT_EQ(bar->getClassName(), "ProgressBar");
    EXPECT_EQ(bar->getProperty("stretching"), "0");
    EXPECT_EQ(bar->getProperty("direction"), "right");
}
