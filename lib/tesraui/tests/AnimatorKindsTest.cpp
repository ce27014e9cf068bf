#include <cmath>
#include <limits>
#include <memory>

#include <quorxml/Node.h>
#include <tesraui/Animators.h>
#include <tesraui/Image.h>
#include <tesraui/ImageBox.h>
#include <tesraui/TiledImage.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::Animator;
using tesraui::Dataset;
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

    Animator* answering(Animator* animator)
    {
        animator->setAnimationFunction(Function::Custom);
        animator->setCustomFunction(&answerFunction);
        animator->setPeriods(-1);
        return animator;
    }

    // A kind that counts its writes into the parent.
    template <class Kind> struct Counted : public Kind
    {
        using Kind::Kind;
        int writes = 0;
        void setObjectValue(float value) override
        {
            ++this->writes;
            Kind::setObjectValue(value);
        }
    };

    // Notes the elements loading hands to the hook: the root, then the unknown ones with their "name".
    class Noting : public Dataset
    {
    public:
        using Dataset::Dataset;
        harray<hstring> extra;

    protected:
        void _parseExtraNode(quorxml::Node* node) override
        {
            this->extra.push_back(node->getString("name", "(root)"));
        }
    };

    class AnimatorKinds : public testing::Test
    {
    protected:
        void SetUp() override { tesraui::init(); }
        void TearDown() override { tesraui::destroy(); }
    };
} // namespace

TEST_F(AnimatorKinds, EachFactoryMakesAKindThatDrivesItsOwnValue)
{
    // x, y, w, h, red, green, blue, alpha, angle, scale x and y: each kind takes its own one to the target 7
    // in a second and leaves the others.
    auto values = [](Object& o)
    {
        tesra::Color c = o.getColor();
        return std::vector<float>{o.getX(),     o.getY(),      o.getWidth(), o.getHeight(),
                                  (float)c.r,   (float)c.g,    (float)c.b,   (float)c.a,
                                  o.getAngle(), o.getScaleX(), o.getScaleY()};
    };
    const std::pair<const char*, int> rows[] = {
        {"AlphaChanger", 7}, {"BlueChanger", 6}, {"GreenChanger", 5}, {"MoverX", 0},
        {"MoverY", 1},       {"RedChanger", 4},  {"ResizerX", 2},     {"ResizerY", 3},
        {"Rotator", 8},      {"ScalerX", 9},     {"ScalerY", 10},
    };
    for (const auto& [type, index] : rows)
    {
        Object parent("parent", Rectangle(1, 2, 3, 4));
        std::vector<float> expected = values(parent);
        expected[index] = 7;
        std::unique_ptr<Animator> animator(tesraui::createAnimator(type, "made"));
        EXPECT_EQ(animator->getClassName() + animator->getName(), hstring(type) + "made");
        animator->setProperty("target", "7");
        parent.addChild(animator.get());
        parent.update(0.5f);
        parent.update(0.5f);
        EXPECT_EQ(values(parent), expected) << type;
        parent.removeChild(animator.get());
    }
    for (const char* type : {"FrameAnimation", "TiledScrollerX", "TiledScrollerY"})
        EXPECT_EQ(std::unique_ptr<Animator>(tesraui::createAnimator(type, "made"))->getClassName(), type);
}

TEST_F(AnimatorKinds, MoverArrivesAtItsTargetAndThenLeavesXAlone)
{
    Object parent("parent", Rectangle(40, 0, 10, 10));
    Counted<tesraui::Animators::MoverX> mover("mover");
    mover.setProperty("target", "100");
    parent.addChild(&mover);
    EXPECT_EQ(std::make_pair(mover.getOffset(), mover.getAmplitude()), std::make_pair(40.0f, 60.0f));
    std::vector<float> xs;
    for (int i = 0; i < 5; ++i)
    {
        if (i == 3)
            parent.setX(5);
        parent.update(0.5f);
        xs.push_back(parent.getX());
    }
    EXPECT_EQ(xs, (std::vector<float>{70, 100, 100, 5, 5}));
    EXPECT_EQ(mover.writes, 3);
    parent.removeChild(&mover);
}

TEST_F(AnimatorKinds, ResizerGoesThroughTheSizeSetter)
{
    harray<hstring> journal;
    uitest::Recorder parent("parent", Rectangle(0, 0, 100, 10), &journal);
    Object child("child", Rectangle(90, 0, 10, 10));
    child.setAnchors(false, true, true, false);
    parent.addChild(&child);
    tesraui::Animators::ResizerX resizer("resizer");
    resizer.setAmplitude(20);
    parent.addChild(&resizer);
    journal.clear();
    for (int i = 0; i < 4; ++i)
        parent.update(0.5f);
    EXPECT_EQ(std::make_pair(parent.getWidth(), child.getX()), std::make_pair(120.0f, 110.0f));
    // "Resized" at every applied step, the end value's included.
    EXPECT_EQ(journal.joined(" "), "parent:update parent:Resized parent:update parent:Resized parent:update "
                                   "parent:Resized parent:update");
    parent.removeChild(&resizer);
    parent.removeChild(&child);
}

