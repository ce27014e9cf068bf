#include <unordered_map>

#include <tesraui/Object.h>

#include "objects/ChildWalk.h"

namespace tesraui
{
    namespace
    {
        // Walks nest (each child's update walks its own children), so each takes a list of its own; the
        // pool holds the lists of the walks that have ended.
        thread_local std::vector<std::unique_ptr<std::vector<Object*>>> spareLists;
        thread_local int walksRunning = 0;
        thread_local uint64_t deletionCount = 0;
        // Where objects were deleted while walks ran, with the count of the last deletion there: a new
        // object made at a freed address is never one that a running walk copied.
        thread_local std::unordered_map<const Object*, uint64_t> deletedAt;
    } // namespace

    void ChildWalk::noteDeleted(const Object* object)
    {
        if (walksRunning > 0)
        {
            deletedAt[object] = ++deletionCount;
        }
    }

    bool ChildWalk::wasDeleted(const Object* object) const
    {
        const auto found = deletedAt.find(object);
        return found != deletedAt.end() && found->second > start;
    }

    ChildWalk::ChildWalk(Object* owner)
        : owner(owner), ownerEnded(owner->life.hasEnded()), deletions(&deletionCount), start(deletionCount)
    {
        ++walksRunning;
        const ChildList& list = owner->getChildren();
        if (list.empty())
        {
            return;
        }
        if (spareLists.empty())
        {
            children.reset(new std::vector<Object*>());
        }
        else
        {
            children = std::move(spareLists.back());
            spareLists.pop_back();
        }
        // Objects on their way out (their destructor runs) are still listed, but already gone for walks.
        children->assign(list.begin(), list.end());
        for (Object*& child : *children)
        {
            if (child->life.hasEnded())
            {
                child = nullptr;
            }
        }
    }

    ChildWalk::~ChildWalk()
    {
        if (--walksRunning == 0 && !deletedAt.empty())
        {
            deletedAt.clear();
        }
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
