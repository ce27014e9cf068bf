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
        void start(Animator* animator) { this->dynamicAnimators.push_back(animator); }
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
