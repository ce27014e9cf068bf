#include <tesraui/Object.h>

#include "objects/ChildWalk.h"

namespace tesraui
{
    ChildWalk* ChildWalk::innermost = nullptr;

    ChildWalk::ChildWalk(Object* owner) : owner(owner), children(owner->getChildren()), outer(innermost)
    {
        innermost = this;
    }

    ChildWalk::~ChildWalk()
    {
        // Walks nest strictly (they are recursive calls), so this one is always the innermost.
        innermost = this->outer;
    }

    void ChildWalk::forget(Object* object)
    {
        for (ChildWalk* walk = innermost; walk != nullptr; walk = walk->outer)
        {
            if (walk->owner == object)
            {
                walk->owner = nullptr;
            }
            for (Object*& child : walk->children)
            {
                if (child == object)
                {
                    child = nullptr;
                }
            }
        }
    }
} // namespace tesraui
