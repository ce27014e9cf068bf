#include <cmath>
#include <limits>

#include <tesraui/Animators.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/TiledImage.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::Animator;
using tesraui::Object;
using uitest::Lines;
using uitest::LogCapture;
using Function = tesraui::Animator::AnimationFunction;

namespace
{
    const float inf = std::numeric_limits<float>::infinity();
    const float notANumber = std::numeric_limits<float>::quiet_NaN();

    // What the custom function answers next.
    float answer = 0.0f;
    float answerFunction(Animator*, float)
    {
        return answer;
    }

    // A kind that counts the writes into its parent.
    template <class Kind> class Counted : public Kind
    {
    public:
        using Kind::Kind;
        int writes = 0;
        void setObjectValue(float value) override
        {
            ++this->writes;
            Kind::setObjectValue(value);
        }
    };

    struct Library
    {
        Library() { tesraui::init(); }
        ~Library() { tesraui::destroy(); }
    };

    std::unique_ptr<Animator> create(const hstring& type, const hstring& name = "animator")
    {
        return std::unique_ptr<Animator>(tesraui::createAnimator(type, name));
    }
} // namespace

TEST(AnimatorKinds, EveryFactoryMakesItsKindAfterTheObjectFactories)
{
    Library library;
    for (const char* type :
         {"AlphaChanger", "BlueChanger", "FrameAnimation", "GreenChanger", "MoverX", "MoverY", "RedChanger",
          "ResizerX", "ResizerY", "Rotator", "ScalerX", "ScalerY", "TiledScrollerX", "TiledScrollerY"})
    {
        std::unique_ptr<Animator> animator = create(type, "made");
        ASSERT_NE(animator, nullptr) << type;
        EXPECT_EQ(animator->getClassName(), type);
        EXPECT_EQ(animator->getName(), "made");
    }
    // A second init fails at the first object factory, before any animator factory.
    EXPECT_EQ(uitest::thrownText<tesraui::_ObjectFactoryExistsException>([] { tesraui::init(); }),
              "Object factory named 'CallbackObject' already exists");
}

TEST(AnimatorKinds, EachPlainKindDrivesItsOwnValueToTheTarget)
{
    Library library;
    const std::pair<const char*, std::function<float(Object&)>> rows[] = {
        {"MoverX", [](Object& o) { return o.getX(); }},
        {"MoverY", [](Object& o) { return o.getY(); }},
        {"ResizerX", [](Object& o) { return o.getWidth(); }},
        {"ResizerY", [](Object& o) { return o.getHeight(); }},
        {"Rotator", [](Object& o) { return o.getAngle(); }},
        {"ScalerX", [](Object& o) { return o.getScaleX(); }},
        {"ScalerY", [](Object& o) { return o.getScaleY(); }},
    };
    for (const auto& [type, value] : rows)
    {
        Object parent("parent", Rectangle(1, 2, 3, 4));
        std::unique_ptr<Animator> animator = create(type);
        animator->setProperty("target", "7");
        parent.addChild(animator.get());
        parent.update(0.5f);
        parent.update(0.5f);
        EXPECT_EQ(value(parent), 7.0f) << type;
        // Everything else untouched.
        int changed = (int)(parent.getRect() != Rectangle(1, 2, 3, 4)) + (int)(parent.getAngle() != 0.0f) +
                      (int)(parent.getScale() != kavtypes::Vector2(1, 1));
        EXPECT_EQ(changed, 1) << type;
        parent.removeChild(animator.get());
    }
}

TEST(AnimatorKinds, MoverWithATargetArrivesAndThenLeavesXAlone)
{
    Object parent("parent", Rectangle(40, 0, 10, 10));
    Counted<tesraui::Animators::MoverX> mover("mover");
    mover.setProperty("target", "100");
    parent.addChild(&mover);
    EXPECT_EQ(mover.getOffset(), 40.0f);
    EXPECT_EQ(mover.getAmplitude(), 60.0f);
    std::vector<float> xs;
    for (int i = 0; i < 6; ++i)
    {
        if (i == 4)
            parent.setX(5.0f);
        parent.update(0.5f);
        xs.push_back(parent.getX());
    }
    EXPECT_EQ(xs, (std::vector<float>{70.0f, 100.0f, 100.0f, 100.0f, 5.0f, 5.0f}));
    EXPECT_EQ(mover.writes, 3);
    parent.removeChild(&mover);
}

TEST(AnimatorKinds, ResizerGoesThroughTheSizeSetter)
{
    harray<hstring> journal;
    uitest::Recorder parent("parent", Rectangle(0, 0, 100, 10), &journal);
    Object child("child", Rectangle(90, 0, 10, 10));
    child.setAnchors(false, true, true, false); // keeps its distance to the right edge
    parent.addChild(&child);
    tesraui::Animators::ResizerX resizer("resizer");
    resizer.setAmplitude(20.0f);
    parent.addChild(&resizer);
    journal.clear();
    for (int i = 0; i < 4; ++i)
        parent.update(0.5f);
    EXPECT_EQ(parent.getWidth(), 120.0f);
    EXPECT_EQ(child.getX(), 110.0f);
    // Three applied steps (the last one writes the end value), each one "Resized".
    EXPECT_EQ(journal, (harray<hstring>{"parent:update", "parent:Resized", "parent:update", "parent:Resized",
                                        "parent:update", "parent:Resized", "parent:update"}));
    parent.removeChild(&resizer);
    parent.removeChild(&child);
}

