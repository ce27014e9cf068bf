#include <cmath>

#include <tesraui/Animators.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::Animator;
using tesraui::Object;
using namespace tesraui::Animators;
using Function = tesraui::Animator::AnimationFunction;

namespace
{
    harray<hstring> classNames(const Object& object)
    {
        harray<hstring> result;
        for (Animator* animator : object.getDynamicAnimators())
            result.push_back(animator->getClassName());
        return result;
    }

    int nameNumber(Animator* animator)
    {
        EXPECT_TRUE(animator->getName().startsWith("dynamic_animator_"));
        return animator->getName().replaced("dynamic_animator_", "").toInt();
    }
} // namespace

TEST(DynamicAnimators, FadeReplacesAndEndsInTheUpdateItExpires)
{
    Object object("object", Rectangle(0, 0, 10, 10));
    Animator* fade = object.fadeAlpha(0, 2.0f);
    EXPECT_EQ(fade->getParent(), &object);
    EXPECT_EQ(std::make_tuple(fade->getOffset(), fade->getAmplitude(), fade->getSpeed(), fade->getPeriods()),
              std::make_tuple(255.0f, -255.0f, 2.0f, 1.0f));
    object.update(0.125f);
    EXPECT_EQ(object.getAlpha(), 191);
    // Again before the end: replaced, from the alpha reached.
    fade = object.fadeAlpha(0, 2.0f);
    EXPECT_EQ(object.getDynamicAnimators(), harray<Animator*>({fade}));
    EXPECT_EQ(fade->getAmplitude(), -191.0f);
    std::vector<int> alphas;
    for (int i = 0; i < 5; ++i)
    {
        object.update(0.125f);
        alphas.push_back(object.getAlpha());
    }
    EXPECT_EQ(alphas, (std::vector<int>{143, 95, 47, 0, 0}));
    EXPECT_FALSE(object.hasDynamicAnimators()); // deleted in the update that found it expired
    EXPECT_FALSE(object.isAnimated());
}

TEST(DynamicAnimators, QueueWithAndWithoutDelay)
{
    Object object("object", Rectangle(0, 0, 10, 10));
    Animator* running = object.fadeAlpha(0, 1.0f);
    Animator* now = object.fadeAlphaQueue(255, 1.0f, 0.0f);
    // Without a delay: like a start, but the running one stays.
    EXPECT_EQ(object.getDynamicAnimators(), harray<Animator*>({running, now}));
    EXPECT_EQ(std::make_tuple(now->getOffset(), now->getAmplitude(), now->isUseTarget(), now->getDelay()),
              std::make_tuple(255.0f, 0.0f, false, 0.0f));
    // With one: aims at the target from wherever the value is when the delay ends.
    Animator* later = object.rotateQueue(90.0f, 2.0f, 0.5f);
    EXPECT_EQ(std::make_tuple(later->getOffset(), later->getAmplitude(), later->getTarget(),
                              later->isUseTarget(), later->isInheritValue(), later->getDelay(),
                              later->getSpeed()),
              std::make_tuple(0.0f, 0.5f, 90.0f, true, true, 0.5f, 2.0f));

    // x: a move to 50 in half a second, and a queued one to 100 after half a second.
    Object mover("mover", Rectangle(0, 0, 10, 10));
    mover.moveX(50.0f, 2.0f);
    mover.moveXQueue(100.0f, 1.0f, 0.5f);
    std::vector<float> xs;
    std::vector<int> counts;
    for (int i = 0; i < 6; ++i)
    {
        mover.update(0.25f);
        xs.push_back(mover.getX());
        counts.push_back(mover.getDynamicAnimators().size());
    }
    // The queued one takes x = 50 when its delay runs out, and the whole step as its first.
    EXPECT_EQ(xs, (std::vector<float>{25.0f, 62.5f, 75.0f, 87.5f, 100.0f, 100.0f}));
    EXPECT_EQ(counts, (std::vector<int>{2, 2, 1, 1, 1, 0}));
}

