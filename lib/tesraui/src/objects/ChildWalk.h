#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <tesraui/LifeToken.h>

namespace tesraui
{
    class Object;

    // The copy of an object's children that one walk (input, update) runs over. Handlers may add, remove
    // or delete objects meanwhile: the walk watches each child and its own object, so a deleted child
    // reads as null and a walk whose object was deleted learns so and stops.
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
            const auto& entry = (*children)[index];
            return entry.second.isAlive() ? entry.first : nullptr;
        }
        bool isOwnerAlive() const { return owner.isAlive(); }

    private:
        using Entries = std::vector<std::pair<Object*, LifeToken::Watch>>;
        LifeToken::Watch owner;
        // Borrowed from a pool of lists kept between walks: a walk runs for every object in every frame,
        // and a fresh list for a parent of many children would be a large allocation each time.
        std::unique_ptr<Entries> children;
    };
} // namespace tesraui
