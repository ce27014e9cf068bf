#include <functional>
#include <memory>
#include <stdexcept>

#include <tesraui/Event.h>
#include <tesraui/tesraui.h>

#include "UiTestSupport.h"

using namespace tesraui;
using kavtypes::Rectangle;

namespace
{
    harray<hstring> ran;

    // Each run is noted as "<tag>:<extra>", then the action runs.
    class Probe : public Event
    {
    public:
        explicit Probe(const hstring& tag, std::function<void(EventArgs*)> action = nullptr)
            : tag(tag), action(action)
        {
        }
        void execute(EventArgs* args) override
        {
            ran.push_back(this->tag + ":" + args->extra);
            if (this->action)
                this->action(args);
        }
        hstring tag;
        std::function<void(EventArgs*)> action;
    };

    struct Scene
    {
        Dataset* dataset = new Dataset("", "events");
        Object* root = new Object("root", Rectangle(0, 0, 100, 100));
        Object* a = new Object("a", Rectangle(0, 0, 10, 10));
        Object* b = new Object("b", Rectangle(0, 0, 10, 10));
        std::shared_ptr<Probe> pa = std::make_shared<Probe>("a");
        std::shared_ptr<Probe> pb = std::make_shared<Probe>("b");

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
        // Queues the extras in turn on a ("a...") or b ("b..."), then runs the queue.
        void run(std::initializer_list<const char*> entries)
        {
            ran.clear();
            for (const char* entry : entries)
                (entry[0] == 'a' ? a : b)->triggerEvent("Ev", 0u, entry + 1);
            dataset->processEvents();
        }
    };
} // namespace

TEST(Events, queueRunsFirstInFirstOutIncludingEventsQueuedMeanwhile)
{
    Scene s;
    s.pa->action = [&s](EventArgs* args)
    {
        if (args->extra == "1")
            s.b->triggerEvent("Ev", 0u, "3");
    };
    EXPECT_FALSE(s.a->triggerEvent("Missing", 0u));
    s.run({"a1", "b2", "a2"});
    EXPECT_EQ(ran, harray<hstring>({"a:1", "b:2", "a:2", "b:3"}));

    // A button event takes the cursor position.
    setCursorPosition(kavtypes::Vector2(7, 8));
    EventArgs seen(nullptr, 0, 0, 0u, "");
    s.pb->action = [&seen](EventArgs* args) { seen = *args; };
    s.b->triggerEvent("Ev", 7, "pad");
    s.dataset->processEvents();
    EXPECT_EQ(std::make_tuple(seen.object, seen.buttonCode, seen.x, seen.y, seen.extra),
              std::make_tuple(s.b, 7, 7.0f, 8.0f, hstring("pad")));
}

TEST(Events, replacingAHandlerDropsItsQueuedEntriesButRegisteringItAgainKeepsThem)
{
    Scene s;
    s.a->triggerEvent("Ev", 0u, "old");
    s.b->triggerEvent("Ev", 0u, "kept");
    s.a->registerEvent("Ev", std::make_shared<Probe>("new"));
    s.b->registerEvent("Ev", s.pb);
    s.run({"ax"});
    EXPECT_EQ(ran, harray<hstring>({"b:kept", "new:x"}));
    s.a->registerEvent("Ev", std::shared_ptr<Event>());
    EXPECT_FALSE(s.a->triggerEvent("Ev", 0u));
}

TEST(Events, aThrowingHandlerIsFreedAndLeavesTheRestQueued)
{
    Scene s;
    s.pa->action = [](EventArgs*) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(s.run({"a1", "b2"}), std::runtime_error);
    EXPECT_EQ(ran, harray<hstring>({"a:1"}));
    s.dataset->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"a:1", "b:2"}));
}

TEST(Events, handlersMayDestroyObjectsTheirOwnHandlerAndTheDataset)
{
    Scene s;
    // Destroying the sibling drops its queued entry.
    s.pa->action = [&s](EventArgs*) { s.dataset->destroyObject("b"); };
    s.run({"a1", "b2"});
    EXPECT_EQ(ran, harray<hstring>({"a:1"}));
    // Replacing itself from inside.
    s.pa->action = [&s](EventArgs*) { s.a->registerEvent("Ev", std::make_shared<Probe>("a2")); };
    s.run({"a1"});
    s.run({"a2"});
    EXPECT_EQ(ran, harray<hstring>({"a2:2"}));
    // Destroying its own object deletes the running handler only once it has returned.
    s.a->registerEvent("Ev", std::make_shared<Probe>("a3",
                                                     [&s](EventArgs* args)
                                                     {
                                                         s.dataset->destroyObject(args->object);
                                                         ran.push_back("after");
                                                     }));
    s.run({"a1", "a2"});
    EXPECT_EQ(ran, harray<hstring>({"a3:1", "after"}));

    // Deleting the whole dataset stops the queue and frees the rest.
    Dataset* doomed = new Dataset("", "doomed");
    Object* d = new Object("d", Rectangle(0, 0, 1, 1));
    doomed->registerObjects(d);
    d->registerEvent("Ev", std::make_shared<Probe>("d", [doomed](EventArgs*) { delete doomed; }));
    d->triggerEvent("Ev", 0u, "1");
    d->triggerEvent("Ev", 0u, "2");
    ran.clear();
    doomed->processEvents();
    EXPECT_EQ(ran, harray<hstring>({"d:1"}));
}

