#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>

#include "UiTestSupport.h"

namespace
{
    harray<hstring> ran;

    // Notes the text of its arguments, then does what the test asks of it.
    struct Noting : public tesraui::Event
    {
        std::function<void()> then;
        void execute(tesraui::EventArgs* args) override
        {
            ran.push_back(args->extra);
            if (then)
            {
                then();
            }
        }
    };

    std::unique_ptr<tesraui::EventArgs> argsOf(const hstring& text)
    {
        return std::make_unique<tesraui::EventArgs>(nullptr, 0.0f, 0.0f, 0u, text);
    }

    // A share of a handler the test keeps on its stack, which outlives every run of it.
    std::shared_ptr<tesraui::Event> held(tesraui::Event* event)
    {
        return std::shared_ptr<tesraui::Event>(event, [](tesraui::Event*) {});
    }
} // namespace

// The arguments of every entry that never runs are freed with it: the leak check watches these too.
TEST(DatasetEventQueue, RunsInOrderWithLateComersAndDropsOnlyTheRemovedHandlersEntries)
{
    ran.clear();
    tesraui::Dataset dataset("", "events");
    Noting first, second, late;
    first.then = [&] { dataset.queueEvent(held(&late), argsOf("late")); };
    dataset.queueEvent(held(&first), argsOf("a"));
    dataset.queueEvent(held(&second), argsOf("b"));
    dataset.queueEvent(held(&first), argsOf("c"));
    dataset.queueEvent(held(&second), argsOf("d"));
    dataset.removeQueuedEvents(&second);
    dataset.processEvents();
    EXPECT_EQ(ran, (harray<hstring>{"a", "c", "late", "late"}));

    // Left queued when the dataset goes.
    dataset.queueEvent(held(&second), argsOf("never"));
}

TEST(DatasetEventQueue, AHandlerThatDeletesItsDatasetEndsTheRunAndTheRestGoesWithIt)
{
    ran.clear();
    auto* dataset = new tesraui::Dataset("", "doomed");
    Noting killer, after;
    killer.then = [&] { delete dataset; };
    dataset->queueEvent(held(&killer), argsOf("kill"));
    dataset->queueEvent(held(&after), argsOf("after"));
    dataset->processEvents();
    EXPECT_EQ(ran, (harray<hstring>{"kill"}));
}

// A handler that triggers its own event, and two that trigger each other, run up to the bound per call; the
// warning comes once until the queue has emptied, and the events go on in the next call.
TEST(DatasetEventQueue, HandlersThatKeepTriggeringRunUpToTheBoundPerCall)
{
    const int bound = tesraui::Dataset::maxEventsPerCall;
    struct Case
    {
        const char* name;
        int handlers; // 1: triggers itself, 2: each triggers the other
    };
    for (const Case& c : {Case{"itself", 1}, Case{"each other", 2}})
    {
        ran.clear();
        uitest::LogCapture log;
        tesraui::Dataset dataset("", "loops");
        Noting a, b;
        bool going = true;
        a.then = [&] { going ? dataset.queueEvent(held(c.handlers == 1 ? &a : &b), argsOf("a")) : void(); };
        b.then = [&] { going ? dataset.queueEvent(held(&a), argsOf("b")) : void(); };
        dataset.queueEvent(held(&a), argsOf("a"));
        std::vector<int> runs;
        for (int call = 0; call < 3; ++call)
        {
            ran.clear();
            dataset.processEvents();
            runs.push_back(ran.size());
        }
        EXPECT_EQ(runs, (std::vector<int>{bound, bound, bound})) << c.name;
        EXPECT_EQ(dataset.getQueuedEventCount(), 1) << c.name;
        const uitest::Lines warning = {"WARNING: Dataset 'loops' ran " + std::to_string(bound) +
                                       " events in one frame and left 1 for the next: an event handler may "
                                       "be triggering its own event."};
        EXPECT_EQ(log.take(), warning) << c.name;

        // Once the queue has emptied, a new loop is reported again.
        going = false;
        dataset.processEvents();
        EXPECT_EQ(dataset.getQueuedEventCount(), 0) << c.name;
        going = true;
        dataset.queueEvent(held(&a), argsOf("a"));
        dataset.processEvents();
        EXPECT_EQ(log.take(), warning) << c.name;
        going = false;
    }
}

