#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>

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

    tesraui::EventArgs* argsOf(const hstring& text)
    {
        return new tesraui::EventArgs(nullptr, 0.0f, 0.0f, 0u, text);
    }
} // namespace

// The arguments of every entry that never runs are freed with it: the leak check watches these too.
TEST(DatasetEventQueue, RunsInOrderWithLateComersAndDropsOnlyTheRemovedHandlersEntries)
{
    ran.clear();
    tesraui::Dataset dataset("", "events");
    Noting first, second, late;
    first.then = [&] { dataset.queueEvent(&late, argsOf("late")); };
    dataset.queueEvent(&first, argsOf("a"));
    dataset.queueEvent(&second, argsOf("b"));
    dataset.queueEvent(&first, argsOf("c"));
    dataset.queueEvent(&second, argsOf("d"));
    dataset.removeQueuedEvents(&second);
    dataset.processEvents();
    EXPECT_EQ(ran, (harray<hstring>{"a", "c", "late", "late"}));

    // Left queued when the dataset goes.
    dataset.queueEvent(&second, argsOf("never"));
}

TEST(DatasetEventQueue, AHandlerThatDeletesItsDatasetEndsTheRunAndTheRestGoesWithIt)
{
    ran.clear();
    auto* dataset = new tesraui::Dataset("", "doomed");
    Noting killer, after;
    killer.then = [&] { delete dataset; };
    dataset->queueEvent(&killer, argsOf("kill"));
    dataset->queueEvent(&after, argsOf("after"));
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
        a.then = [&] { going ? dataset.queueEvent(c.handlers == 1 ? &a : &b, argsOf("a")) : void(); };
        b.then = [&] { going ? dataset.queueEvent(&a, argsOf("b")) : void(); };
        dataset.queueEvent(&a, argsOf("a"));
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
        dataset.queueEvent(&a, argsOf("a"));
        dataset.processEvents();
        EXPECT_EQ(log.take(), warning) << c.name;
        going = false;
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
            dataset.queueEvent(event, argsOf(text));
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
