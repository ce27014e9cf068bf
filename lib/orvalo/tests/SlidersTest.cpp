#include <cmath>

#include "UpsellTestSupport.h"

using orvalo::UpsellImageSlider;
using orvalo::UpsellImageSliderStatic;
using orvalo::UpsellTextSlider;

namespace
{
    class Sliders : public orvalotest::UpsellTest
    {
    protected:
        void SetUp() override
        {
            orvalotest::UpsellTest::SetUp();
            ASSERT_NE(orvalo::createUpsellScreen(this->scene->root, "dummy"), nullptr);
        }

        struct Placed
        {
            int x;
            int z;
            int alpha;
            bool operator==(const Placed& o) const { return x == o.x && z == o.z && alpha == o.alpha; }
        };

        static std::vector<Placed> placed(UpsellImageSlider* slider)
        {
            std::vector<Placed> result;
            for (tesraui::ImageBox* box : slider->getImageBoxes())
                result.push_back({(int)box->getX(), box->getZOrder(), box->getAlpha()});
            return result;
        }

        // Presses at one point of the gallery (its own space), moves to others and releases, a frame
        // between each step.
        void drag(std::initializer_list<float> xs, bool release = true)
        {
            tesraui::Object* gallery = upsell()->getObject("gallery");
            bool first = true;
            for (float x : xs)
            {
                tesraui::setCursorPosition(gallery->getDerivedPoint(kavtypes::Vector2(x, 25)));
                first ? (void)gallery->onMouseDown(1) : (void)gallery->onMouseMove();
                first = false;
                this->frames(1, 0.0f);
            }
            if (release)
                gallery->onMouseUp(1);
        }

        static std::vector<std::string> imagesOf(UpsellImageSliderStatic* gallery)
        {
            std::vector<std::string> result;
            for (tesraui::ImageBox* box : gallery->getImageBoxes())
                result.push_back(std::to_string((int)box->getX()) + ":" +
                                 box->getImageName().replaced("upsell.", "").c_str());
            return result;
        }

        static std::vector<std::string> indicatorsOf(UpsellImageSliderStatic* gallery)
        {
            std::vector<std::string> result;
            for (tesraui::ImageBox* box : gallery->getIndicatorBoxes())
                result.push_back(box->getImageName().replaced("upsell.", ""));
            return result;
        }
    };
} // namespace

TEST_F(Sliders, CarouselPlacesItsBoxesOnARing)
{
    auto* carousel = get<UpsellImageSlider>("carousel");
    // The boxes take their images' size in the first update; the ring needs it from the second on.
    this->frames(1, 0.0f);
    // img_2 is missing: img_3 is never reached.
    EXPECT_EQ(carousel->getLoadedImages().size(), 2);
    ASSERT_EQ(carousel->getImageBoxes().size(), 6);
    // Centre 300, radius 100 x 0.27 + 300, boxes 100 wide; angles -82, -41, 0, 41, 82, 123 degrees.
    EXPECT_EQ(placed(carousel), std::vector<Placed>({{-73, 918, 58},
                                                     {35, 959, 255},
                                                     {250, 1000, 255},
                                                     {464, 959, 255},
                                                     {573, 918, 58},
                                                     {524, 877, 0}}));
    EXPECT_FLOAT_EQ(carousel->getImageBoxes()[2]->getScaleX(), 1.0f);
    EXPECT_NEAR(carousel->getImageBoxes()[1]->getScaleX(), 1.0f - 0.656059f * 0.5f, 1e-4f);
    EXPECT_EQ(carousel->getImageBoxes()[2]->getImage(), upsell()->getImage("img_0"));
    EXPECT_EQ(carousel->getImageBoxes()[3]->getImage(), upsell()->getImage("img_1"));
    // Halfway through the move every angle is 20.5 degrees further left.
    carousel->update(3.25f);
    std::vector<Placed> mid = placed(carousel);
    EXPECT_EQ(mid[1], (Placed{-37, 939, 207}));
    EXPECT_EQ(mid[2], (Placed{135, 980, 255}));
    EXPECT_EQ(mid[3], (Placed{364, 980, 255}));
    EXPECT_EQ(mid[0].alpha, 0);
    // One step on, the next box stands in the middle with the next image.
    carousel->update(0.35f);
    EXPECT_EQ(carousel->getImageBoxes()[3]->getX(), 250.0f);
    EXPECT_EQ(carousel->getImageBoxes()[3]->getImage(), upsell()->getImage("img_1"));
}

