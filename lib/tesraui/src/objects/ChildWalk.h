#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace tesraui
{
    class Object;

    // The copy of an object's children that one walk (input, update) runs over. Handlers may add, remove
    // or delete objects meanwhile: a child deleted since the walk began reads as null, and a walk whose
    // object was deleted learns so and stops. Deletions are rare beside the objects walked, so the walk
    // copies bare pointers and only looks an object up among those deleted once any was.
    class ChildWalk
    {
    public:
        explicit ChildWalk(Object* owner);
        ~ChildWalk();
        ChildWalk(const ChildWalk&) = delete;
        ChildWalk& operator=(const ChildWalk&) = delete;

        int size() const { return children != nullptr ? (int)children->size() : 0; }
        // Null once that child has been deleted.
        Object* operator[](int index) const
        {
            Object* child = (*children)[index];
            return *deletions == start || child == nullptr || !wasDeleted(child) ? child : nullptr;
        }
        bool isOwnerAlive() const { return !ownerEnded && (*deletions == start || !wasDeleted(owner)); }

        // Every object tells as it goes, while walks run.
        static void noteDeleted(const Object* object);

    private:
        Object* owner;
        bool ownerEnded;
        // Objects deleted so far while any walk ran (the count of this thread), and the count when this walk
        // began.
        const uint64_t* deletions;
        uint64_t start;
        // Borrowed from a pool of lists kept between walks: a walk runs for every object in every frame,
        // and a fresh list for a parent of many children would be a large allocation each time.
        std::unique_ptr<std::vector<Object*>> children;

        bool wasDeleted(const Object* object) const;
    };
} // namespace tesraui
