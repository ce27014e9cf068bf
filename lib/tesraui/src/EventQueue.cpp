#include <tesraui/EventArgs.h>
#include <tesraui/EventQueue.h>

namespace tesraui
{
    void EventQueue::push(std::shared_ptr<Event> event, std::unique_ptr<EventArgs> args)
    {
        if (event == nullptr)
        {
            return;
        }
        const uint64_t number = this->nextNumber;
        this->countNamed(args.get(), 1);
        const Event* key = event.get();
        this->entries.push_back(Entry{std::move(event), std::move(args), 0});
        ++this->nextNumber;
        ++this->live;
        auto found = this->chains.find(key);
        if (found == this->chains.end())
        {
            this->chains.emplace(key, Chain{number, number});
            return;
        }
        this->at(found->second.last).next = number;
        found->second.last = number;
    }

    void EventQueue::remove(const Event* event)
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
            this->countNamed(entry.args.get(), -1);
            entry.event.reset();
            entry.args.reset();
            entry.next = 0;
            --this->live;
        }
        this->chains.erase(found);
        this->trimRemoved();
    }

    bool EventQueue::holds(const Event* event, const Object* object)
    {
        auto found = this->chains.find(event);
        if (found == this->chains.end())
        {
            return false;
        }
        for (uint64_t number = found->second.first; number != 0;)
        {
            const Entry& entry = this->at(number);
            if ((entry.args != nullptr ? entry.args->object : nullptr) == object)
            {
                return true;
            }
            number = entry.next;
        }
        return false;
    }

    bool EventQueue::pop(std::shared_ptr<Event>& event, std::unique_ptr<EventArgs>& args)
    {
        this->trimRemoved();
        if (this->entries.empty())
        {
            return false;
        }
        Entry& entry = this->entries.front();
        event = std::move(entry.event);
        this->countNamed(entry.args.get(), -1);
        args = std::move(entry.args);
        auto found = this->chains.find(event.get());
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
        this->named.clear();
        this->live = 0;
    }

    void EventQueue::removeNaming(const Object* object)
    {
        if (object == nullptr || this->named.find(object) == this->named.end())
        {
            return;
        }
        this->named.erase(object);
        // Rare enough that the chains are simply built again over what stays.
        this->chains.clear();
        uint64_t number = this->nextNumber - this->entries.size();
        for (Entry& entry : this->entries)
        {
            if (entry.event != nullptr && entry.args != nullptr && entry.args->object == object)
            {
                entry.event.reset();
                entry.args.reset();
                --this->live;
            }
            entry.next = 0;
            if (entry.event != nullptr)
            {
                auto found = this->chains.find(entry.event.get());
                if (found == this->chains.end())
                {
                    this->chains.emplace(entry.event.get(), Chain{number, number});
                }
                else
                {
                    this->at(found->second.last).next = number;
                    found->second.last = number;
                }
            }
            ++number;
        }
        this->trimRemoved();
    }

    void EventQueue::countNamed(const EventArgs* args, int change)
    {
        if (args == nullptr || args->object == nullptr)
        {
            return;
        }
        int& count = this->named[args->object];
        count += change;
        if (count <= 0)
        {
            this->named.erase(args->object);
        }
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
