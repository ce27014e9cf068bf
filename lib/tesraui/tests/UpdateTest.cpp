#include <gtest/gtest.h>

#include <tesraui/Animator.h>
#include <tesraui/CallbackObject.h>

using namespace tesraui;
using kavtypes::Rectangle;

namespace
{
    int deleted = 0;

    // Animated until its time runs out, then expired.
    class Countdown : public Animator
    {
    public:
        Countdown(const hstring& name, float seconds) : Animator(name), left(seconds) {}
        ~Countdown() override { ++deleted; }
        float left;
        Object* victim = nullptr;
        void update(float timeDelta) override
        {
            if (this->victim != nullptr)
            {
                // Deleting the owner deletes this animator as well.
                delete this->victim;
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

    class Animated : public Object
    {
    public:
        using Object::Object;
        void start(Animator* animator) { this->dynamicAnimators.push_back(animator); }
    };
} // namespace

TEST(Update, expiredDynamicAnimatorsGoInTheSameUpdate)
{
    deleted = 0;
    Animated object("object", Rectangle(0, 0, 10, 10));
    object.start(new Countdown("short", 0.5f));
    object.start(new Countdown("long", 1.0f));
    object.start(new Countdown("short2", 0.5f));
    EXPECT_TRUE(object.isAnimated());
    object.update(0.6f);
    EXPECT_EQ(deleted, 2);
    ASSERT_EQ(object.getDynamicAnimators().size(), 1);
    EXPECT_EQ(object.getDynamicAnimators()[0]->getName(), "long");
    EXPECT_TRUE(object.isAnimated());
    object.update(0.6f);
    EXPECT_FALSE(object.isAnimated());
    EXPECT_FALSE(object.isWaitingAnimation());
    EXPECT_EQ(deleted, 3);

    // An animator may destroy the object that runs it; the update stops there.
    Object root("root", Rectangle(0, 0, 10, 10));
    Animated* doomed = new Animated("doomed", Rectangle(0, 0, 10, 10));
    root.addChild(doomed);
    Countdown* killer = new Countdown("killer", 1.0f);
    killer->victim = doomed;
    doomed->start(killer);
    doomed->start(new Countdown("after", 1.0f));
    root.update(0.1f);
    EXPECT_TRUE(root.getChildren().empty());
    EXPECT_EQ(deleted, 5);
}

TEST(Update, childrenUpdateInOrderAndOnlyDirectAnimatorsCount)
{
    static harray<hstring> order;
    order.clear();
    Object root("root", Rectangle(0, 0, 10, 10));
    CallbackObject first("first", Rectangle(0, 0, 1, 1));
    CallbackObject second("second", Rectangle(0, 0, 1, 1));
    first.setUpdateCallback([](float) { order.push_back("first"); });
    second.setUpdateCallback([](float) { order.push_back("second"); });
    root.addChild(&first);
    root.addChild(&second);
    Countdown grandchild("grandchild", 1.0f);
    first.addChild(&grandchild);
    root.update(0.1f);
    EXPECT_EQ(order, harray<hstring>({"first", "second"}));
    EXPECT_FLOAT_EQ(grandchild.left, 0.9f);
    EXPECT_FALSE(root.isAnimated());
    EXPECT_TRUE(first.isAnimated());
    EXPECT_TRUE(first.isWaitingAnimation());
    Countdown topmost("topmost", 1.0f);
    root.addChild(&topmost);
    EXPECT_EQ(root.getChildUnderPoint(0.5f, 0.5f), &second); // animators are passed over
    root.removeChild(&topmost);
    first.removeChild(&grandchild);
}
