#include <cmath>

#include <quortypes/util.h>
#include <tesraui/Animators.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::Animator;
using tesraui::Object;
using uitest::Lines;
using uitest::LogCapture;
using Function = tesraui::Animator::AnimationFunction;

namespace
{
    // A mover that notes the notifications it gets.
    class NotedMover : public tesraui::Animators::MoverX
    {
    public:
        using MoverX::MoverX;
        harray<hstring> journal;
        void notifyEvent(const hstring& type, void* args) override
        {
            this->journal.push_back(type);
            MoverX::notifyEvent(type, args);
        }
    };

    // A 100 by 100 parent at x 10 with a mover attached; the mover is set up before it is attached.
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
        std::vector<float> run(float step, int count)
        {
            std::vector<float> xs;
            for (int i = 0; i < count; ++i)
            {
                this->parent.update(step);
                xs.push_back(this->parent.getX());
            }
            return xs;
        }
    };
} // namespace

TEST(Animator, DefaultsRiseByHalfInOneSecondThenLeaveTheParentAlone)
{
    Rig rig;
    EXPECT_EQ(rig.mover.getRect(), Rectangle(0, 0, 1, 1));
    EXPECT_EQ(rig.mover.getOffset(), 10.0f); // taken from the parent on attach
    EXPECT_EQ(rig.run(0.25f, 5), (std::vector<float>{10.125f, 10.25f, 10.375f, 10.5f, 10.5f}));
    EXPECT_TRUE(rig.mover.isExpired());
    // Ended: the end value was written once, the parent is left alone from here on.
    rig.parent.setX(99.0f);
    EXPECT_EQ(rig.run(0.25f, 2), (std::vector<float>{99.0f, 99.0f}));

    // With reset the end is the offset again.
    Rig reset([](Animator& a) { a.setReset(true); });
    EXPECT_EQ(reset.run(0.5f, 3), (std::vector<float>{10.25f, 10.5f, 10.0f}));
}

