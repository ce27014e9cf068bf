#include <functional>
#include <memory>
#include <string>

#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>

#include "UiTestSupport.h"

namespace
{
    struct Handler : public tesraui::Event
    {
        std::function<void(tesraui::EventArgs*)> then;
        void execute(tesraui::EventArgs* args) override
        {
            if (this->then)
            {
                this->then(args);
            }
        }
    };

    std::shared_ptr<Handler> noting(uitest::Lines& journal, const std::string& text)
    {
        auto event = std::make_shared<Handler>();
        event->then = [&journal, text](tesraui::EventArgs*) { journal.push_back(text); };
        return event;
    }
} // namespace

// What is raised once and relied on (a deletion, a callback, a focus change, the end of a video) was dropped
// with the flood while the queue was full, or while handlers had queued their share of a frame. Queued in
// turn, it waits for room behind those waiting before it, runs once in the order it came, ahead of anything
// queued after it, and the queue itself still holds its bound.
TEST(DatasetEventsInTurn, WaitForRoomInTheirOrderAndAreNeverDropped)
{
    struct Case
    {
        const char* name;
        bool fromHandler; // no room because handlers queued their share, else because the queue is full
    };
    for (const Case& c : {Case{"the queue full", false}, Case{"handlers' share used", true}})
    {
        uitest::LogCapture log;
        uitest::Lines journal;
        tesraui::Dataset dataset("", "turns");
        auto* a = new tesraui::Object("a", kavtypes::Rectangle(0, 0, 1, 1));
        auto* b = new tesraui::Object("b", kavtypes::Rectangle(0, 0, 1, 1));
        dataset.registerObjects(a);
        dataset.registerObjects(b);
        a->registerEvent("Done", noting(journal, "a Done"));
        b->registerEvent("GainFocus", noting(journal, "b GainFocus"));
        a->registerEvent("LoseFocus", noting(journal, "a LoseFocus"));
        auto flood = std::make_shared<Handler>();
        auto later = noting(journal, "queued later");
        // Raised when there is no room: two in turn, a focus change (two more), and one queued plainly.
        const auto raise = [&]
        {
            EXPECT_FALSE(dataset.hasRoomForEvents(1)) << c.name;
            a->triggerEventInTurn("Done", 0u, "");
            dataset.queueEventInTurn(noting(journal, "direct"), nullptr);
            dataset.focus(a);
            dataset.focus(b);
            dataset.queueEvent(later, nullptr);
        };
        if (c.fromHandler)
        {
            auto filler = std::make_shared<Handler>();
            filler->then = [&](tesraui::EventArgs*)
            {
                for (int i = 0; i < tesraui::Dataset::maxEventsQueuedByHandlers; ++i)
                {
                    dataset.queueEvent(flood, nullptr);
                }
                raise();
            };
            dataset.queueEvent(filler, nullptr);
        }
        else
        {
            for (int i = 0; i < tesraui::Dataset::maxQueuedEvents; ++i)
            {
                dataset.queueEvent(flood, nullptr);
            }
            raise();
        }
        int largest = 0;
        for (int call = 0; call < 5; ++call)
        {
            dataset.processEvents();
            largest = std::max(largest, dataset.getQueuedEventCount());
        }
        EXPECT_LE(largest, +tesraui::Dataset::maxQueuedEvents) << c.name;
        EXPECT_EQ(dataset.getQueuedEventCount() + dataset.getWaitingEventCount(), 0) << c.name;
        EXPECT_TRUE(dataset.hasRoomForEvents(tesraui::Dataset::maxQueuedEvents)) << c.name;
        EXPECT_EQ(journal, (uitest::Lines{"a Done", "direct", "a LoseFocus", "b GainFocus"})) << c.name;
        // Only the plain one was dropped, and said so.
        const uitest::Lines lines = log.take();
        ASSERT_FALSE(lines.empty()) << c.name;
        EXPECT_NE(lines[0].find("dropped event '?' of object '?'"), std::string::npos) << lines[0];
    }
}

