#pragma once

#include <quortypes/harray.h>

namespace tesraui
{
    class Object;

    // The copy of an object's children that one walk (input, update) runs over. Handlers may add, remove
    // or delete objects meanwhile: a deleted object is blanked out of every copy under way, and a walk
    // whose own object was deleted learns so and stops.
    class ChildWalk
    {
    public:
        explicit ChildWalk(Object* owner);
        ~ChildWalk();
        ChildWalk(const ChildWalk&) = delete;
        ChildWalk& operator=(const ChildWalk&) = delete;

        int size() const { return this->children.size(); }
        // Null once that child has been deleted.
        Object* operator[](int index) const { return this->children[index]; }
        bool isOwnerAlive() const { return this->owner != nullptr; }

        // Every object's destructor calls this.
        static void forget(Object* object);

    private:
        Object* owner;
        harray<Object*> children;
        ChildWalk* outer;

        static ChildWalk* innermost;
    };
} // namespace tesraui
