// The custom value function runs foreign code (the scripting host's): what it may do to its animator, the
// animator's parent and the parent's dynamic animators.
#include <cmath>
#include <limits>

#include <tesraui/Animators.h>

#include "UiTestSupport.h"

using kavtypes::Rectangle;
using tesraui::Animator;
using tesraui::Object;
using Function = tesraui::Animator::AnimationFunction;

namespace
{
    harray<hstring> calls;
    // What the function does besides answering, once.
    std::function<void(Animator*)> sideEffect;

    float customFunction(Animator* animator, float time)
    {
        calls.push_back(formatString("%s at %g", animator->getName().c_str(), time));
        if (sideEffect)
            std::exchange(sideEffect, nullptr)(animator);
        return time * 100.0f;
    }

    Animator* makeCustom(Animator* animator)
    {
        animator->setAnimationFunction(Function::Custom);
        animator->setCustomFunction(&customFunction);
        calls.clear();
        return animator;
    }
} // namespace

TEST(AnimatorCustom, CalledOncePerAppliedStepWithItsResultApplied)
{
    Object parent("parent", Rectangle(10, 0, 1, 1));
    hstring name = makeCustom(parent.moveX(0.0f, 2.0f))->getName();
    std::vector<float> xs;
    for (int i = 0; i < 4; ++i)
    {
        parent.update(0.25f);
        xs.push_back(parent.getX());
    }
    // The offset plus the answer; the last call is the end step's, at the end of the run.
    EXPECT_EQ(xs, (std::vector<float>{35.0f, 60.0f, 60.0f, 60.0f}));
    EXPECT_EQ(calls, harray<hstring>({name + " at 0.25", name + " at 0.5", name + " at 0.5"}));
    EXPECT_FALSE(parent.hasDynamicAnimators());

    // A NaN answer is never applied; the value stays what was read.
    Object other("other", Rectangle(10, 0, 1, 1));
    Animator* nan = makeCustom(other.moveX(0.0f, 1.0f));
    nan->setCustomFunction([](Animator*, float) { return std::numeric_limits<float>::quiet_NaN(); });
    other.update(0.5f);
    EXPECT_EQ(other.getX(), 10.0f);
    EXPECT_EQ(nan->getValue(), 10.0f);
}

TEST(AnimatorCustom, StepEndsCleanlyWhenTheFunctionStartsOrStopsAnimators)
{
    // The parent runs the custom mover, a second mover and a fade. Each case: what the function does, the
    // parent's dynamic animators after the step (none: the parent is gone) and its x.
    const std::tuple<const char*, std::function<void(Animator*)>, harray<hstring>, float> rows[] = {
        {"stops its family", [](Animator* a) { a->getParent()->moveXStop(); }, {"AlphaChanger"}, 10.0f},
        {"replaces its family",
         [](Animator* a) { a->getParent()->moveX(500.0f, 1.0f); },
         {"AlphaChanger", "MoverX"},
         10.0f},
        {"starts another family",
         [](Animator* a) { a->getParent()->rotate(90.0f, 1.0f); },
         {"MoverX", "MoverX", "AlphaChanger", "Rotator"},
         15.0f},
        {"deletes its parent", [](Animator* a) { delete a->getParent(); }, {}, 0.0f},
    };
    for (const auto& [what, effect, left, x] : rows)
    {
        Object root("root", Rectangle(0, 0, 100, 100));
        Object* parent = new Object("parent", Rectangle(10, 0, 1, 1));
        Object* sibling = new Object("sibling", Rectangle(0, 0, 1, 1));
        root.addChild(parent);
        root.addChild(sibling);
        makeCustom(parent->moveX(0.0f, 1.0f));
        parent->moveXQueue(20.0f, 1.0f, 0.0f);
        parent->fadeAlpha(0, 1.0f);
        sibling->moveX(30.0f, 1.0f);
        sideEffect = effect;
        root.update(0.5f);
        EXPECT_EQ(calls.size(), 1) << what;
        // The update went on with the rest of the tree.
        EXPECT_EQ(sibling->getX(), 15.0f) << what;
        if (root.getChildren().size() == 2)
        {
            harray<hstring> kinds;
            for (Animator* animator : parent->getDynamicAnimators())
                kinds.push_back(animator->getClassName());
            EXPECT_EQ(kinds, left) << what;
            EXPECT_EQ(parent->getX(), x) << what;
            delete parent;
        }
        else
        {
            EXPECT_STREQ(what, "deletes its parent");
        }
        delete sibling;
    }
}

TEST(AnimatorCustom, FunctionMayDeleteItsAnimatorOrItsParentFromTheDataset)
{
    tesraui::Dataset dataset("", "d");
    Object* root = new Object("root", Rectangle(0, 0, 100, 100));
    Object* parent = new Object("parent", Rectangle(10, 0, 1, 1));
    Object* after = new Object("after", Rectangle(0, 0, 1, 1));
    root->addChild(parent);
    root->addChild(after);
    Animator* declared = makeCustom(new tesraui::Animators::MoverX("declared"));
    parent->addChild(declared);
    dataset.registerObjects(root);
    after->moveX(10.0f, 1.0f);

    // Its animator, by name through the dataset.
    sideEffect = [&](Animator* a) { dataset.destroyObject(a); };
    root->update(0.5f);
    EXPECT_FALSE(dataset.hasObject("declared"));
    EXPECT_EQ(parent->getX(), 10.0f);
    EXPECT_EQ(after->getX(), 5.0f);

    // Its parent, which takes the animator with it.
    declared = makeCustom(new tesraui::Animators::MoverX("declared"));
    parent->addChildAndRegister(declared);
    sideEffect = [&](Animator* a) { dataset.destroyObject(a->getParent()); };
    root->update(0.5f);
    EXPECT_FALSE(dataset.hasObject("parent") || dataset.hasObject("declared"));
    EXPECT_EQ(root->getChildren(), harray<Object*>({after}));
    EXPECT_EQ(after->getX(), 10.0f);

    // Its parent alone: the animator is left without one and writes nothing.
    Object* orphanParent = new Object("orphan_parent", Rectangle(10, 0, 1, 1));
    root->addChild(orphanParent);
    Animator* orphan = makeCustom(new tesraui::Animators::MoverX("orphan"));
    orphanParent->addChild(orphan);
    sideEffect = [](Animator* a) { delete a->getParent(); };
    root->update(0.5f);
    EXPECT_EQ(orphan->getParent(), nullptr);
    EXPECT_EQ(calls.size(), 1);
    delete orphan;
}

TEST(AnimatorCustom, DisabledRunsNeverGiveNaN)
{
    tesraui::Animators::MoverX mover("mover");
    mover.setOffset(5.0f);
    // Disabled with speed 0: the end of the run is its start, not periods / 0.
    mover.setEnabled(false);
    mover.setSpeed(0.0f);
    for (float periods : {1.0f, 0.0f})
    {
        mover.setPeriods(periods);
        EXPECT_EQ(mover._calculateValue(0.1f), 5.0f) << periods;
    }
    // Disabled and endless: holds the value of its current timer.
    mover.setSpeed(1.0f);
    mover.setPeriods(-1.0f);
    mover.setAnimationFunction(Function::Triangle);
    mover.setAmplitude(2.0f);
    mover.setTimer(0.25f);
    EXPECT_EQ(mover._calculateValue(0.1f), 7.0f);
}