// A waiting event goes as a queued one does: with its handler, with the object it names, and with its
// dataset; what waits behind it moves up.
TEST(DatasetEventsInTurn, WaitingEventsAreTakenBackAsQueuedOnes)
{
    uitest::Lines journal;
    tesraui::Dataset dataset("", "withdrawn");
    auto* gone = new tesraui::Object("gone", kavtypes::Rectangle(0, 0, 1, 1));
    auto* named = new tesraui::Object("named", kavtypes::Rectangle(0, 0, 1, 1));
    dataset.registerObjects(gone);
    dataset.registerObjects(named);
    gone->registerEvent("Done", noting(journal, "gone Done"));
    auto flood = std::make_shared<Handler>();
    for (int i = 0; i < tesraui::Dataset::maxQueuedEvents; ++i)
    {
        dataset.queueEvent(flood, nullptr);
    }
    auto replaced = noting(journal, "removed handler");
    dataset.queueEventInTurn(replaced, nullptr);
    gone->triggerEventInTurn("Done", 0u, "");
    dataset.queueEventInTurn(noting(journal, "naming a destroyed object"),
                             std::make_unique<tesraui::EventArgs>(named, 0.0f, 0.0f, 0u, ""));
    dataset.queueEventInTurn(noting(journal, "last"), nullptr);
    EXPECT_EQ(dataset.getWaitingEventCount(), 4);
    dataset.removeQueuedEvents(replaced.get());
    dataset.destroyObject(gone);
    dataset.destroyObject(named);
    EXPECT_EQ(dataset.getWaitingEventCount(), 1);
    for (int call = 0; call < 3; ++call)
    {
        dataset.processEvents();
    }
    EXPECT_EQ(journal, uitest::Lines{"last"});

    // Left waiting when the dataset goes: freed with it (the leak check watches).
    auto* doomed = new tesraui::Dataset("", "doomed");
    for (int i = 0; i < tesraui::Dataset::maxQueuedEvents; ++i)
    {
        doomed->queueEvent(flood, nullptr);
    }
    doomed->queueEventInTurn(noting(journal, "never"), nullptr);
    delete doomed;
    EXPECT_EQ(journal, uitest::Lines{"last"});
}

// A handler that raises its own event in turn twice for each of its runs grew what waits for room by
// thousands at every call, past the queue's bound and without end. One waiting entry of a handler for an
// object stands for the later ones; another object's still waits beside it.
TEST(DatasetEventsInTurn, WhatWaitsStaysWithinAHandlerForEachObject)
{
    tesraui::Dataset dataset("", "doubling");
    auto* a = new tesraui::Object("a", kavtypes::Rectangle(0, 0, 1, 1));
    auto* b = new tesraui::Object("b", kavtypes::Rectangle(0, 0, 1, 1));
    dataset.registerObjects(a);
    dataset.registerObjects(b);
    bool doubling = true;
    int runs = 0;
    auto changed = std::make_shared<Handler>();
    changed->then = [&](tesraui::EventArgs* args)
    {
        ++runs;
        for (int i = 0; doubling && i < 2; ++i)
        {
            args->object->triggerEventInTurn("Changed", 0u, "");
        }
    };
    a->registerEvent("Changed", changed);
    b->registerEvent("Changed", changed);
    a->triggerEventInTurn("Changed", 0u, "");
    b->triggerEventInTurn("Changed", 0u, "");
    for (int call = 0; call < 5; ++call)
    {
        dataset.processEvents();
        EXPECT_LE(dataset.getWaitingEventCount(), 2) << "call " << call;
        EXPECT_LE(dataset.getQueuedEventCount(), +tesraui::Dataset::maxQueuedEvents) << "call " << call;
    }
    EXPECT_GE(dataset.getWaitingEventCount(), 1);
    doubling = false;
    const int before = runs;
    for (int call = 0; call < 5; ++call)
    {
        dataset.processEvents();
    }
    EXPECT_EQ(dataset.getQueuedEventCount() + dataset.getWaitingEventCount(), 0);
    EXPECT_GT(runs, before);
}
