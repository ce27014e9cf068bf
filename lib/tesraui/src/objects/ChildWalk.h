#pragma once

#include <utility>

#include <quortypes/harray.h>
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

        int size() const { return children.size(); }
        // Null once that child has been deleted.
        Object* operator[](int index) const
        {
            const auto& entry = children[index];
            return entry.second.isAlive() ? entry.first : nullptr;
        }
        bool isOwnerAlive() const { return owner.isAlive(); }

    private:
        LifeToken::Watch owner;
        harray<std::pair<Object*, LifeToken::Watch>> children;
    };
} // namespace tesraui