TEST(DynamicAnimators, EveryFamilyStartsItsKindsAndStopsOnlyThem)
{
    Object object("object", Rectangle(1, 2, 3, 4));
    object.setScale(5.0f, 6.0f);
    object.setAngle(7.0f);
    object.setColor(tesra::Color(8, 9, 10, 11));
    MoverX declared("declared");
    object.addChild(&declared);
    // Each start: the kind it makes, its offset (the current value) and amplitude (target - value).
    const std::tuple<const char*, std::function<Animator*()>, float> rows[] = {
        {"AlphaChanger", [&] { return object.fadeAlpha(111, 1.0f); }, 11.0f},
        {"RedChanger", [&] { return object.fadeRed(108, 1.0f); }, 8.0f},
        {"GreenChanger", [&] { return object.fadeGreen(109, 1.0f); }, 9.0f},
        {"BlueChanger", [&] { return object.fadeBlue(110, 1.0f); }, 10.0f},
        {"MoverX", [&] { return object.moveX(101.0f, 1.0f); }, 1.0f},
        {"MoverY", [&] { return object.moveY(102.0f, 1.0f); }, 2.0f},
        {"ResizerX", [&] { return object.resizeX(103.0f, 1.0f); }, 3.0f},
        {"ResizerY", [&] { return object.resizeY(104.0f, 1.0f); }, 4.0f},
        {"Rotator", [&] { return object.rotate(107.0f, 1.0f); }, 7.0f},
        {"ScalerX", [&] { return object.scaleX(105.0f, 1.0f); }, 5.0f},
        {"ScalerY", [&] { return object.scaleY(106.0f, 1.0f); }, 6.0f},
    };
    int previous = 0;
    for (const auto& [type, start, value] : rows)
    {
        Animator* animator = start();
        EXPECT_EQ(animator->getClassName(), type);
        EXPECT_EQ(std::make_pair(animator->getOffset(), animator->getAmplitude()),
                  std::make_pair(value, 100.0f))
            << type;
        // One counter for the whole program, whatever the object or the property.
        if (previous != 0)
        {
            EXPECT_EQ(nameNumber(animator), previous + 1);
        }
        previous = nameNumber(animator);
    }
    // Two-axis families replace both kinds, X first.
    object.move(0.0f, 0.0f, 2.0f);
    object.scale(0.0f, 0.0f, 2.0f);
    EXPECT_EQ(classNames(object).sub(7, 4), (harray<hstring>{"MoverX", "MoverY", "ScalerX", "ScalerY"}));

    // Stops, each leaving the others; the declared child stays throughout.
    object.moveQueue(1.0f, 1.0f, 1.0f, 1.0f);
    object.scaleQueue(1.0f, 1.0f, 1.0f, 0.0f);
    const std::pair<std::function<void()>, harray<hstring>> stops[] = {
        {[&] { object.fadeColorStop(); },
         {"ResizerX", "ResizerY", "Rotator", "MoverX", "MoverY", "ScalerX", "ScalerY", "MoverX", "MoverY",
          "ScalerX", "ScalerY"}},
        {[&] { object.moveStop(); },
         {"ResizerX", "ResizerY", "Rotator", "ScalerX", "ScalerY", "ScalerX", "ScalerY"}},
        {[&] { object.scaleXStop(); }, {"ResizerX", "ResizerY", "Rotator", "ScalerY", "ScalerY"}},
        {[&] { object.resizeStop(); }, {"Rotator", "ScalerY", "ScalerY"}},
        {[&] { object.scaleStop(); }, {"Rotator"}},
        {[&] { object.rotateStop(); }, {}},
    };
    for (const auto& [stop, left] : stops)
    {
        stop();
        EXPECT_EQ(classNames(object), left);
    }
    EXPECT_EQ(object.getChildren(), harray<Object*>({&declared}));
    object.removeChild(&declared);
}

TEST(DynamicAnimators, SingleStopsOfEachFamily)
{
    Object object("object", Rectangle(0, 0, 10, 10));
    const std::pair<std::function<void()>, std::function<void()>> rows[] = {
        {[&] { object.fadeAlphaQueue(0, 1.0f, 1.0f); }, [&] { object.fadeAlphaStop(); }},
        {[&] { object.moveXQueue(0.0f, 1.0f, 1.0f); }, [&] { object.moveXStop(); }},
        {[&] { object.moveYQueue(0.0f, 1.0f, 1.0f); }, [&] { object.moveYStop(); }},
        {[&] { object.resizeXQueue(0.0f, 1.0f, 1.0f); }, [&] { object.resizeXStop(); }},
        {[&] { object.resizeYQueue(0.0f, 1.0f, 1.0f); }, [&] { object.resizeYStop(); }},
        {[&] { object.scaleXQueue(0.0f, 1.0f, 1.0f); }, [&] { object.scaleXStop(); }},
        {[&] { object.scaleYQueue(0.0f, 1.0f, 1.0f); }, [&] { object.scaleYStop(); }},
    };
    for (const auto& [queue, stop] : rows)
    {
        object.rotate(1.0f, 1.0f);
        queue();
        queue();
        EXPECT_EQ(object.getDynamicAnimators().size(), 3);
        stop();
        EXPECT_EQ(classNames(object), harray<hstring>({"Rotator"}));
    }
}

