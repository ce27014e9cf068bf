#include <tesraui/Object.h>

#include "objects/ChildWalk.h"

namespace tesraui
{
    namespace
    {
        // Walks nest (each child's update walks its own children), so each takes a list of its own; the
        // pool holds the lists of the walks that have ended.
        thread_local std::vector<std::unique_ptr<std::vector<std::pair<Object*, LifeToken::Watch>>>>
            spareLists;
    } // namespace

    ChildWalk::ChildWalk(Object* owner) : owner(owner->watchLife())
    {
        const harray<Object*>& list = owner->getChildren();
        if (list.empty())
        {
            return;
        }
        if (spareLists.empty())
        {
            children.reset(new Entries());
        }
        else
        {
            children = std::move(spareLists.back());
            spareLists.pop_back();
        }
        children->reserve(list.size());
        for (Object* child : list)
        {
            children->emplace_back(child, child->watchLife());
        }
    }

    ChildWalk::~ChildWalk()
    {
        if (children != nullptr)
        {
            children->clear();
            try
            {
                spareLists.push_back(std::move(children));
            }
            catch (...)
            {
                // without room in the pool the list is simply freed
            }
        }
    }
} // namespace tesraui