namespace
{
    // An object whose member function answers another object's event.
    class Listener : public Object
    {
    public:
        using Object::Object;
        void onEvent(EventArgs* args) { ran.push_back(this->getName() + ":" + args->extra); }
    };
} // namespace

TEST(Events, aMemberHandlerWhoseReceiverIsGoneDoesNothing)
{
    Scene s;
    Listener* listener = new Listener("listener", Rectangle(0, 0, 1, 1));
    s.root->addChild(listener);
    s.dataset->registerObjects(listener);
    s.a->registerEvent("Ev", std::make_shared<MemberCallbackEvent>(&Listener::onEvent, listener));
    s.run({"a1"});
    EXPECT_EQ(ran, harray<hstring>({"listener:1"}));
    s.dataset->destroyObject("listener");
    s.run({"a2", "b3"});
    EXPECT_EQ(ran, harray<hstring>({"b:3"}));
}

namespace
{
    // Notes its run, what it does to itself, that it carries on after that, and its free.
    class SelfRetiring : public Event
    {
    public:
        explicit SelfRetiring(std::function<void(EventArgs*)> action) : action(std::move(action)) {}
        ~SelfRetiring() override { ran.push_back("freed " + this->tag); }
        void execute(EventArgs* args) override
        {
            ran.push_back("run " + args->extra);
            this->action(args);
            // Reads its own members: the run's share keeps them.
            ran.push_back("after " + this->tag);
        }
        hstring tag = "self";
        std::function<void(EventArgs*)> action;
    };
} // namespace

TEST(Events, aHandlerThatLetsGoOfItselfFinishesItsRunAndIsFreedOnceAfterIt)
{
    using Action = std::function<void(Scene&, EventArgs*)>;
    const Action destroyItsObject = [](Scene& s, EventArgs* args) { s.dataset->destroyObject(args->object); };
    const harray<hstring> once = {"run 1", "after self", "freed self"};
    struct Case
    {
        const char* name;
        bool deferred;
        Action action;
        harray<hstring> journal;
    };
    const Case cases[] = {
        {"unregisters itself", false, [](Scene& s, EventArgs*) { s.a->unregisterEvent("Ev"); }, once},
        {"replaces itself", false,
         [](Scene& s, EventArgs*) { s.a->registerEvent("Ev", std::make_shared<Probe>("other")); }, once},
        {"registers no handler", false,
         [](Scene& s, EventArgs*) { s.a->registerEvent("Ev", std::shared_ptr<Event>()); }, once},
        {"destroys its object", false, destroyItsObject, once},
        {"destroys its object, freed later", true, destroyItsObject, once},
        // The inner run, of the entry queued next, lets go of the handler; the outer one still holds it.
        {"unregisters itself in a nested run",
         false,
         [](Scene& s, EventArgs* args)
         {
             if (args->extra == "1")
                 s.dataset->processEvents();
             else
                 s.a->unregisterEvent("Ev");
         },
         {"run 1", "run 2", "after self", "after self", "freed self"}},
    };
    const bool deferring = isDeferringFrees();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        setDeferredFrees(c.deferred);
        {
            Scene s;
            Scene* scene = &s;
            const Action action = c.action;
            s.a->registerEvent("Ev", std::make_shared<SelfRetiring>([scene, action](EventArgs* args)
                                                                    { action(*scene, args); }));
            s.a->triggerEvent("Ev", 0u, "1");
            s.a->triggerEvent("Ev", 0u, "2");
            ran.clear();
            s.dataset->processEvents();
            freeDestroyed();
            EXPECT_EQ(ran, c.journal);
            ran.clear();
        }
        // Nothing of it was left for the dataset to free.
        EXPECT_EQ(ran, harray<hstring>());
    }
    setDeferredFrees(deferring);
}
