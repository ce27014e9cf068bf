#include <algorithm>
#include <utility>
#include <vector>

#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/exception.h>

namespace tesraui
{
    namespace
    {
        // Whether the object's subtree holds more than `levels` levels (the object itself one), walked
        // without recursion and no further than that.
        bool deeperThan(const Object* object, int levels)
        {
            if (object->getChildren().empty())
            {
                return levels < 1;
            }
            std::vector<std::pair<const Object*, int>> pending = {{object, 1}};
            while (!pending.empty())
            {
                const auto [next, level] = pending.back();
                pending.pop_back();
                if (level > levels)
                {
                    return true;
                }
                for (const Object* child : next->getChildren())
                {
                    pending.push_back({child, level + 1});
                }
            }
            return false;
        }
    } // namespace

    hstring Object::attachRefusal(const Object* child) const
    {
        int above = 0;
        for (const Object* ancestor = this; ancestor != nullptr; ancestor = ancestor->parent)
        {
            // A cycle would send every walk of the tree round for ever.
            if (ancestor == child)
            {
                return "the object would become its own ancestor";
            }
            ++above;
        }
        if (above >= maxNesting || deeperThan(child, maxNesting - above))
        {
            return formatString("the tree would nest deeper than %d objects", maxNesting);
        }
        return "";
    }

    void Object::addChild(Object* child)
    {
        if (child->parent != nullptr)
        {
            throw _ObjectHasParentException(child->getName(), name, "src/objects/Object", __LINE__);
        }
        const hstring refusal = attachRefusal(child);
        if (refusal != "")
        {
            throw _GenericException("Cannot attach object '" + child->getName() + "' to object '" + name +
                                        "', " + refusal,
                                    "src/objects/Object", __LINE__);
        }
        // The children are always in z-order: after the last one of the same z-order keeps the order of
        // attachment among equals without sorting them all again.
        auto place = std::upper_bound(children.begin(), children.end(), child->zOrder,
                                      [](int zOrder, const Object* other) { return zOrder < other->zOrder; });
        children.insert(place, child);
        child->parent = this;
        child->notifyEvent("AttachToObject", nullptr);
    }

    void Object::removeChild(Object* child)
    {
        if (child->parent != this)
        {
            throw _ObjectNotChildException(child->getName(), name, "src/objects/Object", __LINE__);
        }
        child->notifyEvent("DetachFromObject", nullptr);
        children.remove(child);
        child->parent = nullptr;
        _clearCachesUpwards();
    }

    void Object::detach()
    {
        if (parent == nullptr)
        {
            throw _ObjectWithoutParentException(name, "src/objects/Object", __LINE__);
        }
        parent->removeChild(this);
    }

    Object* Object::getPartHolder() const
    {
        if (!heldPart)
        {
            return nullptr;
        }
        Object* holder = parent;
        while (holder != nullptr && holder->heldPart && holder->parent != nullptr)
        {
            holder = holder->parent;
        }
        return holder;
    }

    void Object::addChildAndRegister(Object* child)
    {
        if (!_checkDataset(("add and register child '" + child->getName() + "'").c_str()))
        {
            return;
        }
        addChild(child);
        dataset->registerObjects(child);
    }

    void Object::removeChildAndUnregister(Object* child)
    {
        if (!_checkDataset(("remove and unregister child '" + child->getName() + "'").c_str()))
        {
            return;
        }
        removeChild(child);
        dataset->unregisterObjects(child);
    }

    void Object::destroyChildren()
    {
        if (!_checkDataset("destroy its children"))
        {
            return;
        }
        // The children there now go with the list taken out once; those attached meanwhile after them.
        if (!children.empty() && !dataset->_destroyChildren(this, true))
        {
            return;
        }
        while (!children.empty())
        {
            Object* child = children.front();
            dataset->destroyObject(child);
            // A child that its dataset did not delete would otherwise be met again for ever.
            if (!children.empty() && children.front() == child)
            {
                removeChild(child);
            }
        }
    }

    void Object::removeChildren(bool recursive)
    {
        if (recursive)
        {
            for (Object* child : children)
            {
                child->removeChildren(true);
            }
        }
        for (Object* child : children)
        {
            child->parent = nullptr;
        }
        children.clear();
        // Ancestors may have cached one of the objects that just left the tree.
        _clearCachesUpwards();
    }

    harray<Object*> Object::getDescendants() const
    {
        harray<Object*> result = children;
        for (Object* child : children)
        {
            harray<Object*> more = child->getDescendants();
            result.insert(result.end(), more.begin(), more.end());
        }
        return result;
    }

    bool Object::isDescendantOf(Object* other) const
    {
        if (other == nullptr)
        {
            return false;
        }
        for (Object* ancestor = parent; ancestor != nullptr; ancestor = ancestor->parent)
        {
            if (ancestor == other)
            {
                return true;
            }
        }
        return false;
    }

    void Object::setZOrder(int value)
    {
        if (this->zOrder != value)
        {
            this->zOrder = value;
            if (parent != nullptr)
            {
                parent->_sortChildren();
            }
        }
    }

    void Object::setZOrderOverEquals(int value)
    {
        setZOrder(value);
        if (parent == nullptr)
        {
            return;
        }
        // The children are sorted: the object moves to the end of its run of equals.
        ChildList& siblings = parent->children;
        Object** self = std::find(siblings.begin(), siblings.end(), this);
        Object** runEnd =
            std::upper_bound(self, siblings.end(), this,
                             [](const Object* a, const Object* b) { return a->zOrder < b->zOrder; });
        std::rotate(self, self + 1, runEnd);
    }

    void Object::_sortChildren()
    {
        std::stable_sort(children.begin(), children.end(),
                         [](const Object* a, const Object* b) { return a->zOrder < b->zOrder; });
    }
} // namespace tesraui