TEST_F(Sliders, RotatorsFollowSpeedAndAmplitude)
{
    auto* carousel = get<UpsellImageSlider>("carousel");
    const float factors[] = {0.1735f, 0.1775f, 0.195f, 0.1665f, 0.1855f, 0.159f};
    harray<tesraui::Animator*> rocking = rotators(carousel);
    ASSERT_EQ(rocking.size(), 6);
    for (int j = 0; j < 6; ++j)
    {
        EXPECT_EQ(rocking[j]->getName(), carousel->getImageBoxes()[j]->getName() + "_rotator");
        EXPECT_FLOAT_EQ(rocking[j]->getSpeed(), factors[j]);
        EXPECT_FLOAT_EQ(rocking[j]->getAmplitude(), 3.0f);
    }
    EXPECT_FLOAT_EQ(rocking[1]->getTimer(), 2.4682f);
    for (const char* speed : {"2", "2"})
    {
        EXPECT_TRUE(carousel->setProperty("image_animation_speed", speed));
        for (int j = 0; j < 6; ++j)
            EXPECT_FLOAT_EQ(rocking[j]->getSpeed(), 2.0f * factors[j]);
    }
    EXPECT_EQ(carousel->getProperty("image_animation_speed").toFloat(), 2.0f);
    carousel->setProperty("image_animation_amplitude", "5");
    for (tesraui::Animator* rotator : rocking)
        EXPECT_FLOAT_EQ(rotator->getAmplitude(), 5.0f);

    // A speed of 0: the rotators stand and start at 0, and a later speed reaches each its own share.
    carousel->setProperty("image_animation_speed", "0");
    carousel->setProperty("image_animation_speed", "1.5");
    for (int j = 0; j < 6; ++j)
        EXPECT_FLOAT_EQ(rocking[j]->getSpeed(), 1.5f * factors[j]);
    auto* made = new UpsellImageSlider("made", kavtypes::Rectangle(0, 0, 300, 100));
    made->setProperty("image_animation_speed", "0");
    upsell()->registerObjects(made);
    upsell()->getRoot()->addChild(made);
    for (tesraui::Animator* rotator : rotators(made))
    {
        EXPECT_EQ(rotator->getSpeed(), 0.0f);
        EXPECT_EQ(rotator->getTimer(), 0.0f);
    }
    made->setProperty("image_animation_speed", "1");
    EXPECT_FLOAT_EQ(rotators(made)[4]->getSpeed(), factors[4]);
    EXPECT_EQ(made->getProperty("image_animation_speed").toFloat(), 1.0f);
}

TEST_F(Sliders, GalleryIndicatorsAndNewImages)
{
    auto* gallery = get<UpsellImageSliderStatic>("gallery");
    // The gallery takes its first image's size; the dots sit in a centred row below it.
    EXPECT_EQ(gallery->getSize(), kavtypes::Vector2(100, 50));
    ASSERT_EQ(gallery->getIndicatorBoxes().size(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(gallery->getIndicatorBoxes()[i]->getRect(), kavtypes::Rectangle(35 + i * 10, 58, 10, 10));
    EXPECT_EQ(indicatorsOf(gallery), std::vector<std::string>({"dot_on", "dot_off", "dot_off"}));
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"0:pic_0", "100:pic_1"}));
    EXPECT_TRUE(gallery->getImageBoxes()[0]->isClip());
    // Halfway through the first move (display 5 s, move 5 s): the eased position is a half.
    this->frames(1, 7.5f);
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"-50:pic_0", "50:pic_1"}));
    EXPECT_EQ(indicatorsOf(gallery), std::vector<std::string>({"dot_on", "dot_off", "dot_off"}));
    // The active dot moves on once the move is more than half done.
    this->frames(1, 0.1f);
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"-53:pic_0", "46:pic_1"}));
    EXPECT_EQ(indicatorsOf(gallery), std::vector<std::string>({"dot_off", "dot_on", "dot_off"}));

    gallery->setProperty("image_name_prefix", "other_");
    this->frames(1, 0.0f);
    EXPECT_EQ(gallery->getSize(), kavtypes::Vector2(80, 40));
    ASSERT_EQ(gallery->getIndicatorBoxes().size(), 2);
    EXPECT_EQ(gallery->getIndicatorBoxes()[1]->getRect(), kavtypes::Rectangle(40, 48, 10, 10));
    EXPECT_FALSE(upsell()->hasObject("gallery_OrvaloUpsellIndicatorImageBox_2"));
}

