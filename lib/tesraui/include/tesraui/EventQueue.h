#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>

namespace tesraui
{
    class Event;
    class EventArgs;
    class Object;

    // A dataset's queue of events and the arguments it owns, in the order queued; each entry shares its
    // handler, which its run then holds. Every object that goes
    // takes its events' entries out: each event's entries are chained, so that this costs what the event
    // has queued and not what the whole queue holds.
    class EventQueue
    {
    public:
        EventQueue() = default;
        EventQueue(const EventQueue&) = delete;
        EventQueue& operator=(const EventQueue&) = delete;

        bool empty() const { return this->live == 0; }
        int size() const { return this->live; }
        void push(std::shared_ptr<Event> event, std::unique_ptr<EventArgs> args);
        // Frees the arguments of the event's entries and drops them.
        void remove(const Event* event);
        // Whether an entry of the event whose arguments name the object (null: none) is queued; costs what
        // the event has queued.
        bool holds(const Event* event, const Object* object);
        // Drops the entries whose arguments name the object; costs nothing while none does.
        void removeNaming(const Object* object);
        // The first entry still queued, taken out; false when there is none.
        bool pop(std::shared_ptr<Event>& event, std::unique_ptr<EventArgs>& args);
        void clear();

    private:
        // A removed entry keeps its place, without event, until it reaches an end of the queue.
        struct Entry
        {
            std::shared_ptr<Event> event;
            std::unique_ptr<EventArgs> args;
            // The number of the same event's next entry; 0 for none.
            uint64_t next;
        };
        struct Chain
        {
            uint64_t first;
            uint64_t last;
        };

        // Entries are numbered from 1 in the order pushed; the front's number is nextNumber - entries.size().
        std::deque<Entry> entries;
        std::unordered_map<const Event*, Chain> chains;
        uint64_t nextNumber = 1;
        int live = 0;
        // How many live entries name each object in their arguments.
        std::unordered_map<const Object*, int> named;

        Entry& at(uint64_t number)
        {
            return this->entries[number - (this->nextNumber - this->entries.size())];
        }
        void trimRemoved();
        void countNamed(const EventArgs* args, int change);
    };
} // namespace tesraui
