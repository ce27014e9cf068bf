#include <functional>
#include <memory>
#include <string>

#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/tesraui.h>

#include "EngineHarness.h"
#include "Scene.h"
#include "objects/HiddenObject.h"
#include "ui/UI.h"

using namespace vumo;

using harness::Engine;

namespace
{
    struct Call : public tesraui::Event
    {
        std::function<void()> then;
        void execute(tesraui::EventArgs*) override
        {
            if (this->then)
            {
                this->then();
            }
        }
    };

    // A hidden object found from the test, as a click finds it.
    struct Finding : public HiddenObject
    {
        Finding() : HiddenObject("hidden", kavtypes::Rectangle(0, 0, 10, 10)) {}
        using HiddenObject::found;
    };
} // namespace

// One chapter, ch1, with the scenes a and b; the scripts note into the journal.
class OneShotEvents : public harness::GameTest
{
protected:
    void SetUp() override
    {
        folder.config("scene: ch1.a\n");
        folder.put("data/ui/ui.dts", "<Dataset/>");
        folder.putJournal();
        folder.put("data/chapters/ch1/ch1.datadef", "<Dataset/>");
        folder.put("data/chapters/ch1/scenes/a.scene", "");
        folder.put("data/chapters/ch1/scenes/b.scene", "");
        engine.reset(new Engine(folder));
        engine->start();
        ASSERT_NE(Session::getActiveScene(), nullptr) << engine->logText();
        harness::createGameVariable("found_it", "0");
    }
    // The tree each case works in: the active scene's, or the UI's, which a scene switch leaves.
    tesraui::Object* root() const
    {
        if (this->inUi)
        {
            return UI::getInstance()->getRootObject();
        }
        return Session::getActiveScene()->getRootObject();
    }
    tesraui::Dataset* dataset() const { return this->root()->getDataset(); }
    tesraui::Object* add(tesraui::Object* object, tesraui::Object* parent = nullptr)
    {
        this->dataset()->registerObjects(object);
        (parent != nullptr ? parent : this->root())->addChild(object);
        return object;
    }
    // The dataset's queue filled to its bound with events whose handlers queue one more each, as clicks
    // that click again keep it: full after every run of the queue, when the tree's update comes.
    void flood()
    {
        if (this->flooding == nullptr)
        {
            this->flooding = std::make_shared<Call>();
        }
        this->flooding->then = [this] { this->dataset()->queueEvent(this->flooding, nullptr); };
        while (this->dataset()->hasRoomForEvents(1))
        {
            this->dataset()->queueEvent(this->flooding, nullptr);
        }
    }
    void endFlood()
    {
        if (this->flooding != nullptr)
        {
            this->flooding->then = nullptr;
        }
    }
    void TearDown() override { this->endFlood(); }

    bool inUi = false;

private:
    std::shared_ptr<Call> flooding;
};

// What the engine raises once and relies on was dropped while a flood kept the queue full: a destructor
// object's deletion (its parent then stood for good), a hidden object's "Found" and the scene reset after
// it. Each waits for room now, as a delayed call's callback does, and comes in a frame or two.
TEST_F(OneShotEvents, EachComesWhileAFloodKeepsTheQueueFull)
{
    struct Case
    {
        const char* name;
        bool inUi;
        std::function<void()> start;
        std::function<bool()> done;
    };
    int found = 0;
    const Case cases[] = {
        {"an object destructor's deletion", false,
         [&]
         {
             tesraui::Object* doomed =
                 this->add(tesraui::createObject("Container", "doomed", kavtypes::Rectangle(0, 0, 1, 1)));
             this->add(tesraui::createObject("ObjectDestructor", "d", kavtypes::Rectangle(0, 0, 1, 1)),
                       doomed);
         },
         [&] { return !this->dataset()->hasObject("doomed") && !this->dataset()->hasObject("d"); }},
        {"a delayed call's callback", false,
         [&] { engine->lua("scene.delayedCall(function() note('called') end, 0)"); },
         [&] { return engine->lua("table.concat(journal, ' ')") == "called"; }},
        {"a hidden object's find and the reset after it", false,
         [&]
         {
             engine->lua(
                 "(function() local reset = scene._queued_reset; "
                 "scene._queued_reset = function(name) note('reset ' .. name); reset(name) end end)()");
             auto* hidden = static_cast<Finding*>(this->add(new Finding()));
             hidden->setProperty("var", "found_it");
             hidden->setProperty("value", "1");
             auto counting = std::make_shared<Call>();
             counting->then = [&found] { ++found; };
             hidden->registerEvent("Found", counting);
             hidden->found();
         },
         [&] { return found == 1 && engine->lua("table.concat(journal, ' ')") == "reset ch1.a"; }},
        {"a scene switch destructor's deletion", true,
         [&]
         {
             tesraui::Object* piece =
                 this->add(tesraui::createObject("Container", "piece", kavtypes::Rectangle(0, 0, 1, 1)));
             this->add(tesraui::createObject("SceneSwitchDestructor", "s", kavtypes::Rectangle(0, 0, 1, 1)),
                       piece);
             engine->lua("scene.switch({scene = 'b', time = 0, effect = 'none'})");
         },
         [&] { return !this->dataset()->hasObject("piece") && !this->dataset()->hasObject("s"); }},
    };
    for (const Case& c : cases)
    {
        this->inUi = c.inUi;
        engine->lua("(function() journal = {} end)()");
        for (int frame = 0; frame < 10; ++frame)
        {
            this->flood();
            if (frame == 2)
            {
                c.start();
            }
            engine->frame();
        }
        this->endFlood();
        EXPECT_TRUE(engine->waitUntil(c.done)) << c.name << "\n" << engine->logText();
        EXPECT_LE(this->dataset()->getQueuedEventCount(), +tesraui::Dataset::maxQueuedEvents) << c.name;
    }
    EXPECT_EQ(Session::getActiveScene()->getFullName(), "ch1.b");
}
