#include <memory>

#include <quortypes/Log.h>
#include <quortypes/UnderWay.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

// A dataset's event queue: its bound, the events that wait for room in turn and the run of the queue.
namespace tesraui
{
    namespace
    {
        // Whether an event handler runs now, in any dataset: what it queues counts against the bound.
        bool handlerRunning = false;

        hstring eventNameOf(const Object* object, const Event* event)
        {
            if (object != nullptr)
            {
                for (const auto& [name, held] : object->getEvents())
                {
                    if (held.get() == event)
                    {
                        return name;
                    }
                }
            }
            return "?";
        }
    } // namespace

    bool Dataset::hasRoomForEvents(int count) const
    {
        if (handlerRunning && eventsQueuedByHandlers + count > maxEventsQueuedByHandlers)
        {
            return false;
        }
        return eventQueue.size() + waitingEvents.size() + count <= maxQueuedEvents;
    }

    void Dataset::queueEventInTurn(std::shared_ptr<Event> event, std::unique_ptr<EventArgs> args)
    {
        if (event == nullptr)
        {
            return;
        }
        if (!hasRoomForEvents(1))
        {
            // One entry waiting stands for the handler's later ones on the same object, which would tell
            // it nothing more: a handler that raises such an event twice for each of its runs could otherwise
            // grow what waits without end, as the bound is there to stop.
            if (!waitingEvents.holds(event.get(), args != nullptr ? args->object : nullptr))
            {
                waitingEvents.push(std::move(event), std::move(args));
            }
            return;
        }
        if (handlerRunning)
        {
            ++eventsQueuedByHandlers;
        }
        eventQueue.push(std::move(event), std::move(args));
    }

    void Dataset::_admitWaitingEvents()
    {
        std::shared_ptr<Event> event;
        std::unique_ptr<EventArgs> args;
        while (eventQueue.size() < maxQueuedEvents && waitingEvents.pop(event, args))
        {
            eventQueue.push(std::move(event), std::move(args));
        }
    }

    void Dataset::_removeEventsNaming(const Object* object)
    {
        eventQueue.removeNaming(object);
        waitingEvents.removeNaming(object);
    }

    void Dataset::queueEvent(std::shared_ptr<Event> event, std::unique_ptr<EventArgs> args)
    {
        if (event == nullptr)
        {
            return;
        }
        if (handlerRunning && eventsQueuedByHandlers >= maxEventsQueuedByHandlers)
        {
            if (droppedEvents++ == 0)
            {
                _reportFirstDrop(event.get(), args.get(),
                                 formatString("event handlers queued more than %d events in one frame",
                                              maxEventsQueuedByHandlers));
            }
            return;
        }
        // Events waiting for room have it before any that comes after them.
        if (!hasRoomForEvents(1))
        {
            droppedWhileFullSinceCall = true;
            if (droppedWhileFull++ == 0)
            {
                _reportFirstDrop(event.get(), args.get(),
                                 formatString("%d events wait in its queue, queued faster than they run",
                                              eventQueue.size() + waitingEvents.size()));
            }
            return;
        }
        if (handlerRunning)
        {
            ++eventsQueuedByHandlers;
        }
        eventQueue.push(std::move(event), std::move(args));
    }

    void Dataset::_reportFirstDrop(const Event* event, const EventArgs* args, const hstring& why)
    {
        const Object* object = (args != nullptr ? args->object : nullptr);
        quortypes::Log::errorf(
            logTag, "Dataset '%s' dropped event '%s' of object '%s': %s. Further drops are counted.",
            this->name.c_str(), quortypes::Log::quote(eventNameOf(object, event)).c_str(),
            quortypes::Log::quote(object != nullptr ? object->getFullName() : "?").c_str(), why.c_str());
    }

    void Dataset::_reportDroppedEvents()
    {
        if (droppedEvents > 1)
        {
            quortypes::Log::errorf(
                logTag,
                "Dataset '%s' dropped %lld more events queued by event handlers beyond %d in "
                "a frame.",
                this->name.c_str(), droppedEvents - 1, maxEventsQueuedByHandlers);
        }
        droppedEvents = 0;
    }

    void Dataset::removeQueuedEvents(const Event* event)
    {
        eventQueue.remove(event);
        waitingEvents.remove(event);
    }

    void Dataset::processEvents()
    {
        // A handler may delete this dataset, and the rest of the queue with it.
        LifeToken::Watch alive = life.watch();
        // Handlers stayed within the bound since the last call: the drops, if any, have ended.
        if (droppedEvents > 0 && eventsQueuedByHandlers < maxEventsQueuedByHandlers)
        {
            _reportDroppedEvents();
        }
        eventsQueuedByHandlers = 0;
        // Nothing found the queue full since the last call either.
        if (droppedWhileFull > 0 && !droppedWhileFullSinceCall)
        {
            if (droppedWhileFull > 1)
            {
                quortypes::Log::errorf(logTag,
                                       "Dataset '%s' dropped %lld more events while its queue was full.",
                                       this->name.c_str(), droppedWhileFull - 1);
            }
            droppedWhileFull = 0;
        }
        droppedWhileFullSinceCall = false;
        _admitWaitingEvents();
        for (int count = 0; alive.isAlive(); ++count)
        {
            if (count == maxEventsPerCall && !eventQueue.empty())
            {
                if (!eventLimitReported)
                {
                    // A handler that keeps triggering queues about an event a run; events that came from
                    // elsewhere (a script run every frame) are no handler's doing.
                    const bool handlers = eventsQueuedByHandlers >= maxEventsPerCall / 2;
                    quortypes::Log::warnf(
                        logTag, "Dataset '%s' ran %d events in one frame and left %d for the next: %s.",
                        this->name.c_str(), maxEventsPerCall, eventQueue.size(),
                        handlers ? "an event handler may be triggering its own event"
                                 : "events are queued faster than they run");
                    eventLimitReported = true;
                }
                return;
            }
            // The run's own share: its object may let go of the handler, or go itself, while it runs.
            std::shared_ptr<Event> event;
            std::unique_ptr<EventArgs> args;
            if (!eventQueue.pop(event, args))
            {
                eventLimitReported = false;
                return;
            }
            // The room the event leaves goes to what waits for it before a handler may take it.
            _admitWaitingEvents();
            // Marks the handler's run, also when it throws, and what ran around it (a nested call) once it
            // is over; the rest of the queue then waits for the next call.
            const quortypes::UnderWay<bool> running(handlerRunning, true);
            event->execute(args.get());
        }
    }
} // namespace tesraui
