#include <algorithm>

#include <tesraui/ChildList.h>

namespace tesraui
{
    void ChildList::insert(const_iterator place, Object* object)
    {
        const int index = (int)(place - this->begin());
        if (index < this->size() / 2 && this->head > 0)
        {
            const auto first = this->slots.begin() + this->head;
            std::move(first, first + index, first - 1);
            --this->head;
            this->slots[this->head + index] = object;
            return;
        }
        this->slots.insert(this->slots.begin() + this->head + index, object);
    }

    bool ChildList::remove(Object* object)
    {
        for (int low = 0, high = this->size() - 1; low <= high; ++low, --high)
        {
            if ((*this)[low] == object)
            {
                this->eraseAt(low);
                return true;
            }
            if ((*this)[high] == object)
            {
                this->eraseAt(high);
                return true;
            }
        }
        return false;
    }

    void ChildList::eraseAt(int index)
    {
        const auto first = this->slots.begin() + this->head;
        if (index >= this->size() / 2)
        {
            this->slots.erase(first + index);
        }
        else
        {
            std::move_backward(first, first + index, first + index + 1);
            this->slots[this->head] = nullptr;
            ++this->head;
        }
        // The free room is given back once it outgrows the children, so that moving them costs no more
        // than the removals that made it.
        if (this->head > this->slots.size() - this->head)
        {
            this->slots.erase(this->slots.begin(), this->slots.begin() + this->head);
            this->head = 0;
        }
    }

    void ChildList::erase(const_iterator first, const_iterator last)
    {
        const auto start = this->slots.begin() + (first - this->slots.data());
        this->slots.erase(start, start + (last - first));
    }

    void ChildList::clear()
    {
        this->slots.clear();
        this->head = 0;
    }

    void ChildList::swap(ChildList& other)
    {
        this->slots.swap(other.slots);
        std::swap(this->head, other.head);
    }

    bool ChildList::operator==(const ChildList& other) const
    {
        return std::equal(this->begin(), this->end(), other.begin(), other.end());
    }

    bool ChildList::operator==(const harray<Object*>& other) const
    {
        return std::equal(this->begin(), this->end(), other.begin(), other.end());
    }
} // namespace tesraui
