#include <quortypes/util.h>
#include <tesraui/Animators.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::Animator;
using tesraui::Object;
using Function = tesraui::Animator::AnimationFunction;
typedef std::vector<float> Floats;

namespace
{
    // A mover that notes its notifications.
    struct NotedMover : public tesraui::Animators::MoverX
    {
        using MoverX::MoverX;
        harray<hstring> journal;
        void notifyEvent(const hstring& type, void* args) override
        {
            this->journal.push_back(type);
            MoverX::notifyEvent(type, args);
        }
    };

    // A 100 by 100 parent at x 10 and a mover, set up and then attached.
    struct Rig
    {
        Object parent{"parent", Rectangle(10, 0, 100, 100)};
        NotedMover mover{"mover"};
        explicit Rig(const std::function<void(Animator&)>& setUp = nullptr)
        {
            if (setUp)
                setUp(this->mover);
            this->parent.addChild(&this->mover);
        }
        ~Rig() { this->parent.removeChild(&this->mover); }
        // The parent's x after each step.
        Floats run(float step, int count)
        {
            Floats xs;
            for (int i = 0; i < count; ++i)
            {
                this->parent.update(step);
                xs.push_back(this->parent.getX());
            }
            return xs;
        }
    };

    std::function<void(Animator&)> with(Function function, float amplitude)
    {
        return [=](Animator& a)
        {
            a.setAnimationFunction(function);
            a.setAmplitude(amplitude);
        };
    }
} // namespace

TEST(Animator, RunsOfEveryFunctionAndTiming)
{
    // The offset is the parent's x 10, taken on attach.
    const std::tuple<const char*, std::function<void(Animator&)>, float, Floats, float> rows[] = {
        {"defaults: half in a second, then held",
         nullptr,
         0.25f,
         {10.125f, 10.25f, 10.375f, 10.5f, 10.5f},
         0},
        {"reset: back to the offset", [](Animator& a) { a.setReset(true); }, 0.5f, {10.25f, 10.5f, 10.0f}, 0},
        {"linear", with(Function::Linear, 2), 0.25f, {10.5f, 11, 11.5f, 12}, 0},
        {"sine", with(Function::Sine, 2), 0.25f, {12, 10, 8, 10}, 1e-5f},
        {"square", with(Function::Square, 2), 0.25f, {12, 8, 8, 12}, 0},
        {"saw", with(Function::Saw, 2), 0.25f, {11, 8, 9, 10}, 0},
        {"triangle", with(Function::Triangle, 2), 0.25f, {12, 10, 8, 10}, 0},
        // Without a function of its own "custom" adds the current value, the parent's, to the offset.
        {"custom without a function", with(Function::Custom, 2), 0.25f, {20, 30, 40, 50}, 0},
        {"unknown numbers give 0", with((Function)42, 2), 0.25f, {10, 10}, 0},
        {"discrete step rounds down",
         [](Animator& a)
         {
             a.setAmplitude(17.5f);
             a.setDiscreteStep(10);
         },
         1.0f,
         {20},
         0},
        {"discrete step below 0",
         [](Animator& a)
         {
             a.setAmplitude(-12.5f);
             a.setDiscreteStep(10);
         },
         1.0f,
         {-10},
         0},
        {"acceleration 1",
         [](Animator& a) { a.setAcceleration(1), a.setAmplitude(1), a.setPeriods(-1); },
         0.5f,
         {10.75f, 12},
         0},
        {"acceleration 0.005 ignored",
         [](Animator& a) { a.setAcceleration(0.005f), a.setAmplitude(1); },
         0.5f,
         {10.5f, 11},
         0},
        {"periods -1 never end",
         [](Animator& a) { a.setPeriods(-1), a.setAmplitude(1); },
         1.0f,
         {11, 12, 13},
         0},
        {"time 0.25 is speed 4",
         [](Animator& a) { a.setProperty("time", "0.25"); },
         0.125f,
         {10.25f, 10.5f, 10.5f},
         0},
    };
    for (const auto& [name, setUp, step, expected, tolerance] : rows)
    {
        Rig rig(setUp);
        Floats xs = rig.run(step, (int)expected.size());
        for (size_t i = 0; i < xs.size(); ++i)
            EXPECT_NEAR(xs[i], expected[i], tolerance) << name << ", step " << i;
    }
    // An ended animator wrote its end value once; from then on it leaves the parent alone.
    Rig ended;
    ended.run(0.5f, 3);
    EXPECT_TRUE(ended.mover.isExpired());
    ended.parent.setX(99);
    EXPECT_EQ(ended.run(0.5f, 2), Floats({99, 99}));
}

TEST(Animator, DelayRunsOutIntoTheStepAndStates)
{
    Rig rig([](Animator& a) { a.setDelay(0.5f); });
    auto states = [&] { return std::make_tuple(rig.mover.isAnimated(), rig.mover.isWaitingAnimation()); };
    EXPECT_EQ(states(), std::make_tuple(false, true));
    rig.parent.update(0.3f);
    EXPECT_EQ(std::make_tuple(rig.mover.getDelay(), rig.mover.getTimer()),
              std::make_tuple(0.5f - 0.3f, 0.0f));
    rig.parent.update(0.3f);
    // The time delta 0.3 plus the delay -0.1.
    EXPECT_FLOAT_EQ(rig.mover.getTimer(), 0.2f);
    EXPECT_FLOAT_EQ(rig.parent.getX(), 10.1f);
    EXPECT_EQ(states(), std::make_tuple(true, true));
    rig.parent.update(0.3f);
    EXPECT_EQ(rig.mover.journal, harray<hstring>({"AttachToObject", "OnDelayEnd"}));

    // Inherit value: the value when the delay ends is the new offset, and the target is aimed at from there.
    Rig inherit([](Animator& a) { a.setDelay(0.5f), a.setProperty("target", "50"); });
    inherit.parent.setX(30);
    EXPECT_EQ(inherit.run(0.5f, 2), Floats({40, 50}));

    // Disabled: no timer, no writes, expired; hover never ends.
    Rig disabled([](Animator& a) { a.setEnabled(false); });
    EXPECT_EQ(disabled.run(0.5f, 1), Floats({10}));
    EXPECT_EQ(std::make_tuple(disabled.mover.getTimer(), disabled.mover.isAnimated(),
                              disabled.mover.isWaitingAnimation(), disabled.mover.isExpired()),
              std::make_tuple(0.0f, false, false, true));
    disabled.mover.setEnabled(true);
    disabled.mover.setAnimationFunction(Function::Hover);
    disabled.mover.setTimer(5);
    EXPECT_TRUE(disabled.mover.isAnimated() && disabled.mover.isWaitingAnimation());
}

