#include <algorithm>

#include <tesraui/Dataset.h>
#include <tesraui/Object.h>
#include <tesraui/exception.h>

namespace tesraui
{
    void Object::addChild(Object* child)
    {
        if (child->parent != nullptr)
        {
            throw _ObjectHasParentException(child->getName(), this->name, "src/objects/Object", __LINE__);
        }
        // A cycle would send every walk of the tree round for ever.
        if (child == this || this->isDescendantOf(child))
        {
            throw _GenericException("Cannot attach object '" + child->getName() + "' to object '" +
                                        this->name + "', the object would become its own ancestor",
                                    "src/objects/Object", __LINE__);
        }
        // The children are always in z-order: after the last one of the same z-order keeps the order of
        // attachment among equals without sorting them all again.
        auto place = std::upper_bound(this->children.begin(), this->children.end(), child->zOrder,
                                      [](int zOrder, const Object* other) { return zOrder < other->zOrder; });
        this->children.insert(place, child);
        child->parent = this;
        child->notifyEvent("AttachToObject", nullptr);
    }

    void Object::removeChild(Object* child)
    {
        if (child->parent != this)
        {
            throw _ObjectNotChildException(child->getName(), this->name, "src/objects/Object", __LINE__);
        }
        child->notifyEvent("DetachFromObject", nullptr);
        this->children.removeAll(child);
        child->parent = nullptr;
        this->_clearCachesUpwards();
    }

    void Object::detach()
    {
        if (this->parent == nullptr)
        {
            throw _ObjectWithoutParentException(this->name, "src/objects/Object", __LINE__);
        }
        this->parent->removeChild(this);
    }

    void Object::addChildAndRegister(Object* child)
    {
        if (!this->_checkDataset(("add and register child '" + child->getName() + "'").c_str()))
        {
            return;
        }
        this->addChild(child);
        this->dataset->registerObjects(child);
    }

    void Object::removeChildAndUnregister(Object* child)
    {
        if (!this->_checkDataset(("remove and unregister child '" + child->getName() + "'").c_str()))
        {
            return;
        }
        this->removeChild(child);
        this->dataset->unregisterObjects(child);
    }

    void Object::destroyChildren()
    {
        if (!this->_checkDataset("destroy its children"))
        {
            return;
        }
        // The children there now go with the list taken out once; those attached meanwhile after them.
        if (!this->children.empty() && !this->dataset->_destroyChildren(this, true))
        {
            return;
        }
        while (!this->children.empty())
        {
            Object* child = this->children.front();
            this->dataset->destroyObject(child);
            // A child that its dataset did not delete would otherwise be met again for ever.
            if (!this->children.empty() && this->children.front() == child)
            {
                this->removeChild(child);
            }
        }
    }

    void Object::removeChildren(bool recursive)
    {
        if (recursive)
        {
            for (Object* child : this->children)
            {
                child->removeChildren(true);
            }
        }
        for (Object* child : this->children)
        {
            child->parent = nullptr;
        }
        this->children.clear();
        // Ancestors may have cached one of the objects that just left the tree.
        this->_clearCachesUpwards();
    }

    harray<Object*> Object::getDescendants() const
    {
        harray<Object*> result = this->children;
        for (Object* child : this->children)
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
        for (Object* ancestor = this->parent; ancestor != nullptr; ancestor = ancestor->parent)
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
            if (this->parent != nullptr)
            {
                this->parent->_sortChildren();
            }
        }
    }

    void Object::_sortChildren()
    {
        std::stable_sort(this->children.begin(), this->children.end(),
                         [](const Object* a, const Object* b) { return a->zOrder < b->zOrder; });
    }
} // namespace tesraui