TEST(AnimatorKinds, ColourChangersClampAndWriteOnlyAChangedByte)
{
    // The channel before, the custom function's answers, the channel after each, and the writes.
    const std::tuple<int, std::vector<float>, std::vector<int>, int> rows[] = {
        {10, {300.0f}, {255}, 1},      {10, {-4.0f}, {0}, 1}, {0, {100.2f, 100.9f}, {100, 100}, 1},
        {0, {inf, -inf}, {255, 0}, 2}, {10, {notANumber}, {10}, 0},
    };
    for (const auto& [before, answers, after, writes] : rows)
    {
        Object parent("parent", Rectangle(0, 0, 10, 10));
        parent.setAlpha(0); // the offset taken on attach
        Counted<tesraui::Animators::AlphaChanger> alpha("alpha");
        alpha.setAnimationFunction(Function::Custom);
        alpha.setCustomFunction(&answerFunction);
        alpha.setPeriods(-1.0f);
        parent.addChild(&alpha);
        parent.setAlpha((unsigned char)before);
        std::vector<int> channel;
        for (float value : answers)
        {
            answer = value;
            parent.update(0.1f);
            channel.push_back(parent.getAlpha());
        }
        EXPECT_EQ(channel, after) << answers[0];
        EXPECT_EQ(alpha.writes, writes) << answers[0];
        EXPECT_FALSE(std::isnan(alpha.getValue()));
        parent.removeChild(&alpha);
    }

    // Each changer its own channel, out of range clamped.
    Library library;
    const std::pair<const char*, unsigned int> channels[] = {{"RedChanger", 0xFF000000},
                                                             {"GreenChanger", 0x00FF0000},
                                                             {"BlueChanger", 0x0000FF00},
                                                             {"AlphaChanger", 0xFF}};
    for (const auto& [type, mask] : channels)
    {
        Object parent("parent", Rectangle(0, 0, 10, 10));
        parent.setColor(tesra::Color(0, 0, 0, 0));
        std::unique_ptr<Animator> changer = create(type);
        changer->setAmplitude(1000.0f);
        parent.addChild(changer.get());
        parent.update(1.0f);
        tesra::Color c = parent.getColor();
        EXPECT_EQ((unsigned int)c.r << 24 | c.g << 16 | c.b << 8 | c.a, mask) << type;
        parent.removeChild(changer.get());
    }
}

TEST(AnimatorKinds, TiledScrollersScrollATiledImageAndReadZeroOverAnythingElse)
{
    tesraui::TiledImage tiled(nullptr, "tiles", Rectangle(0, 0, 8, 8), 2.0f, 2.0f);
    tesraui::Image plain(nullptr, "plain", Rectangle(0, 0, 8, 8));
    tesraui::ImageBox box("box", Rectangle(0, 0, 16, 16));
    box.setImage(&tiled);
    tiled.setScroll(kavtypes::Vector2(3, 4));
    tesraui::Animators::TiledScrollerX x("x");
    tesraui::Animators::TiledScrollerY y("y");
    x.setAmplitude(10.0f);
    y.setAmplitude(-10.0f);
    box.addChild(&x);
    box.addChild(&y);
    box.update(0.5f);
    EXPECT_EQ(tiled.getScroll(), kavtypes::Vector2(8, -1));
    box.removeChild(&y);

    LogCapture log;
    box.setImage(&plain);
    EXPECT_EQ(x.getObjectValue(), 0.0f);
    x.setObjectValue(5.0f);
    box.setImage(nullptr);
    EXPECT_EQ(x.getObjectValue(), 0.0f);
    box.removeChild(&x);
    Object other("other", Rectangle(0, 0, 1, 1));
    other.addChild(&y);
    EXPECT_EQ(y.getObjectValue(), 0.0f);
    other.removeChild(&y);
    EXPECT_EQ(x.getObjectValue(), 0.0f);
    EXPECT_EQ(
        log.take(),
        Lines(
            {"ERROR: Animators::TiledScrollerX: Image 'plain' in ImageBox 'box' not a subclass of "
             "TiledImage!",
             "ERROR: Animators::TiledScrollerX: Image 'plain' in ImageBox 'box' not a subclass of "
             "TiledImage!",
             "ERROR: Animators::TiledScrollerX: Image 'null' in ImageBox 'box' not a subclass of TiledImage!",
             // on attach, then read
             "ERROR: Animators::TiledScrollerY: parent object 'other' not a subclass of Objects::ImageBox!",
             "ERROR: Animators::TiledScrollerY: parent object 'other' not a subclass of Objects::ImageBox!",
             "ERROR: Animators::TiledScrollerX: parent object 'null' not a subclass of Objects::ImageBox!"}));
    EXPECT_EQ(tiled.getScroll(), kavtypes::Vector2(8, -1));
}

