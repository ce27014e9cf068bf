#include <tesraui/Object.h>

#include "objects/ChildWalk.h"

namespace tesraui
{
    ChildWalk::ChildWalk(Object* owner) : owner(owner->watchLife())
    {
        const harray<Object*>& list = owner->getChildren();
        children.reserve(list.size());
        for (Object* child : list)
        {
            children.emplace_back(child, child->watchLife());
        }
    }
} // namespace tesraui
