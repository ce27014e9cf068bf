#include <functional>

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