// Handlers that trigger an event twice each run (their own, or one of another dataset whose handler triggers
// theirs back) would double the queue every call: what they queue past the bound is dropped, named in one
// error, and the rest counted in one more line once they quiet down.
TEST(DatasetEventQueue, WhatHandlersQueuePastTheBoundIsDroppedAndCounted)
{
    const int bound = tesraui::Dataset::maxEventsQueuedByHandlers;
    struct Case
    {
        const char* name;
        bool across; // a's handler triggers b's event in the other dataset, b's handler a's
    };
    for (const Case& c : {Case{"itself", false}, Case{"across datasets", true}})
    {
        uitest::LogCapture log;
        tesraui::Dataset first("", "one");
        tesraui::Dataset second("", "two");
        auto* a = new tesraui::Object("a", kavtypes::Rectangle(0, 0, 1, 1));
        auto* b = new tesraui::Object("b", kavtypes::Rectangle(0, 0, 1, 1));
        first.registerObjects(a);
        second.registerObjects(b);
        bool going = true;
        tesraui::Object* target = c.across ? b : a;
        auto loop = std::make_shared<Noting>();
        loop->then = [&]
        {
            if (going)
            {
                target->triggerEvent("Click", 0u, "x");
                target->triggerEvent("Click", 0u, "x");
            }
        };
        auto back = std::make_shared<Noting>();
        back->then = [&]
        {
            if (going)
            {
                a->triggerEvent("Click", 0u, "x");
                a->triggerEvent("Click", 0u, "x");
            }
        };
        a->registerEvent("Click", loop);
        b->registerEvent("Click", back);
        a->triggerEvent("Click", 0u, "x");
        std::vector<int> queued;
        for (int call = 0; call < 12; ++call)
        {
            first.processEvents();
            second.processEvents();
            queued.push_back(first.getQueuedEventCount() + second.getQueuedEventCount());
        }
        for (int size : queued)
        {
            EXPECT_LE(size, 2 * bound) << c.name;
        }
        // Each dataset whose handlers' queue overflowed names the first event it dropped, once.
        std::vector<std::string> firsts;
        for (const std::string& line : log.take())
        {
            if (line.rfind("ERROR: ", 0) == 0)
            {
                firsts.push_back(line);
            }
        }
        const auto named = [&](const std::string& dataset, const std::string& object)
        {
            return "ERROR: Dataset '" + dataset + "' dropped event 'Click' of object '" + object +
                   "': event handlers queued more than " + std::to_string(bound) +
                   " events in one frame. Further drops are counted.";
        };
        std::vector<std::string> expected = {named("one", "one.a")};
        if (c.across)
        {
            expected = {named("one", "one.a"), named("two", "two.b")};
        }
        EXPECT_EQ(firsts, expected) << c.name;

        // Quiet again: the queues drain and each writes the count of its other drops once.
        going = false;
        for (int call = 0; call < 3; ++call)
        {
            first.processEvents();
            second.processEvents();
        }
        EXPECT_EQ(first.getQueuedEventCount() + second.getQueuedEventCount(), 0) << c.name;
        const uitest::Lines after = log.take();
        ASSERT_EQ(after.size(), expected.size()) << c.name;
        for (const std::string& line : after)
        {
            EXPECT_TRUE(line.rfind("ERROR: Dataset '", 0) == 0 &&
                        line.find(" more events queued by event handlers beyond " + std::to_string(bound) +
                                  " in a frame.") != std::string::npos)
                << line;
        }
    }
}