TEST_F(Sliders, GalleryFollowsADrag)
{
    auto* gallery = get<UpsellImageSliderStatic>("gallery");
    // A quarter of the width to the left while the first image shows: a third into the move.
    this->drag({80, 55}, false);
    EXPECT_NEAR(gallery->getSliderTime(), 5.0f + 5.0f / 3.0f, 1e-3f);
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"-25:pic_0", "75:pic_1"}));
    EXPECT_EQ(indicatorsOf(gallery), std::vector<std::string>({"dot_on", "dot_off", "dot_off"}));
    tesraui::Object* object = upsell()->getObject("gallery");
    tesraui::setCursorPosition(object->getDerivedPoint(kavtypes::Vector2(25, 25)));
    object->onMouseMove();
    this->frames(1, 0.0f);
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"-55:pic_0", "45:pic_1"}));
    EXPECT_EQ(indicatorsOf(gallery), std::vector<std::string>({"dot_off", "dot_on", "dot_off"}));
    gallery->_mouseCancel();
    EXPECT_FALSE(gallery->isDragging());
    EXPECT_EQ(gallery->getFling(), 0.0f);
}

TEST_F(Sliders, GalleryFlingsBackAfterAQuickDragRight)
{
    auto* gallery = get<UpsellImageSliderStatic>("gallery");
    this->drag({20, 45});
    // Dragged right by a quarter: the last image comes in from the left, two thirds into its move.
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"-75:pic_2", "25:pic_0"}));
    EXPECT_NEAR(gallery->getSliderTime(), 30.0f - 5.0f / 3.0f, 1e-3f);
    EXPECT_EQ(gallery->getDirection(), -1);
    EXPECT_FLOAT_EQ(gallery->getFling(), -1.25f);
    // The fling runs the time back by itself each frame until the last image's display phase.
    std::vector<float> times;
    for (int i = 0; i < 3; ++i)
    {
        this->frames(1);
        times.push_back(gallery->getSliderTime());
    }
    EXPECT_NEAR(times[0], 27.0833f, 1e-3f);
    EXPECT_NEAR(times[2], 24.5833f, 1e-3f);
    EXPECT_EQ(gallery->getFling(), 0.0f);
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"0:pic_2", "100:pic_0"}));
    EXPECT_EQ(indicatorsOf(gallery), std::vector<std::string>({"dot_off", "dot_off", "dot_on"}));
    this->frames(1);
    // Then it keeps running the way of the drag.
    EXPECT_NEAR(gallery->getSliderTime(), times[2] - 1.0f / 60.0f, 1e-3f);
}

TEST_F(Sliders, TextSliderDriftsAndSlides)
{
    auto* texts = get<UpsellTextSlider>("texts");
    ASSERT_EQ(texts->getLabels().size(), 2);
    tesraui::Label* first = texts->getLabels()[0];
    tesraui::Label* second = texts->getLabels()[1];
    EXPECT_EQ(first->getEffect(), tesraui::LabelBase::EFFECT_BORDER);
    EXPECT_EQ(first->getRect(), kavtypes::Rectangle(-50, 0, 200, 40));
    auto at = [&](float elapsed)
    {
        texts->update(elapsed);
        return std::make_tuple((int)std::lround(first->getX()), std::string(first->getText().c_str()),
                               (int)std::lround(second->getX()), std::string(second->getText().c_str()));
    };
    // Width 200, display 3 s, move 0.5 s, range 50.
    EXPECT_EQ(at(0.0f), std::make_tuple(-50, "first", -250, "second"));
    EXPECT_EQ(at(1.5f), std::make_tuple(0, "first", -200, "second"));
    EXPECT_EQ(at(1.75f), std::make_tuple(100, "first", -100, "second"));
    // The second label now shows the second text in front, the first one the third behind it.
    EXPECT_EQ(at(0.35f), std::make_tuple(-247, "third", -47, "second"));
    texts->setProperty("font", "other");
    EXPECT_EQ(second->getFont(), "other");
    texts->setProperty("text_key_prefix", "orvalo.none_");
    at(0.1f);
    EXPECT_EQ(texts->getTexts().size(), 0);
}