namespace
{
    // A dataset of the images frame1 to frame8 and an image box.
    struct FrameRig
    {
        tesraui::Dataset dataset{"", "frames"};
        tesraui::ImageBox* box = new tesraui::ImageBox("box", Rectangle(0, 0, 8, 8));
        tesraui::Animators::FrameAnimation* animation = new tesraui::Animators::FrameAnimation("animation");

        FrameRig()
        {
            for (int i = 1; i <= 8; ++i)
                this->dataset.registerImage(
                    new tesraui::Image(nullptr, formatString("frame%d", i), Rectangle()));
            this->dataset.registerObjects(this->box);
            this->animation->setBaseName("frame");
            this->animation->setFirstFrame(1);
            this->animation->setFrameCount(8);
            this->animation->setAmplitude(8.0f);
        }

        // The frame numbers shown after each step.
        std::vector<hstring> run(int count)
        {
            std::vector<hstring> shown;
            for (int i = 0; i < count; ++i)
            {
                this->box->update(0.125f);
                shown.push_back(this->box->getImageName().replaced("frames.frame", ""));
            }
            return shown;
        }
    };
} // namespace

TEST(AnimatorKinds, FrameAnimationStepsThroughItsImages)
{
    for (bool reset : {false, true})
    {
        FrameRig rig;
        rig.animation->setReset(reset);
        rig.box->addChild(rig.animation); // the first image shows at once
        EXPECT_EQ(rig.box->getImageName(), "frames.frame1");
        EXPECT_EQ(rig.animation->getOffset(), 0.0f);
        // A whole period in, the value is past the last frame: the end shows, or the first one with reset.
        const char* end = reset ? "1" : "8";
        EXPECT_EQ(rig.run(10), (std::vector<hstring>{"2", "3", "4", "5", "6", "7", "8", end, end, end}));
        EXPECT_FALSE(rig.animation->isAnimated());
        rig.box->removeChild(rig.animation);
        delete rig.animation;
    }

    // Not animated without a base name or frames, and then not even the attach shows anything.
    FrameRig empty;
    empty.animation->setFrameCount(0);
    empty.box->addChild(empty.animation);
    EXPECT_EQ(empty.box->getImageName(), "");
    EXPECT_FALSE(empty.animation->isAnimated());
    empty.box->removeChild(empty.animation);
    delete empty.animation;
}

TEST(AnimatorKinds, FrameAnimationPropertiesAndErrors)
{
    FrameRig rig;
    tesraui::Animators::FrameAnimation& animation = *rig.animation;
    const std::pair<const char*, const char*> rows[] = {
        {"base_name", "walk_"}, {"first_frame", "3"}, {"frame_count", "12"}};
    for (const auto& [name, value] : rows)
    {
        EXPECT_TRUE(animation.setProperty(name, value));
        EXPECT_EQ(animation.getProperty(name), value);
    }
    harray<PropertyInfo> descriptions = animation.getPropertyDescriptions();
    EXPECT_EQ(descriptions.sub(descriptions.size() - 4, 4),
              (harray<PropertyInfo>{PropertyInfo("time", 1), PropertyInfo("base_name", 5),
                                    PropertyInfo("first_frame", 0), PropertyInfo("frame_count", 0)}));

    LogCapture log;
    EXPECT_TRUE(animation.setProperty("inherit_value", "1"));
    EXPECT_FALSE(animation.isInheritValue());
    // Under a plain object: an error at every applied step, nothing else.
    Object plain("plain", Rectangle(0, 0, 1, 1));
    plain.addChild(&animation);
    plain.update(0.5f);
    EXPECT_EQ(
        log.take(),
        Lines({"WARNING: Animators::FrameAnimation does not support 'inherit_value'!",
               "ERROR: Animators::FrameAnimation: parent object not a subclass of Objects::ImageBox!",
               "ERROR: Animators::FrameAnimation: parent object not a subclass of Objects::ImageBox!"}));
    EXPECT_EQ(animation.getValue(), 0.0f);
    plain.removeChild(&animation);
    delete rig.animation;
}

TEST(AnimatorKinds, FrameAnimationClampsWhatItCannotShow)
{
    // Infinities and values far past the frames pick the last frame; NaN shows nothing new.
    const std::pair<float, const char*> rows[] = {{inf, "frames.frame8"},
                                                  {-inf, "frames.frame1"},
                                                  {3e9f, "frames.frame8"},
                                                  {-3e9f, "frames.frame1"},
                                                  {notANumber, "frames.frame1"}};
    for (const auto& [value, expected] : rows)
    {
        FrameRig rig;
        rig.animation->setAnimationFunction(Function::Custom);
        rig.animation->setCustomFunction(&answerFunction);
        rig.animation->setPeriods(-1.0f);
        answer = 0.0f;
        rig.box->addChild(rig.animation);
        answer = value;
        rig.box->update(0.1f);
        EXPECT_EQ(rig.box->getImageName(), expected) << value;
        rig.box->removeChild(rig.animation);
        delete rig.animation;
    }
}
