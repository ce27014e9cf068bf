#include <memory>

#include <gtest/gtest.h>
#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "EngineTestSupport.h"
#include "objects/DelayedCall.h"
#include "objects/ObjectDestructor.h"
#include "objects/SceneSwitchDestructor.h"

using namespace vumo;

using enginetest::Lines;
using kavtypes::Rectangle;

namespace
{
    Lines journal;
    tesraui::Dataset* current = nullptr;

    // Notes the callback and whether its object is still registered when it runs.
    void noteCallback(tesraui::EventArgs* args)
    {
        journal.push_back("callback " +
                          std::string(current->hasObject(args->object->getName()) ? "present" : "gone"));
    }

    // A dataset with a root object; everything a test adds hangs below the root.
    struct Tree
    {
        std::unique_ptr<tesraui::Dataset> dataset{new tesraui::Dataset("", "destructors")};
        tesraui::Object* root = new tesraui::Object("root", Rectangle(0, 0, 100, 100));
        Tree()
        {
            dataset->registerObjects(root);
            current = dataset.get();
            journal.clear();
        }
        ~Tree() { current = nullptr; }
        template <class T> T* add(T* object, tesraui::Object* parent = nullptr)
        {
            dataset->registerObjects(object);
            (parent != nullptr ? parent : root)->addChild(object);
            return object;
        }
        // One frame as the UI library runs it: the queued events first, then the update.
        void frame(float timeDelta)
        {
            dataset->processEvents();
            root->update(timeDelta);
        }
        bool has(const hstring& name) const { return dataset->hasObject(name); }
    };
} // namespace

TEST(DelayedCallObject, FiresOnceWhenMoreThanItsDelayHasPassedAndGoesRightAfter)
{
    Tree tree;
    DelayedCall* call = tree.add(new DelayedCall("call", Rectangle(0, 0, 1, 1)));
    call->setProperty("delay", "1.0");
    call->registerEvent("callback", &noteCallback);
    Lines seen;
    for (int update = 1; update <= 6; ++update)
    {
        tree.root->update(0.25f);
        tree.dataset->processEvents();
        journal.push_back("after update " + std::to_string(update) + (tree.has("call") ? "" : ": gone"));
    }
    EXPECT_EQ(journal, (Lines{"after update 1", "after update 2", "after update 3", "after update 4",
                              "callback present", "after update 5: gone", "after update 6: gone"}));
}

TEST(DelayedCallObject, DelayBelowZeroNeverFiresAndNoDelayFiresAtOnce)
{
    Tree tree;
    DelayedCall* never = tree.add(new DelayedCall("never", Rectangle(0, 0, 1, 1)));
    never->setProperty("delay", "-0.5");
    never->registerEvent("callback", &noteCallback);
    DelayedCall* unset = tree.add(new DelayedCall("unset", Rectangle(0, 0, 1, 1)));
    unset->registerEvent("callback", &noteCallback);
    for (int i = 0; i < 4; ++i)
    {
        tree.frame(1.0f);
    }
    EXPECT_EQ(journal, (Lines{"callback present"}));
    EXPECT_TRUE(tree.has("never"));
    EXPECT_FALSE(tree.has("unset"));
    EXPECT_EQ(never->getProperty("delay"), "-0.500000");
}

TEST(DelayedCallObject, DestroyedBeforeItsQueueRunsNothingRuns)
{
    Tree tree;
    DelayedCall* call = tree.add(new DelayedCall("call", Rectangle(0, 0, 1, 1)));
    call->registerEvent("callback", &noteCallback);
    tree.root->update(0.25f);
    // The callback and the deletion are queued now; the object goes first.
    tree.dataset->destroyObject(call);
    tree.dataset->processEvents();
    tree.frame(0.25f);
    EXPECT_EQ(journal, Lines());
    EXPECT_TRUE(tree.has("root"));
}

