#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include <tesraui/Animator.h>
#include <tesraui/Object.h>

#include "objects/ChildWalk.h"

namespace tesraui
{
    void Object::update(float timeDelta)
    {
        if (childUnderCursorValid)
        {
            clearChildUnderCursor();
        }
        // Most objects of a tree are leaves without animators: nothing below has anything to do for them,
        // and they pay for no more than these checks.
        if (!children.empty() || !dynamicAnimators.empty())
        {
            _updateChildrenAndAnimators(timeDelta);
        }
    }

    void Object::_updateChildrenAndAnimators(float timeDelta)
    {
        // Updates may destroy objects (delayed calls, destructor objects, an animator's script), this one
        // included.
        ChildWalk walk(this);
        const int count = walk.size(); // of the walk's own copy, which updates cannot change
        for (int i = 0; i < count; ++i)
        {
            Object* child = walk[i];
            if (child != nullptr)
            {
                child->update(timeDelta);
                if (!walk.isOwnerAlive())
                {
                    return;
                }
            }
        }
        // An animator's custom function may start or stop animators of this object: the walk goes over a
        // copy and skips those deleted meanwhile. A watch, not the address, tells: a new animator may be
        // allocated where a deleted one was.
        if (dynamicAnimators.size() > 0)
        {
            std::vector<std::pair<Animator*, LifeToken::Watch>> animators;
            animators.reserve(dynamicAnimators.size());
            for (const std::unique_ptr<Animator>& animator : dynamicAnimators)
            {
                animators.emplace_back(animator.get(), animator->watchLife());
            }
            for (auto& [animator, watch] : animators)
            {
                if (watch.isAlive() &&
                    std::find_if(dynamicAnimators.begin(), dynamicAnimators.end(),
                                 [animator = animator](const std::unique_ptr<Animator>& held)
                                 { return held.get() == animator; }) != dynamicAnimators.end())
                {
                    animator->update(timeDelta);
                    if (!walk.isOwnerAlive())
                    {
                        return;
                    }
                }
            }
        }
        for (size_t i = 0; i < dynamicAnimators.size();)
        {
            if (dynamicAnimators[i]->isExpired())
            {
                // Out of the list before it goes.
                std::unique_ptr<Animator> expired = std::move(dynamicAnimators[i]);
                dynamicAnimators.erase(dynamicAnimators.begin() + i);
            }
            else
            {
                ++i;
            }
        }
    }

    bool Object::isAnimated()
    {
        for (const std::unique_ptr<Animator>& animator : dynamicAnimators)
        {
            if (animator->isAnimated())
            {
                return true;
            }
        }
        for (Object* child : children)
        {
            Animator* animator = dynamic_cast<Animator*>(child);
            if (animator != nullptr && animator->isAnimated())
            {
                return true;
            }
        }
        return false;
    }

    bool Object::isWaitingAnimation()
    {
        for (const std::unique_ptr<Animator>& animator : dynamicAnimators)
        {
            if (animator->isWaitingAnimation())
            {
                return true;
            }
        }
        for (Object* child : children)
        {
            Animator* animator = dynamic_cast<Animator*>(child);
            if (animator != nullptr && animator->isWaitingAnimation())
            {
                return true;
            }
        }
        return false;
    }
} // namespace tesraui
