#include <stdexcept>

#include <gtest/gtest.h>

#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

using namespace tesraui;
using kavtypes::Rectangle;

namespace
{
    harray<hstring> ran;

    // Each run is noted as "<object>:<extra>"; a few extras make the handler act.
    class Probe : public Event
    {
    public:
        explicit Probe(const hstring& tag) : tag(tag) {}
        std::function<void(EventArgs*)> action;
        void execute(EventArgs* args) override
        {
            ran.push_back(this->tag + ":" + args->extra);
            if (this->action)
            {
                this->action(args);
            }
        }
        hstring tag;
    };

    struct Scene
    {
        Dataset* dataset = new Dataset("", "events");
        Object* root = new Object("root", Rectangle(0, 0, 100, 100));
        Object* a = new Object("a", Rectangle(0, 0, 10, 10));
        Object* b = new Object("b", Rectangle(0, 0, 10, 10));
        Probe* pa = new Probe("a");
        Probe* pb = new Probe("b");

        Scene()
        {
            ran.clear();
            root->addChild(a);
            root->addChild(b);
            dataset->registerObjects(root);
            a->registerEvent("Ev", pa);
            b->registerEvent("Ev", pb);
        }
        ~Scene() { delete dataset; }
    };
} // namespace

TEST(Events, queueRunsFirstInFirstOutIncludingEventsQueuedMeanwhile)
{
    Scene s;
    s.pa->action = [&s](EventArgs* args)
    {
        if (args->extra == "1")
        {
            s.b->triggerEvent("Ev", 0.0f, 0.0f, 0u, "3");
        }
    };
    EXPECT_TRUE(s.a->triggerEvent("Ev", 0.0f, 0.0f, 0u, "1"));
    EXPECT_TRUE(s.b->triggerEvent("Ev", 0.0f, 0.0f, 0u, "2"));
    EXPECT_TRUE(s.a->triggerEvent("Ev", 0.0f, 0.0f, 0u, "2"));
    EXPECT_FALSE(s.a->triggerEvent("Missing", 0u));
    EXPECT_TRUE(ran.empty());
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"a:1", "b:2", "a:2", "b:3"}));

    setCursorPosition(kavtypes::Vector2(7, 8));
    EventArgs seen(nullptr, 0, 0, 0u, "");
    s.pb->action = [&seen](EventArgs* args) { seen = *args; };
    s.b->triggerEvent("Ev", 7, "pad");
    s.dataset->processEvents();
    EXPECT_EQ(seen.object, s.b);
    EXPECT_EQ(seen.buttonCode, 7);
    EXPECT_EQ(seen.keyCode, 0u);
    EXPECT_EQ(seen.x, 7);
    EXPECT_EQ(seen.y, 8);
    EXPECT_EQ(seen.extra, "pad");
}

TEST(Events, replacingAHandlerDropsItsQueuedEntries)
{
    Scene s;
    s.a->triggerEvent("Ev", 0u, "old");
    s.a->triggerEvent("Ev", 0u, "old");
    s.b->triggerEvent("Ev", 0u, "kept");
    s.a->registerEvent("Ev", new Probe("new"));
    s.a->triggerEvent("Ev", 0u, "x");
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"b:kept", "new:x"}));
    s.a->registerEvent("Ev", (Event*)nullptr);
    EXPECT_FALSE(s.a->triggerEvent("Ev", 0u));
    // The stored handler registered once more stays, and so does its queued entry.
    ran.clear();
    s.b->triggerEvent("Ev", 0u, "again");
    s.b->registerEvent("Ev", s.pb);
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"b:again"}));
}

TEST(Events, focusQueuesLoseThenGain)
{
    Scene s;
    s.a->registerEvent("LoseFocus", new Probe("lose"));
    s.b->registerEvent("GainFocus", new Probe("gain"));
    s.a->setFocused(true);
    s.b->setFocused(true);
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"lose:", "gain:"}));
    EXPECT_TRUE(s.b->isFocused());
}

TEST(Events, aThrowingHandlerLeavesTheRestQueued)
{
    Scene s;
    s.pa->action = [](EventArgs*) { throw std::runtime_error("handler failed"); };
    s.a->triggerEvent("Ev", 0u, "1");
    s.b->triggerEvent("Ev", 0u, "2");
    EXPECT_THROW(s.dataset->processEvents(), std::runtime_error);
    EXPECT_EQ(ran, harray<hstring>({"a:1"}));
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"a:1", "b:2"}));
}

TEST(Events, handlersMayDestroyObjectsTheirOwnHandlerAndTheDataset)
{
    Scene s;
    // Destroying the sibling drops its queued entry.
    s.pa->action = [&s](EventArgs*) { s.dataset->destroyObject("b"); };
    s.a->triggerEvent("Ev", 0u, "1");
    s.b->triggerEvent("Ev", 0u, "2");
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"a:1"}));

    // Destroying its own object deletes the running handler only once it has returned.
    ran.clear();
    s.pa->action = [&s](EventArgs* args)
    {
        s.dataset->destroyObject(args->object);
        ran.push_back("after");
    };
    s.a->triggerEvent("Ev", 0u, "1");
    s.a->triggerEvent("Ev", 0u, "2");
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"a:1", "after"}));

    // Replacing itself from inside.
    ran.clear();
    Object* c = new Object("c", Rectangle(0, 0, 1, 1));
    s.root->addChildAndRegister(c);
    Probe* pc = new Probe("c");
    c->registerEvent("Ev", pc);
    pc->action = [c](EventArgs*) { c->registerEvent("Ev", new Probe("c2")); };
    c->triggerEvent("Ev", 0u, "1");
    s.dataset->processEvents();
    c->triggerEvent("Ev", 0u, "2");
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"c:1", "c2:2"}));

    // Deleting the whole dataset stops the queue and frees the rest.
    Dataset* doomed = new Dataset("", "doomed");
    Object* d = new Object("d", Rectangle(0, 0, 1, 1));
    doomed->registerObjects(d);
    Probe* pd = new Probe("d");
    d->registerEvent("Ev", pd);
    pd->action = [doomed](EventArgs*) { delete doomed; };
    d->triggerEvent("Ev", 0u, "1");
    d->triggerEvent("Ev", 0u, "2");
    ran.clear();
    doomed->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"d:1"}));
}