TEST(DelayedCallObject, WithoutADatasetItWarnsAndStays)
{
    enginetest::LogCapture log;
    DelayedCall call("loose", Rectangle(0, 0, 1, 1));
    call.update(0.25f);
    call.update(0.25f);
    const Lines lines = log.take();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0],
              "vumo: WARNING: DelayedCall: object 'loose' belongs to no dataset, its deletion is not "
              "queued.");
}

TEST(ObjectDestructorObject, DeletesTheParentThatHoldsItAfterItsDelay)
{
    Tree tree;
    tesraui::Object* doomed = tree.add(new tesraui::Object("doomed", Rectangle(0, 0, 1, 1)));
    tree.add(new tesraui::Object("grandchild", Rectangle(0, 0, 1, 1)), doomed);
    tree.add(new ObjectDestructor("now", Rectangle(0, 0, 1, 1)), doomed);
    tesraui::Object* later = tree.add(new tesraui::Object("later", Rectangle(0, 0, 1, 1)));
    ObjectDestructor* timer = tree.add(new ObjectDestructor("timer", Rectangle(0, 0, 1, 1)), later);
    timer->setProperty("delay", "0.3");

    tree.frame(0.25f);
    EXPECT_TRUE(tree.has("doomed"));
    tree.frame(0.25f);
    EXPECT_FALSE(tree.has("doomed"));
    EXPECT_FALSE(tree.has("grandchild"));
    EXPECT_FALSE(tree.has("now"));
    EXPECT_TRUE(tree.has("later"));
    tree.frame(0.25f);
    EXPECT_FALSE(tree.has("later"));
    EXPECT_FALSE(tree.has("timer"));
    EXPECT_EQ(tree.root->getChildren().size(), 0);
}

TEST(ObjectDestructorObject, WithoutAParentItKeepsItsDelay)
{
    Tree tree;
    ObjectDestructor* alone = tree.add(new ObjectDestructor("alone", Rectangle(0, 0, 1, 1)));
    tree.root->removeChild(alone);
    alone->setProperty("delay", "0.5");
    alone->update(0.25f);
    tree.dataset->processEvents();
    EXPECT_EQ(alone->getProperty("delay"), "0.500000");
    EXPECT_TRUE(tree.has("alone"));
    EXPECT_EQ(alone->getClassName(), "ObjectDestructor");
}

TEST(ObjectDestructorObject, AParentWithoutADatasetIsWarnedAbout)
{
    enginetest::LogCapture log;
    tesraui::Object parent("parent", Rectangle(0, 0, 1, 1));
    ObjectDestructor* destructor = new ObjectDestructor("d", Rectangle(0, 0, 1, 1));
    parent.addChild(destructor);
    parent.update(0.1f);
    EXPECT_EQ(log.take(),
              (Lines{"vumo: WARNING: ObjectDestructor: object 'parent' belongs to no dataset, its "
                     "deletion is not queued."}));
    delete destructor;

    // The event itself, handed an object of no dataset.
    ObjectDestructorEvent event(&parent);
    tesraui::EventArgs args(&parent, 0.0f, 0.0f, 0u, "");
    event.execute(&args);
    EXPECT_EQ(log.take(),
              (Lines{"vumo: WARNING: ObjectDestructorEvent: object 'parent' belongs to no dataset, "
                     "it is not destroyed."}));
}

// Destroyed after it queued its parent's deletion, while frees wait for the frame's end: the deletion is
// off, though the destructor object's memory is still there.
TEST(ObjectDestructorObject, DestroyedWithItsDeletionQueuedItDeletesNothing)
{
    tesraui::setDeferredFrees(true);
    {
        Tree tree;
        tesraui::Object* parent = tree.add(new tesraui::Object("parent", Rectangle(0, 0, 1, 1)));
        ObjectDestructor* destructor = tree.add(new ObjectDestructor("d", Rectangle(0, 0, 1, 1)), parent);
        destructor->setProperty("delay", "0");
        tree.root->update(0.1f);
        ASSERT_EQ(tree.dataset->getQueuedEventCount(), 1);
        tree.dataset->destroyObject(destructor);
        tree.dataset->processEvents();
        EXPECT_TRUE(tree.has("parent"));
        tesraui::freeDestroyed();
    }
    tesraui::setDeferredFrees(false);
}