// Events queued from outside the handlers (a script run every frame) were not counted: 20,000 a frame grew
// the queue without end, a click waited longer every frame, and the error blamed a handler; and an event
// without arguments dropped past a bound had its null arguments read. The queue holds its bound whoever
// queues, and says so without blaming a handler.
TEST(DatasetEventQueue, TheWholeQueueHoldsItsBoundWhoeverQueues)
{
    const int bound = tesraui::Dataset::maxQueuedEvents;
    struct Case
    {
        const char* name;
        bool arguments;   // the events carry arguments naming their object
        bool fromHandler; // queued by a handler that queues two each run, else from outside every call
    };
    for (const Case& c : {Case{"from outside", true, false}, Case{"from outside, no arguments", false, false},
                          Case{"from a handler, no arguments", false, true}})
    {
        uitest::LogCapture log;
        tesraui::Dataset dataset("", "flood");
        auto* flooder = new tesraui::Object("flooder", kavtypes::Rectangle(0, 0, 1, 1));
        auto* button = new tesraui::Object("button", kavtypes::Rectangle(0, 0, 1, 1));
        dataset.registerObjects(flooder);
        dataset.registerObjects(button);
        int runs = 0;
        bool clicked = false;
        bool going = true;
        struct Run : public tesraui::Event
        {
            std::function<void()> then;
            void execute(tesraui::EventArgs*) override { then(); }
        };
        auto flood = std::make_shared<Run>();
        const auto queueOne = [&]
        {
            if (c.arguments)
            {
                flooder->triggerEvent("Tick", 0u, "x");
            }
            else
            {
                dataset.queueEvent(flood, nullptr);
            }
        };
        flood->then = [&]
        {
            ++runs;
            if (going && c.fromHandler)
            {
                queueOne();
                queueOne();
            }
        };
        auto click = std::make_shared<Run>();
        click->then = [&] { clicked = true; };
        flooder->registerEvent("Tick", flood);
        button->registerEvent("Click", click);
        int largest = 0;
        queueOne();
        for (int call = 0; call < 6; ++call)
        {
            dataset.processEvents();
            for (int i = 0; !c.fromHandler && i < 2 * tesraui::Dataset::maxEventsPerCall; ++i)
            {
                queueOne();
            }
            largest = std::max(largest, dataset.getQueuedEventCount());
        }
        EXPECT_LE(largest, bound) << c.name;
        EXPECT_GT(runs, 0) << c.name;
        const std::string named = c.arguments ? "'Tick' of object 'flood.flooder'" : "'?' of object '?'";
        const std::string perCall = std::to_string(tesraui::Dataset::maxEventsPerCall);
        const uitest::Lines first =
            c.fromHandler
                ? uitest::Lines{"ERROR: Dataset 'flood' dropped event " + named +
                                    ": event handlers queued more than " + perCall +
                                    " events in one frame. Further drops are counted.",
                                "WARNING: Dataset 'flood' ran " + perCall +
                                    " events in one frame and left 1 for the next: an event handler may be "
                                    "triggering its own event."}
                : uitest::Lines{"WARNING: Dataset 'flood' ran " + perCall + " events in one frame and left " +
                                    perCall + " for the next: events are queued faster than they run.",
                                "ERROR: Dataset 'flood' dropped event " + named + ": " +
                                    std::to_string(bound) +
                                    " events wait in its queue, queued faster than they run. Further drops "
                                    "are counted."};
        EXPECT_EQ(log.take(), first) << c.name;

        // Quiet again: the queue drains, the other drops are counted once, and a click runs at the next call.
        going = false;
        for (int call = 0; call < 3; ++call)
        {
            dataset.processEvents();
        }
        EXPECT_EQ(dataset.getQueuedEventCount(), 0) << c.name;
        const uitest::Lines counted = log.take();
        ASSERT_EQ(counted.size(), 1u) << c.name;
        EXPECT_NE(counted[0].find(c.fromHandler ? " more events queued by event handlers beyond "
                                                : " more events while its queue was full."),
                  std::string::npos)
            << counted[0];
        button->triggerEvent("Click", 0u, "x");
        dataset.processEvents();
        EXPECT_TRUE(clicked) << c.name;
    }
}

// Entries queued, removed and run in any interleaving come out as a plain list that removes by searching
// would give them, arguments and all; events are also queued again after their removal, and removed by
// the handler that runs.
TEST(DatasetEventQueue, RemovalsInAnyInterleavingKeepTheOrderOfTheRest)
{
    Noting events[5];
    tesraui::Dataset dataset("", "mixed");
    std::deque<std::pair<tesraui::Event*, hstring>> reference;
    harray<hstring> expected;
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t range)
    {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % range;
    };
    int label = 0;
    for (int step = 0; step < 4000; ++step)
    {
        const uint32_t what = next(10);
        tesraui::Event* event = &events[next(5)];
        if (what < 6)
        {
            const hstring text = hstring(label++);
            dataset.queueEvent(held(event), argsOf(text));
            reference.emplace_back(event, text);
        }
        else if (what < 8)
        {
            dataset.removeQueuedEvents(event);
            reference.erase(std::remove_if(reference.begin(), reference.end(),
                                           [event](const auto& entry) { return entry.first == event; }),
                            reference.end());
        }
        else if (what == 8)
        {
            // Runs one: its handler removes another event's entries as it runs.
            Noting* other = &events[next(5)];
            for (Noting& handler : events)
            {
                handler.then = [&, other]
                {
                    dataset.removeQueuedEvents(other);
                    for (Noting& each : events)
                    {
                        each.then = nullptr;
                    }
                };
            }
            ran.clear();
            dataset.processEvents();
            // Everything queued runs; the first handler's removal took the other's later entries.
            harray<hstring> want;
            if (!reference.empty())
            {
                want.push_back(reference.front().second);
                reference.pop_front();
                reference.erase(std::remove_if(reference.begin(), reference.end(),
                                               [other](const auto& entry) { return entry.first == other; }),
                                reference.end());
                for (const auto& entry : reference)
                {
                    want.push_back(entry.second);
                }
                reference.clear();
            }
            for (Noting& handler : events)
            {
                handler.then = nullptr;
            }
            ASSERT_EQ(ran, want) << "step " << step;
        }
        ASSERT_EQ(dataset.getQueuedEventCount(), (int)reference.size()) << "step " << step;
    }
    ran.clear();
    dataset.processEvents();
    for (const auto& entry : reference)
    {
        expected.push_back(entry.second);
    }
    EXPECT_EQ(ran, expected);
}