TEST(Animator, HoverFollowsTheCursorAtSpeedUnitsPerSecond)
{
    // 20 units a second in steps of a quarter second; the cursor inside for three steps, then outside.
    const std::pair<float, Floats> rows[] = {{10, {15, 20, 20, 15, 10, 5, 0, 0}},
                                             {-10, {5, 0, 0, 5, 10, 15, 20, 20}}};
    for (const auto& [amplitude, expected] : rows)
    {
        Rig rig(with(Function::Hover, amplitude));
        rig.mover.setSpeed(20);
        Floats xs;
        for (int i = 0; i < 8; ++i)
        {
            tesraui::setCursorPosition(kavtypes::Vector2(i < 3 ? 50.0f : 500.0f, 50.0f));
            xs.push_back(rig.run(0.25f, 1)[0]);
        }
        EXPECT_EQ(xs, expected) << amplitude;
    }
    // A colour channel moves from the animator's own value, whatever the parent holds meanwhile.
    Object parent("parent", Rectangle(0, 0, 100, 100));
    parent.setAlpha(100);
    tesraui::Animators::AlphaChanger alpha("alpha");
    with(Function::Hover, 50)(alpha);
    alpha.setSpeed(100);
    parent.addChild(&alpha);
    std::vector<int> alphas;
    for (int i = 0; i < 6; ++i)
    {
        tesraui::setCursorPosition(kavtypes::Vector2(i < 3 ? 50.0f : 500.0f, 50.0f));
        if (i == 4)
            parent.setAlpha(0);
        parent.update(0.25f);
        alphas.push_back(parent.getAlpha());
    }
    EXPECT_EQ(alphas, (std::vector<int>{125, 150, 150, 125, 100, 75}));
    parent.removeChild(&alpha);
    tesraui::setCursorPosition(kavtypes::Vector2());
}

TEST(Animator, RandomStaysWithinSpeedTimesAmplitude)
{
    quortypes::seedRandom(7);
    Rig rig(with(Function::Random, 3));
    rig.mover.setSpeed(2);
    rig.mover.setPeriods(-1);
    Floats xs = rig.run(0.1f, 200);
    std::sort(xs.begin(), xs.end());
    EXPECT_GE(xs.front(), 10 - 6.0f);
    EXPECT_LT(xs.back(), 10 + 6.0f);
    EXPECT_LT(xs.front(), 10 - 5.0f);
    EXPECT_GT(xs.back(), 10 + 5.0f);
    EXPECT_GT(std::unique(xs.begin(), xs.end()) - xs.begin(), 100); // drawn anew at every step
}

TEST(Animator, PropertiesInTheirOrderAndTexts)
{
    NotedMover mover("m");
    harray<PropertyInfo> all = mover.getPropertyDescriptions();
    hstring own;
    for (const PropertyInfo& info : all.sub(Object("o", Rectangle()).getPropertyDescriptions().size(), 15))
        own += info.name + ":" + hstring(info.type) + " ";
    EXPECT_EQ(own, "function:6 func:6 timer:1 delay:1 periods:1 amplitude:1 peak_to_peak:1 speed:1 offset:1 "
                   "acceleration:1 discrete_step:0 reset:4 inherit_value:4 target:1 time:1 ");
    // Writes, and what then reads back.
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        {"function", "sine", "func", "sine"},           {"func", "hover", "function", "hover"},
        {"function", "bouncy", "function", "hover"}, // unknown: kept, still accepted
        {"func", "custom", "function", "custom"},       {"peak_to_peak", "3", "amplitude", "1.500000"},
        {"amplitude", "2", "peak_to_peak", "4.000000"}, {"time", "0.25", "speed", "4.000000"},
        {"discrete_step", "7", "discrete_step", "7"},   {"reset", "TRUE", "reset", "1"},
        {"target", "12", "inherit_value", "1"},         {"x", "3", "x", "3.000000"},
    };
    for (const auto& [name, value, readName, expected] : rows)
    {
        EXPECT_TRUE(mover.setProperty(name, value)) << name;
        EXPECT_EQ(mover.getProperty(readName), expected) << name << "=" << value;
    }
    EXPECT_TRUE(mover.isUseTarget());
    EXPECT_EQ(mover.getProperty("time"), ""); // write only
    mover.setAnimationFunction((Function)-3);
    EXPECT_EQ(mover.getProperty("function"), "custom");

    uitest::LogCapture log;
    EXPECT_TRUE(mover.setProperty("time", "0"));
    mover.setTime(-1);
    EXPECT_EQ(mover.getSpeed(), 4.0f);
    EXPECT_EQ(log.take(), uitest::Lines(2, "WARNING: Cannot set \"time\" to 0 or less."));
}