TEST(DynamicAnimators, AnimateYStartsAtItsPhase)
{
    Object object("object", Rectangle(0, 0, 10, 10));
    object.moveY(50.0f, 1.0f);
    Animator* wave = object.animateY(100.0f, 10.0f, 0.5f, (int)Function::Sine, 0.25f, 1.0f);
    EXPECT_EQ(object.getDynamicAnimators(), harray<Animator*>({wave}));
    EXPECT_EQ(
        std::make_tuple(wave->getSpeed(), wave->getPeriods(), wave->getTimer(), wave->getAnimationFunction()),
        std::make_tuple(0.5f, 1.25f, 0.5f, Function::Sine));
    EXPECT_NEAR(wave->_calculateValue(0.0f), 110.0f, 1e-4f); // a quarter period in: the crest
    std::vector<float> ys;
    for (int i = 0; i < 5; ++i)
    {
        object.update(0.5f);
        ys.push_back(object.getY());
    }
    // Two seconds for the one period, then the end value, written as it expires.
    const float expected[] = {100.0f, 90.0f, 100.0f, 110.0f, 110.0f};
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(ys[i], expected[i], 1e-4f) << i;
    EXPECT_FALSE(object.hasDynamicAnimators());

    // Without speed the run has no length: it starts at its beginning, not at phase / 0.
    Animator* still = object.animateY(100.0f, 10.0f, 0.0f, (int)Function::Sine, 0.25f, 1.0f);
    EXPECT_EQ(still->getTimer(), 0.0f);
    object.update(0.5f);
    EXPECT_EQ(object.getY(), 100.0f);
    EXPECT_TRUE(object.hasDynamicAnimators()); // never ends until replaced or stopped
}

TEST(DynamicAnimators, AreNotChildren)
{
    uitest::FakeWindow window;
    tesraui::Dataset dataset("", "d");
    Object* object = new Object("object", Rectangle(0, 0, 10, 10));
    dataset.registerObjects(object);
    Animator* animator = object->moveX(5.0f, 1.0f);
    EXPECT_TRUE(object->getChildren().empty());
    EXPECT_FALSE(dataset.hasObject(animator->getName()));
    EXPECT_EQ(animator->getDataset(), nullptr);
    EXPECT_EQ(object->getChildUnderPoint(0.5f, 0.5f), object);
    // Still what makes the object animated.
    EXPECT_TRUE(object->isAnimated() && object->isWaitingAnimation());
}

TEST(DynamicAnimators, InfiniteSpeedsEndAtTheTargetAndNaNSpeedsAreRefused)
{
    const float inf = INFINITY;
    Object object("object", Rectangle(1, 2, 3, 4));
    object.setAngle(5.0f);
    object.setScale(1.0f, 1.0f);
    // Each family started at infinite speed, and the value it must show after one update.
    const std::tuple<const char*, std::function<void()>, std::function<float()>, float> rows[] = {
        {"fadeAlpha", [&] { object.fadeAlpha(0, inf); }, [&] { return (float)object.getAlpha(); }, 0.0f},
        {"move", [&] { object.move(50.0f, 60.0f, inf); }, [&] { return object.getX() + object.getY(); },
         110.0f},
        {"resizeX", [&] { object.resizeX(30.0f, inf); }, [&] { return object.getWidth(); }, 30.0f},
        {"resizeY", [&] { object.resizeY(40.0f, inf); }, [&] { return object.getHeight(); }, 40.0f},
        {"rotate", [&] { object.rotate(90.0f, inf); }, [&] { return object.getAngle(); }, 90.0f},
        {"scale", [&] { object.scale(2.0f, 3.0f, inf); },
         [&] { return object.getScaleX() * object.getScaleY(); }, 6.0f},
        {"moveXQueue", [&] { object.moveXQueue(70.0f, inf, 0.25f); }, [&] { return object.getX(); }, 70.0f},
    };
    for (const auto& [name, start, value, target] : rows)
    {
        start();
        object.update(0.5f);
        EXPECT_EQ(value(), target) << name;
        object.update(0.5f);
        EXPECT_FALSE(object.hasDynamicAnimators()) << name;
    }

    // NaN: a warning, null, and the running animation stays as it was.
    uitest::LogCapture log;
    Animator* running = object.rotate(0.0f, 1.0f);
    EXPECT_EQ(object.fadeAlpha(255, NAN), nullptr);
    EXPECT_EQ(object.rotate(180.0f, NAN), nullptr);
    EXPECT_EQ(object.rotateQueue(180.0f, NAN, 1.0f), nullptr);
    object.scale(5.0f, 5.0f, NAN);
    EXPECT_EQ(object.getDynamicAnimators(), harray<Animator*>({running}));
    EXPECT_EQ(log.take().size(), 4);
    object.update(0.5f);
    EXPECT_EQ(object.getAngle(), 45.0f);
}
