#include <tesraui/EventArgs.h>
#include <tesraui/EventQueue.h>

namespace tesraui
{
    void EventQueue::push(Event* event, std::unique_ptr<EventArgs> args)
    {
        if (event == nullptr)
        {
            return;
        }
        const uint64_t number = this->nextNumber;
        this->entries.push_back(Entry{event, std::move(args), 0});
        ++this->nextNumber;
        ++this->live;
        auto found = this->chains.find(event);
        if (found == this->chains.end())
        {
            this->chains.emplace(event, Chain{number, number});
            return;
        }
        this->at(found->second.last).next = number;
        found->second.last = number;
    }

    void EventQueue::remove(Event* event)
    {
        auto found = this->chains.find(event);
        if (found == this->chains.end())
        {
            return;
        }
        for (uint64_t number = found->second.first; number != 0;)
        {
            Entry& entry = this->at(number);
            number = entry.next;
            entry.event = nullptr;
            entry.args.reset();
            entry.next = 0;
            --this->live;
        }
        this->chains.erase(found);
        this->trimRemoved();
    }

    bool EventQueue::pop(Event*& event, std::unique_ptr<EventArgs>& args)
    {
        this->trimRemoved();
        if (this->entries.empty())
        {
            return false;
        }
        Entry& entry = this->entries.front();
        event = entry.event;
        args = std::move(entry.args);
        auto found = this->chains.find(event);
        if (entry.next == 0)
        {
            this->chains.erase(found);
        }
        else
        {
            found->second.first = entry.next;
        }
        this->entries.pop_front();
        --this->live;
        return true;
    }

    void EventQueue::clear()
    {
        this->entries.clear();
        this->chains.clear();
        this->live = 0;
    }

    void EventQueue::trimRemoved()
    {
        while (!this->entries.empty() && this->entries.front().event == nullptr)
        {
            this->entries.pop_front();
        }
        // The numbers of those left stay what they were: the front's is counted back from the next one.
        while (!this->entries.empty() && this->entries.back().event == nullptr)
        {
            this->entries.pop_back();
            --this->nextNumber;
        }
    }
} // namespace tesraui