TEST(SceneSwitchDestructorObject, TwoSwitchesInOneFrameDeleteTheParentOnce)
{
    Tree tree;
    tesraui::Object* piece = tree.add(new tesraui::Object("piece", Rectangle(0, 0, 1, 1)));
    SceneSwitchDestructor* destructor =
        tree.add(new SceneSwitchDestructor("switch", Rectangle(0, 0, 1, 1)), piece);
    destructor->setProperty("chapter", "elsewhere");
    EXPECT_EQ(destructor->getProperty("chapter"), "elsewhere");
    tree.frame(1.0f);
    EXPECT_TRUE(tree.has("piece"));

    // The deletion queued by the first switch is kept; the second adds none (the leak check sees a lost one).
    tree.dataset->notifyEvent("SceneChanging", nullptr);
    tree.dataset->notifyEvent("SceneChanging", nullptr);
    tree.dataset->notifyEvent("SomethingElse", nullptr);
    tree.dataset->processEvents();
    EXPECT_FALSE(tree.has("piece"));
    EXPECT_FALSE(tree.has("switch"));
}

// What code outside the tree holds is left, with what holds it, and said so; the check runs again when the
// queued deletion comes, for a target that took in a held object meanwhile.
TEST(ObjectDestructorObject, LeavesWhatIsHeldFromOutsideAndWhatHoldsIt)
{
    Tree tree;
    enginetest::LogCapture log;
    tesraui::Object* held = tree.add(new tesraui::Object("held", Rectangle(0, 0, 1, 1)));
    held->setOutsideHolder("the test");
    tesraui::Object* above = tree.add(new tesraui::Object("above", Rectangle(0, 0, 1, 1)));
    tesraui::Object* inner = tree.add(new tesraui::Object("inner", Rectangle(0, 0, 1, 1)), above);
    tree.root->removeChild(held);
    inner->addChild(held);
    tree.add(new ObjectDestructor("at_held", Rectangle(0, 0, 1, 1)), held);
    tree.add(new SceneSwitchDestructor("at_above", Rectangle(0, 0, 1, 1)), above);
    tree.frame(0.1f);
    tree.dataset->notifyEvent("SceneChanging", nullptr);
    tree.frame(0.1f);
    EXPECT_EQ(
        log.take(),
        (Lines{
            "vumo: WARNING: ObjectDestructor: object 'destructors.held' belongs to the engine (held by the "
            "test) and cannot be destroyed, its deletion is not queued.",
            "vumo: WARNING: SceneSwitchDestructor: object 'destructors.above' holds 'destructors.held', "
            "which belongs to the engine (held by the test) and cannot be destroyed, its deletion is not "
            "queued."}));
    EXPECT_TRUE(tree.has("held") && tree.has("above") && tree.has("inner"));

    // Queued while free to go, then holding a held object when its turn comes.
    tesraui::Object* box = tree.add(new tesraui::Object("box", Rectangle(0, 0, 1, 1)));
    tree.add(new ObjectDestructor("at_box", Rectangle(0, 0, 1, 1)), box);
    tree.root->update(0.1f);
    inner->removeChild(held);
    box->addChild(held);
    tree.dataset->processEvents();
    EXPECT_EQ(
        log.take(),
        (Lines{"vumo: WARNING: ObjectDestructorEvent: object 'destructors.box' holds 'destructors.held', "
               "which belongs to the engine (held by the test) and cannot be destroyed, it is not "
               "destroyed."}));
    EXPECT_TRUE(tree.has("box") && tree.has("held"));

    // Let go, it goes as any other.
    held->setOutsideHolder(nullptr);
    tree.add(new ObjectDestructor("again", Rectangle(0, 0, 1, 1)), above);
    tree.frame(0.1f);
    tree.frame(0.1f);
    EXPECT_FALSE(tree.has("above") || tree.has("inner"));
    EXPECT_TRUE(log.take().empty());
}
