#include <initializer_list>
#include <memory>

#include <tesraui/Animator.h>

#include "UiTestSupport.h"

using namespace tesraui;
using kavtypes::Rectangle;

namespace
{
    int deleted = 0;

    // Animated until its time runs out, then expired; with a victim, deletes it instead.
    class Countdown : public Animator
    {
    public:
        Countdown(const hstring& name, float seconds, Object* victim = nullptr)
            : Animator(name), left(seconds), victim(victim)
        {
        }
        ~Countdown() override { ++deleted; }
        float left;
        Object* victim;
        void update(float timeDelta) override
        {
            if (this->victim != nullptr)
            {
                delete this->victim; // which deletes this animator as well
                return;
            }
            this->left -= timeDelta;
            Animator::update(timeDelta);
        }
        bool isAnimated() override { return this->left > 0.0f; }
        bool isWaitingAnimation() override { return this->left > 0.0f; }
        bool isExpired() override { return this->left <= 0.0f; }
        float getObjectValue() override { return 0.0f; }
        void setObjectValue(float) override {}
    };

    struct Animated : public Object
    {
        Animated() : Object("animated", Rectangle(0, 0, 10, 10)) {}
        void start(Animator* animator)
        {
            this->dynamicAnimators.push_back(std::unique_ptr<Animator>(animator));
        }
    };
} // namespace

TEST(Update, expiredDynamicAnimatorsGoInTheSameUpdate)
{
    deleted = 0;
    Animated object;
    object.start(new Countdown("short", 0.5f));
    object.start(new Countdown("long", 1.0f));
    object.update(0.6f);
    EXPECT_EQ(deleted, 1);
    ASSERT_EQ(object.getDynamicAnimators().size(), 1);
    EXPECT_TRUE(object.isAnimated());
    object.update(0.6f);
    EXPECT_FALSE(object.isAnimated() || object.isWaitingAnimation());
    EXPECT_EQ(deleted, 2);

    // An animator may destroy the object that runs it; the update stops there.
    Object root("root", Rectangle(0, 0, 10, 10));
    Animated* doomed = new Animated();
    doomed->start(new Countdown("killer", 1.0f, doomed));
    doomed->start(new Countdown("after", 1.0f));
    root.addChild(doomed);
    root.update(0.1f);
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_EQ(deleted, 4);
}

TEST(Update, onlyDirectAnimatorsCountAndHitTestsPassThemOver)
{
    Object root("root", Rectangle(0, 0, 10, 10)), first("first", Rectangle(0, 0, 1, 1)),
        second("second", Rectangle(0, 0, 1, 1));
    Countdown grandchild("grandchild", 1.0f), topmost("topmost", 1.0f);
    root.addChild(&first);
    root.addChild(&second);
    first.addChild(&grandchild);
    root.update(0.1f);
    EXPECT_FLOAT_EQ(grandchild.left, 0.9f);
    EXPECT_FALSE(root.isAnimated());
    EXPECT_TRUE(first.isAnimated() && first.isWaitingAnimation());
    root.addChild(&topmost);
    EXPECT_EQ(root.getChildUnderPoint(0.5f, 0.5f), &second); // animators are passed over
    root.removeChild(&topmost);
    first.removeChild(&grandchild);
}

namespace
{
    // Counts its updates; the first one may delete another object and attach a new child to a third.
    struct Counted : public Object
    {
        explicit Counted(const hstring& name) : Object(name, Rectangle(0, 0, 1, 1)) {}
        int updates = 0;
        Object* victim = nullptr;
        Object* adoptive = nullptr;
        Counted* adopted = nullptr;
        void update(float timeDelta) override
        {
            ++this->updates;
            if (this->victim != nullptr)
            {
                delete this->victim;
                this->victim = nullptr;
            }
            if (this->adoptive != nullptr && this->adopted != nullptr)
            {
                this->adoptive->addChild(this->adopted);
                this->adoptive = nullptr;
            }
            Object::update(timeDelta);
        }
    };
} // namespace

// Walks nest, one per level, each over its own copy: a deletion and an insertion made deep in one walk
// leave every other walk of the same frame, up and down the tree, as it was, frame after frame.
TEST(Update, nestedWalksEachKeepTheirOwnCopy)
{
    Object root("root", Rectangle(0, 0, 10, 10));
    Counted* a = new Counted("a");
    Counted* b = new Counted("b");
    Counted* a1 = new Counted("a1");
    Counted* a2 = new Counted("a2");
    Counted* b1 = new Counted("b1");
    Counted* late = new Counted("late");
    root.addChild(a);
    root.addChild(b);
    a->addChild(a1);
    a->addChild(a2);
    b->addChild(b1);
    // a1's update, inside a's walk inside root's walk, deletes b1 (not yet reached in root's walk) and
    // gives a a new child while a's walk runs: that child waits for the next frame.
    a1->victim = b1;
    a1->adoptive = a;
    a1->adopted = late;
    root.update(0.1f);
    EXPECT_EQ(a->updates, 1);
    EXPECT_EQ(a1->updates, 1);
    EXPECT_EQ(a2->updates, 1);
    EXPECT_EQ(b->updates, 1);
    EXPECT_TRUE(b->getChildren().empty());
    EXPECT_EQ(late->updates, 0);
    for (int frame = 2; frame <= 4; ++frame)
    {
        root.update(0.1f);
        EXPECT_EQ(a->updates, frame);
        EXPECT_EQ(a1->updates, frame);
        EXPECT_EQ(a2->updates, frame);
        EXPECT_EQ(b->updates, frame);
        EXPECT_EQ(late->updates, frame - 1);
    }
    for (Object* object : std::initializer_list<Object*>{late, a2, a1, a, b})
    {
        delete object;
    }
    EXPECT_TRUE(root.getChildren().empty());
}

// A child deleted during the walk is passed over even when an object made meanwhile takes its place in
// memory (likely, at the same size): that one joins next frame.
TEST(Update, anObjectMadeWhereADeletedOneWasWaitsForTheNextFrame)
{
    struct Replacer : public Object
    {
        Replacer() : Object("replacer", Rectangle(0, 0, 1, 1)) {}
        Object* victim = nullptr;
        Counted* made = nullptr;
        void update(float timeDelta) override
        {
            if (this->victim != nullptr)
            {
                Object* parent = this->victim->getParent();
                delete this->victim;
                this->victim = nullptr;
                this->made = new Counted("made");
                parent->addChild(this->made);
            }
            Object::update(timeDelta);
        }
    };
    Object root("root", Rectangle(0, 0, 10, 10));
    Replacer* replacer = new Replacer();
    Counted* doomed = new Counted("doomed");
    Counted* last = new Counted("last");
    root.addChild(replacer);
    root.addChild(doomed);
    root.addChild(last);
    replacer->victim = doomed;
    root.update(0.1f);
    ASSERT_NE(nullptr, replacer->made);
    EXPECT_EQ(0, replacer->made->updates);
    EXPECT_EQ(1, last->updates);
    root.update(0.1f);
    EXPECT_EQ(1, replacer->made->updates);
    EXPECT_EQ(2, last->updates);
    for (Object* object : std::initializer_list<Object*>{replacer->made, replacer, last})
    {
        delete object;
    }
}