TEST(Animator, FunctionsAtQuarterPeriods)
{
    // Amplitude 2, speed 1: the values a quarter, a half, three quarters and a whole period in.
    const std::tuple<const char*, Function, std::vector<float>> rows[] = {
        {"linear", Function::Linear, {0.5f, 1.0f, 1.5f, 2.0f}},
        {"sine", Function::Sine, {2.0f, 0.0f, -2.0f, 0.0f}},
        {"square", Function::Square, {2.0f, -2.0f, -2.0f, 2.0f}},
        {"saw", Function::Saw, {1.0f, -2.0f, -1.0f, 0.0f}},
        {"triangle", Function::Triangle, {2.0f, 0.0f, -2.0f, 0.0f}},
        // Without a function of its own "custom" adds the current value (here the parent's) to the offset.
        {"custom", Function::Custom, {20.0f, 30.0f, 40.0f, 50.0f}},
        {"unknown numbers give 0", (Function)42, {0.0f, 0.0f, 0.0f, 0.0f}},
    };
    for (const auto& [name, function, expected] : rows)
    {
        Rig rig(
            [f = function](Animator& a)
            {
                a.setAnimationFunction(f);
                a.setAmplitude(2.0f);
            });
        std::vector<float> xs = rig.run(0.25f, 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(xs[i], (function == Function::Custom ? 0.0f : 10.0f) + expected[i], 1e-5f)
                << name << " step " << i;
    }
}

TEST(Animator, RandomStaysWithinSpeedTimesAmplitude)
{
    quortypes::seedRandom(7);
    Rig rig(
        [](Animator& a)
        {
            a.setAnimationFunction(Function::Random);
            a.setAmplitude(3.0f);
            a.setSpeed(2.0f);
            a.setPeriods(-1.0f);
        });
    std::vector<float> xs = rig.run(0.1f, 200);
    for (float x : xs)
    {
        EXPECT_GE(x, 10.0f - 6.0f);
        EXPECT_LT(x, 10.0f + 6.0f);
    }
    std::sort(xs.begin(), xs.end());
    EXPECT_GT(std::unique(xs.begin(), xs.end()) - xs.begin(), 100); // drawn anew at every step
    EXPECT_LT(xs.front(), 10.0f - 4.0f);
    EXPECT_GT(xs.back(), 10.0f + 4.0f);
}

TEST(Animator, DiscreteStepRoundsDown)
{
    const std::pair<float, float> rows[] = {{27.5f, 20.0f}, {-2.5f, -10.0f}, {30.0f, 30.0f}};
    for (const auto& [amplitude, expected] : rows)
    {
        NotedMover mover("m");
        mover.setAmplitude(amplitude);
        mover.setDiscreteStep(10);
        mover.setTimer(1.0f);
        EXPECT_EQ(mover._calculateValue(0.0f), expected) << amplitude;
        // While the delay runs the result is the offset, rounded the same way.
        mover.setOffset(-0.5f);
        mover.setDelay(1.0f);
        EXPECT_EQ(mover._calculateValue(0.0f), -10.0f);
    }
}

TEST(Animator, DelayRunsOutIntoTheStep)
{
    Rig rig([](Animator& a) { a.setDelay(0.5f); });
    rig.parent.setX(0.0f); // not written while the delay runs
    rig.parent.update(0.3f);
    EXPECT_FLOAT_EQ(rig.mover.getDelay(), 0.2f);
    EXPECT_EQ(rig.mover.getTimer(), 0.0f);
    EXPECT_EQ(rig.parent.getX(), 0.0f);
    EXPECT_FALSE(rig.mover.isAnimated());
    EXPECT_TRUE(rig.mover.isWaitingAnimation());
    rig.parent.update(0.3f);
    EXPECT_FLOAT_EQ(rig.mover.getDelay(), -0.1f);
    EXPECT_FLOAT_EQ(rig.mover.getTimer(), 0.2f);
    EXPECT_FLOAT_EQ(rig.mover.getTimeDelta(), 0.2f);
    EXPECT_FLOAT_EQ(rig.parent.getX(), 10.1f); // the offset from the attach, not the inherited 0
    rig.parent.update(0.3f);
    EXPECT_EQ(rig.mover.journal, (harray<hstring>{"AttachToObject", "OnDelayEnd"}));

    // With inherit value the delay's end takes the parent's value then, and heads for the target from there.
    Rig inherit(
        [](Animator& a)
        {
            a.setDelay(0.5f);
            EXPECT_TRUE(a.setProperty("target", "50"));
        });
    EXPECT_TRUE(inherit.mover.isUseTarget() && inherit.mover.isInheritValue());
    inherit.parent.setX(30.0f);
    EXPECT_EQ(inherit.run(0.5f, 3), (std::vector<float>{40.0f, 50.0f, 50.0f}));
    EXPECT_EQ(inherit.mover.getAmplitude(), 20.0f);
}

TEST(Animator, AccelerationAndEndlessRuns)
{
    Rig slow([](Animator& a) { a.setAcceleration(0.005f); });
    slow.run(0.5f, 2);
    EXPECT_EQ(slow.mover.getSpeed(), 1.0f); // within 0.01 of 0: ignored

    Rig fast(
        [](Animator& a)
        {
            a.setAcceleration(1.0f);
            a.setPeriods(-1.0f);
        });
    fast.run(0.5f, 2);
    EXPECT_EQ(fast.mover.getSpeed(), 2.0f);
    EXPECT_EQ(fast.mover.getTimer(), 1.0f);

    Rig endless(
        [](Animator& a)
        {
            a.setPeriods(-1.0f);
            a.setAnimationFunction(Function::Sine);
            a.setAmplitude(5.0f);
        });
    std::vector<float> xs = endless.run(0.25f, 400);
    EXPECT_FALSE(endless.mover.isExpired());
    EXPECT_TRUE(endless.mover.isAnimated() && endless.mover.isWaitingAnimation());
    EXPECT_EQ(endless.mover.getTimer(), 100.0f);
    EXPECT_NEAR(xs[396], 15.0f, 1e-3f); // still swinging after a hundred periods
    EXPECT_NEAR(xs[398], 5.0f, 1e-3f);
}

TEST(Animator, StatesOfDisabledHoverAndWaitingAnimators)
{
    NotedMover mover("m");
    // animated, waiting, expired
    auto states = [&]
    { return std::make_tuple(mover.isAnimated(), mover.isWaitingAnimation(), mover.isExpired()); };
    EXPECT_EQ(states(), std::make_tuple(true, true, false));
    mover.setDelay(1.0f);
    EXPECT_EQ(states(), std::make_tuple(false, true, false));
    mover.setAnimationFunction(Function::Hover);
    mover.setTimer(5.0f);
    EXPECT_EQ(states(), std::make_tuple(true, true, true));
    mover.setEnabled(false);
    EXPECT_EQ(states(), std::make_tuple(false, false, true));
    // Disabled, the timer stands still.
    Rig rig([](Animator& a) { a.setEnabled(false); });
    rig.run(0.5f, 2);
    EXPECT_EQ(rig.mover.getTimer(), 0.0f);
    EXPECT_EQ(rig.parent.getX(), 10.0f);
}

TEST(Animator, HoverFollowsTheCursorAtSpeedUnitsPerSecond)
{
    // Amplitude 10 at 20 units per second, steps of a quarter second: 5 units a step.
    const std::pair<float, std::vector<float>> rows[] = {
        {10.0f, {15.0f, 20.0f, 20.0f, 15.0f, 10.0f, 5.0f, 0.0f, 0.0f}},
        {-10.0f, {5.0f, 0.0f, 0.0f, 5.0f, 10.0f, 15.0f, 20.0f, 20.0f}},
    };
    for (const auto& [amplitude, expected] : rows)
    {
        Rig rig(
            [a = amplitude](Animator& mover)
            {
                mover.setAnimationFunction(Function::Hover);
                mover.setAmplitude(a);
                mover.setSpeed(20.0f);
            });
        std::vector<float> xs;
        for (int i = 0; i < 8; ++i)
        {
            // Inside for three steps, then outside.
            tesraui::setCursorPosition(kavtypes::Vector2(i < 3 ? 50.0f : 500.0f, 50.0f));
            rig.parent.update(0.25f);
            xs.push_back(rig.parent.getX());
        }
        EXPECT_EQ(xs, expected) << amplitude;
        EXPECT_TRUE(rig.mover.isAnimated()); // never ends
    }

    // A colour channel moves from the animator's own value, whatever the parent holds meanwhile.
    Object parent("parent", Rectangle(0, 0, 100, 100));
    parent.setAlpha(100);
    tesraui::Animators::AlphaChanger alpha("alpha");
    alpha.setAnimationFunction(Function::Hover);
    alpha.setAmplitude(50.0f);
    alpha.setSpeed(100.0f);
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

TEST(Animator, PropertiesInTheirOrderAndTexts)
{
    NotedMover mover("m");
    harray<PropertyInfo> own =
        mover.getPropertyDescriptions().sub(Object("o", Rectangle()).getPropertyDescriptions().size(), 15);
    harray<hstring> names;
    harray<int> types;
    for (const PropertyInfo& info : own)
    {
        names.push_back(info.name);
        types.push_back(info.type);
    }
    EXPECT_EQ(names, (harray<hstring>{"function", "func", "timer", "delay", "periods", "amplitude",
                                      "peak_to_peak", "speed", "offset", "acceleration", "discrete_step",
                                      "reset", "inherit_value", "target", "time"}));
    EXPECT_EQ(types, (harray<int>{6, 6, 1, 1, 1, 1, 1, 1, 1, 1, 0, 4, 4, 1, 1}));

    // Writes, then what reads back.
    const std::tuple<const char*, const char*, const char*, const char*> rows[] = {
        {"function", "sine", "func", "sine"},
        {"func", "custom", "function", "custom"},
        {"function", "hover", "function", "hover"},
        {"function", "bouncy", "function", "hover"}, // unknown: kept, still accepted
        {"peak_to_peak", "3", "amplitude", "1.500000"},
        {"amplitude", "1.5", "peak_to_peak", "3.000000"},
        {"time", "0.25", "speed", "4.000000"},
        {"discrete_step", "7", "discrete_step", "7"},
        {"reset", "TRUE", "reset", "1"},
        {"inherit_value", "false", "inherit_value", "0"},
        {"target", "12", "inherit_value", "1"},
        {"delay", "0.5", "delay", "0.500000"},
        {"x", "3", "x", "3.000000"}, // the object's own
    };
    for (const auto& [name, value, readName, expected] : rows)
    {
        EXPECT_TRUE(mover.setProperty(name, value)) << name;
        EXPECT_EQ(mover.getProperty(readName), expected) << name << "=" << value;
    }
    EXPECT_EQ(mover.getProperty("time"), ""); // write only
    mover.setAnimationFunction((Function)7);
    EXPECT_EQ(mover.getProperty("function"), "custom");
    mover.setAnimationFunction((Function)-3);
    EXPECT_EQ(mover.getProperty("function"), "custom");
    EXPECT_FALSE(mover.setProperty("frames", "1"));

    LogCapture log;
    for (const char* time : {"0", "-1"})
        EXPECT_TRUE(mover.setProperty("time", time));
    EXPECT_EQ(mover.getSpeed(), 4.0f);
    EXPECT_EQ(log.take(), Lines(2, "WARNING: Cannot set \"time\" to 0 or less."));
}