TEST_F(AnimatorKinds, ColourChangersClampAndWriteOnlyAChangedByte)
{
    // The channel after attaching, the function's answers, the channel after each, and the writes.
    const std::tuple<int, std::vector<float>, std::vector<int>, int> rows[] = {
        {10, {300}, {255}, 1},         {10, {-4}, {0}, 1},          {0, {100.2f, 100.9f}, {100, 100}, 1},
        {0, {inf, -inf}, {255, 0}, 2}, {10, {notANumber}, {10}, 0},
    };
    for (const auto& [before, answers, after, writes] : rows)
    {
        Object parent("parent", Rectangle(0, 0, 10, 10));
        parent.setAlpha(0);
        Counted<tesraui::Animators::AlphaChanger> alpha("alpha");
        parent.addChild(answering(&alpha));
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
}

TEST_F(AnimatorKinds, TiledScrollersScrollATiledImageAndReadZeroOverAnythingElse)
{
    tesraui::TiledImage tiled(nullptr, "tiles", Rectangle(0, 0, 8, 8), 2, 2);
    tesraui::Image plain(nullptr, "plain", Rectangle(0, 0, 8, 8));
    tesraui::ImageBox box("box", Rectangle(0, 0, 16, 16));
    box.setImage(&tiled);
    tiled.setScroll(kavtypes::Vector2(3, 4));
    tesraui::Animators::TiledScrollerX x("x");
    tesraui::Animators::TiledScrollerY y("y");
    x.setAmplitude(10);
    y.setAmplitude(-10);
    box.addChild(&x);
    box.addChild(&y);
    box.update(0.5f);
    EXPECT_EQ(tiled.getScroll(), kavtypes::Vector2(8, -1));
    box.removeChild(&y);

    LogCapture log;
    box.setImage(&plain);
    EXPECT_EQ(x.getObjectValue(), 0.0f);
    x.setObjectValue(5);
    box.setImage(nullptr);
    EXPECT_EQ(x.getObjectValue(), 0.0f);
    box.removeChild(&x);
    Object other("other", Rectangle(0, 0, 1, 1));
    other.addChild(&y); // reads on attach
    other.removeChild(&y);
    EXPECT_EQ(x.getObjectValue(), 0.0f);
    const hstring tiledError =
        "ERROR: Animators::TiledScrollerX: Image '%s' in ImageBox 'box' not a subclass of "
        "TiledImage!";
    const hstring boxError = "ERROR: Animators::%s: parent object '%s' not a subclass of Objects::ImageBox!";
    EXPECT_EQ(log.take(),
              Lines({formatString(tiledError.c_str(), "plain"), formatString(tiledError.c_str(), "plain"),
                     formatString(tiledError.c_str(), "null"),
                     formatString(boxError.c_str(), "TiledScrollerY", "other"),
                     formatString(boxError.c_str(), "TiledScrollerX", "null")}));
    EXPECT_EQ(tiled.getScroll(), kavtypes::Vector2(8, -1));
}

namespace
{
    // Images frame1 to frame8, an image box and a frame animation over them, not yet attached.
    struct FrameRig
    {
        tesraui::Dataset dataset{"", "frames"};
        tesraui::ImageBox* box = new tesraui::ImageBox("box", Rectangle(0, 0, 8, 8));
        std::unique_ptr<tesraui::Animators::FrameAnimation> animation{
            new tesraui::Animators::FrameAnimation("animation")};

        FrameRig()
        {
            for (int i = 1; i <= 8; ++i)
                this->dataset.registerImage(
                    std::make_unique<tesraui::Image>(nullptr, formatString("frame%d", i), Rectangle()));
            this->dataset.registerObjects(this->box);
            for (const auto& [name, value] : {std::pair<const char*, const char*>{"base_name", "frame"},
                                              {"first_frame", "1"},
                                              {"frame_count", "8"},
                                              {"amplitude", "8"}})
                EXPECT_TRUE(this->animation->setProperty(name, value));
        }
        ~FrameRig()
        {
            if (this->animation->getParent() != nullptr)
                this->animation->detach();
        }
        // The frame shown after each step.
        std::vector<hstring> run(int count, float step = 0.125f)
        {
            std::vector<hstring> shown;
            for (int i = 0; i < count; ++i)
            {
                this->box->update(step);
                shown.push_back(this->box->getImageName().replaced("frames.frame", ""));
            }
            return shown;
        }
    };
} // namespace

TEST_F(AnimatorKinds, FrameAnimationStepsThroughItsImages)
{
    for (bool reset : {false, true})
    {
        FrameRig rig;
        rig.animation->setReset(reset);
        rig.box->addChild(rig.animation.get()); // the first image shows at once
        EXPECT_EQ(rig.box->getImageName(), "frames.frame1");
        // A whole period in, the value is past the last frame: the last one shows, or the first with reset.
        const char* end = reset ? "1" : "8";
        EXPECT_EQ(rig.run(10), (std::vector<hstring>{"2", "3", "4", "5", "6", "7", "8", end, end, end}));
    }
    {
        // Without frames it never animates, not even on attach.
        FrameRig empty;
        empty.animation->setFrameCount(0);
        empty.box->addChild(empty.animation.get());
        EXPECT_EQ(empty.box->getImageName(), "");
    }

    // Infinities and values far past the frames pick an end frame; NaN shows nothing new.
    const std::pair<float, const char*> rows[] = {
        {inf, "8"}, {-inf, "1"}, {3e9f, "8"}, {-3e9f, "1"}, {notANumber, "1"}};
    for (const auto& [value, expected] : rows)
    {
        FrameRig rig;
        answer = 0;
        rig.box->addChild(answering(rig.animation.get()));
        answer = value;
        EXPECT_EQ(rig.run(1), std::vector<hstring>({expected})) << value;
    }
}

TEST_F(AnimatorKinds, FrameAnimationOutsideAnImageBox)
{
    FrameRig rig;
    LogCapture log;
    EXPECT_TRUE(rig.animation->setProperty("inherit_value", "1"));
    EXPECT_FALSE(rig.animation->isInheritValue());
    Object plain("plain", Rectangle(0, 0, 1, 1));
    plain.addChild(rig.animation.get());
    plain.update(0.5f);
    const hstring error =
        "ERROR: Animators::FrameAnimation: parent object not a subclass of Objects::ImageBox!";
    EXPECT_EQ(log.take(), Lines({"WARNING: Animators::FrameAnimation does not support 'inherit_value'!",
                                 error, error})); // on attach, then at the step
    EXPECT_EQ(rig.animation->getValue(), 0.0f);
    rig.animation->detach();
}

TEST_F(AnimatorKinds, AnimatorsLoadAsChildrenWithTheFileAttributesWinning)
{
    uitest::ResourceFolder folder;
    folder.write("ui/main.xml", R"(<Dataset>
        <Animator type="MoverX" name="at_root"/>
        <Object type="Container" name="box" x="40" y="0" w="10" h="10">
            <Animator type="MoverX" name="slide" offset="5" amplitude="20"/>
            <Animator type="Rotator" name="outer" speed="2">
                <Animator type="ScalerX" name="inner" amplitude="1"/>
            </Animator>
            <Animator type="MoverY"/>
            <Include path="parts/fade.xml" name_prefix="p_"/>
        </Object>
    </Dataset>)");
    folder.write("ui/parts/fade.xml",
                 R"(<Part><Animator type="AlphaChanger" name="fade" amplitude="-100"/></Part>)");
    Noting dataset("ui/main.xml", "d");
    dataset.load();
    EXPECT_EQ(dataset.extra, (harray<hstring>{"(root)", "at_root"}));
    EXPECT_FALSE(dataset.hasObject("at_root"));

    Object* box = dataset.getObject("box");
    Animator* slide = dynamic_cast<Animator*>(dataset.getObject("slide"));
    Animator* outer = dynamic_cast<Animator*>(dataset.getObject("outer"));
    ASSERT_TRUE(slide != nullptr && outer != nullptr);
    EXPECT_EQ(dataset.getObject("inner")->getParent(), outer);
    EXPECT_EQ(dataset.getObject("p_fade")->getParent(), box);
    // The unnamed one got its type and a number.
    harray<hstring> unnamed;
    for (Object* child : box->getChildren())
        if (child->getName().startsWith("MoverY"))
            unnamed.push_back(child->getClassName());
    EXPECT_EQ(unnamed, harray<hstring>({"MoverY"}));

    // The attach took x 40 as the offset; the file's 5 came after and won.
    EXPECT_EQ(slide->getOffset(), 5.0f);
    EXPECT_EQ(box->getX(), 5.0f); // the load's step of no time
    for (int i = 0; i < 4; ++i)
        dataset.update(0.25f);
    EXPECT_EQ(box->getX(), 25.0f);
    EXPECT_EQ(box->getAngle(), 0.5f);    // two runs a second: over after half of it
    EXPECT_EQ(outer->getScaleX(), 2.0f); // an animator's own children run on after it ended
    EXPECT_EQ(box->getAlpha(), 155);
    EXPECT_EQ(box->getY(), 0.5f);
}

TEST_F(AnimatorKinds, DuplicateAndUnknownAnimators)
{
    const std::pair<const char*, const char*> rows[] = {
        {"<Object type='Container' name='o' x='0' y='0'><Animator type='MoverX' name='o'/></Object>",
         "Object already exists: o in dataset d"},
        {"<Object type='Container' name='o' x='0' y='0'><Animator type='Mover' name='m'/></Object>",
         "Unknown class detected in XML file: Mover, in file ui/case.xml, line 1"},
    };
    uitest::ResourceFolder folder;
    for (const auto& [body, text] : rows)
    {
        folder.write("ui/case.xml", std::string("<Dataset>") + body + "</Dataset>");
        Dataset dataset("ui/case.xml", "d");
        uitest::LogCapture log;
        EXPECT_EQ(uitest::thrownText<quortypes::exception>([&] { dataset.load(); }), text);
    }
}
