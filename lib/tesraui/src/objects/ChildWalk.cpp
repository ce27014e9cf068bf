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
            this->children.reset(new Entries());
        }
        else
        {
            this->children = std::move(spareLists.back());
            spareLists.pop_back();
        }
        this->children->reserve(list.size());
        for (Object* child : list)
        {
            this->children->emplace_back(child, child->watchLife());
        }
    }

    ChildWalk::~ChildWalk()
    {
        if (this->children != nullptr)
        {
            this->children->clear();
            try
            {
                spareLists.push_back(std::move(this->children));
            }
            catch (...)
            {
                // without room in the pool the list is simply freed
            }
        }
    }
} // namespace tesraui