TEST_F(Sliders, NoPeriodAndNoWidthStandStill)
{
    auto* carousel = get<UpsellImageSlider>("carousel");
    auto* gallery = get<UpsellImageSliderStatic>("gallery");
    auto* texts = get<UpsellTextSlider>("texts");
    for (tesraui::Object* slider :
         {(tesraui::Object*)carousel, (tesraui::Object*)gallery, (tesraui::Object*)texts})
    {
        slider->setProperty("display_time", "0");
        slider->setProperty("move_time", "0");
    }
    this->frames(3);
    this->drag({80, 30});
    this->frames(3);
    EXPECT_EQ(placed(carousel)[2], (Placed{250, 1000, 255}));
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"0:pic_0", "100:pic_1"}));
    EXPECT_EQ(texts->getLabels()[0]->getX(), 0.0f);
    EXPECT_EQ(texts->getLabels()[0]->getText(), "first");

    // A gallery without width: drags and flings change nothing.
    gallery->setProperty("display_time", "5");
    gallery->setProperty("move_time", "5");
    gallery->setWidth(0);
    this->drag({0, -20});
    this->frames(2);
    EXPECT_EQ(gallery->getFling(), 0.0f);
    for (tesraui::ImageBox* box : gallery->getImageBoxes())
        EXPECT_TRUE(std::isfinite(box->getX()));
    EXPECT_TRUE(std::isfinite(gallery->getSliderTime()));
}

TEST_F(Sliders, GalleryWithoutIndicatorNamesSkipsThem)
{
    auto* gallery = get<UpsellImageSliderStatic>("gallery");
    gallery->setProperty("image_indicator_active", "");
    gallery->setProperty("image_name_prefix", "pic_");
    this->frames(2, 6.0f);
    EXPECT_EQ(gallery->getIndicatorBoxes().size(), 0);
    EXPECT_EQ(imagesOf(gallery), std::vector<std::string>({"100:pic_2", "0:pic_1"}));
}

TEST_F(Sliders, TextSliderLeavingItsDatasetTakesItsLabelsOut)
{
    auto* texts = get<UpsellTextSlider>("texts");
    texts->notifyEvent("UnregisterFromDataset", upsell());
    EXPECT_EQ(texts->getLabels().size(), 0);
    EXPECT_EQ(texts->getChildren().size(), 0);
    EXPECT_FALSE(upsell()->hasObject("texts_OrvaloUpsellLabel_0"));
    this->frames(2);
    orvalo::destroyUpsellScreen();
}

// What the sliders make and keep pointers to goes only with them.
TEST_F(Sliders, TheBoxesDotsAndLabelsTheSlidersKeepAreTheirParts)
{
    auto* gallery = get<UpsellImageSliderStatic>("gallery");
    auto* texts = get<UpsellTextSlider>("texts");
    harray<tesraui::Object*> parts;
    for (tesraui::Object* part : gallery->getImageBoxes())
        parts.push_back(part);
    for (tesraui::Object* part : gallery->getIndicatorBoxes())
        parts.push_back(part);
    for (tesraui::Object* part : texts->getLabels())
        parts.push_back(part);
    ASSERT_EQ(parts.size(), 2 + 3 + 2);
    for (tesraui::Object* part : parts)
        EXPECT_TRUE(part->isHeldPart()) << part->getName();
    EXPECT_FALSE(gallery->isHeldPart());
}

// A slider's size and times come from the promotion screen's data file, or a script, as any float: a
// carousel 3e38 wide, or a display time of 1e-38 seconds, cast a far step or place to int in the next
// update (UBSan float-cast-overflow).
TEST_F(Sliders, FarSizesAndTimesKeepEverySliderRunning)
{
    const struct
    {
        const char* slider;
        const char* property;
        const char* value;
    } rows[] = {
        {"carousel", "w", "3e38"},
        {"carousel", "display_time", "1e-38"},
        {"carousel", "move_time", "0"},
        {"carousel", "display_time", "-3e38"},
        {"gallery", "w", "-3e38"},
        {"gallery", "display_time", "1e-38"},
        {"gallery", "image_indicator_offset", "3e38"},
        {"texts", "display_time", "1e-38"},
        {"texts", "move_time", "inf"},
    };
    this->frames(1, 0.0f);
    for (const auto& row : rows)
    {
        tesraui::Object* slider = upsell()->getObject(row.slider);
        const hstring old = slider->getProperty(row.property);
        slider->setProperty(row.property, row.value);
        this->frames(3, 0.5f);
        if (auto* carousel = dynamic_cast<UpsellImageSlider*>(slider))
        {
            for (tesraui::ImageBox* box : carousel->getImageBoxes())
            {
                EXPECT_LE(box->getZOrder(), 1000) << row.property << " " << row.value;
            }
        }
        slider->setProperty(row.property, old);
        this->frames(1, 0.0f);
    }
    // Back to its own numbers, the carousel places its boxes as before.
    auto* carousel = get<UpsellImageSlider>("carousel");
    this->frames(1, 0.0f);
    EXPECT_EQ(carousel->getImageBoxes().size(), 6);
}
