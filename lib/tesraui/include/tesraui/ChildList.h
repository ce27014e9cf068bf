#pragma once

#include <cstddef>
#include <vector>

#include <quortypes/harray.h>

namespace tesraui
{
    class Object;

    // An object's children in z-order. Children mostly leave from either end (delayed calls and destructors
    // go in the order they were attached), so a child is looked for from both ends at once and only the
    // shorter side moves to close its gap: the front side moves up into room kept before the first child.
    class ChildList
    {
    public:
        typedef Object* value_type;
        typedef Object** iterator;
        typedef Object* const* const_iterator;
        typedef Object*& reference;
        typedef Object* const& const_reference;
        typedef std::size_t size_type;
        typedef std::ptrdiff_t difference_type;

        iterator begin() { return this->slots.data() + this->head; }
        iterator end() { return this->slots.data() + this->slots.size(); }
        const_iterator begin() const { return this->slots.data() + this->head; }
        const_iterator end() const { return this->slots.data() + this->slots.size(); }
        int size() const { return (int)(this->slots.size() - this->head); }
        bool empty() const { return this->slots.size() == this->head; }
        Object*& operator[](int index) { return this->slots[this->head + index]; }
        Object* operator[](int index) const { return this->slots[this->head + index]; }
        Object* front() const { return this->slots[this->head]; }
        Object* back() const { return this->slots.back(); }

        void push_back(Object* object) { this->slots.push_back(object); }
        void insert(const_iterator place, Object* object);
        // Takes the object out when it is there; false when it is not.
        bool remove(Object* object);
        void erase(const_iterator first, const_iterator last);
        void clear();
        void swap(ChildList& other);

        operator harray<Object*>() const { return harray<Object*>(this->begin(), this->end()); }
        bool operator==(const ChildList& other) const;
        bool operator==(const harray<Object*>& other) const;
        bool operator!=(const harray<Object*>& other) const { return !(*this == other); }

    private:
        // The children are slots[head] onwards; the slots before them are free.
        std::vector<Object*> slots;
        std::size_t head = 0;

        void eraseAt(int index);
    };
} // namespace tesraui
