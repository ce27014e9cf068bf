#include <algorithm>
#include <memory>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quorxml/Document.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Image.h>
#include <tesraui/Object.h>
#include <tesraui/Texture.h>
#include <tesraui/exception.h>
#include <tesraui/tesraui.h>

#include "NameHop.h"

namespace tesraui
{
    Dataset::Dataset(const hstring& fileName, const hstring& name, bool useNameBasePath)
        : name(name), fileName(quortypes::Dir::normalize(fileName))
    {
        hstring baseName = quortypes::Dir::baseName(this->fileName);
        int dot = baseName.rfind('.');
        if (this->name == "")
        {
            this->name = dot >= 0 ? baseName.subString(0, dot) : baseName;
        }
        hstring ending = this->name + "." + (dot >= 0 ? baseName.subString(dot + 1) : hstring());
        if (useNameBasePath && this->name != "" && this->fileName.endsWith(ending))
        {
            currentFolder =
                quortypes::Dir::normalize(this->fileName.subString(0, this->fileName.size() - ending.size()));
        }
        else
        {
            currentFolder = quortypes::Dir::normalize(quortypes::Dir::baseDir(this->fileName));
        }
        registerDataset(this->name, this);
        nullImage = std::make_unique<NullImage>();
        nullImage->setDataset(this);
    }

    Dataset::~Dataset()
    {
        life.end();
        nullImage.reset();
        unregisterDataset(this->name, this);
        _reportDroppedEvents();
        if (loaded && focusedObject != nullptr && tesra::window != nullptr)
        {
            tesra::window->terminateKeyboardHandling();
        }
        // Also what was registered by hand into a dataset that was never loaded.
        _release();
        for (Object* object : unregisteredObjects)
        {
            object->_setDataset(nullptr);
            object->unregisteredIndex = -1;
        }
        for (Object* object : filledCursorCaches)
        {
            object->cursorCacheList = nullptr;
            object->cursorCacheIndex = -1;
        }
        filledCursorCaches.clear();
        unregisteredObjects.clear();
        eventQueue.clear();
        waitingEvents.clear();
    }

    void Dataset::notifyEvent(const hstring& type, void* args)
    {
        hdict<Object*> registered = objects;
        for (auto& pair : registered)
        {
            if (objects.tryGet(pair.first, nullptr) == pair.second)
            {
                pair.second->notifyEvent(type, args);
            }
        }
    }

    Object* Dataset::getObject(const hstring& name)
    {
        hstring datasetName;
        hstring rest;
        if (name.split('.', datasetName, rest))
        {
            try
            {
                NameHop hop(name, "Object");
                return getDatasetByName(datasetName)->getObject(rest);
            }
            catch (_GenericException&)
            {
                throw _ResourceNotExistsException(name, "Object", this, "src/Dataset", __LINE__);
            }
        }
        Object* object = tryGetObject(name);
        if (object == nullptr)
        {
            throw _ResourceNotExistsException(name, "Object", this, "src/Dataset", __LINE__);
        }
        return object;
    }

    Object* Dataset::tryGetObject(const hstring& name) const
    {
        hstring datasetName;
        hstring rest;
        if (name.split('.', datasetName, rest))
        {
            NameHop hop(name, "Object");
            return getDatasetByName(datasetName)->tryGetObject(rest);
        }
        return objects.tryGet(name, nullptr);
    }

    void Dataset::registerObjects(Object* root)
    {
        harray<Object*> all = root->getDescendants();
        all.insert(all.begin(), root);
        for (Object* object : all)
        {
            if (objects.hasKey(object->getName()))
            {
                throw _ResourceExistsException(object->getName(), "Object", this, "src/Dataset", __LINE__);
            }
            objects[object->getName()] = object;
            if (object->getDataset() != nullptr)
            {
                object->getDataset()->_unlistUnregistered(object);
            }
            object->_setDataset(this);
            if (object->childUnderCursorValid)
            {
                _listCursorCache(object);
            }
            object->notifyEvent("RegisterInDataset", this);
        }
    }

    void Dataset::unregisterObjects(Object* root)
    {
        if (objects.hasKey(root->getName()))
        {
            harray<Object*> children = root->getChildren();
            for (Object* child : children)
            {
                unregisterObjects(child);
            }
            objects.removeKey(root->getName());
            // The object still names this dataset; should the dataset go first, the destructor clears that.
            if (root->getDataset() == this)
            {
                _listUnregistered(root);
            }
        }
        else if (root->getDataset() == this)
        {
            throw _ResourceNotExistsException(root->getName(), "Object", this, "src/Dataset", __LINE__);
        }
        else if (root->getDataset() != nullptr)
        {
            quortypes::Log::writef(logTag, "Dataset '%s' unregistering object from another dataset: '%s'",
                                   this->name.c_str(), root->getFullName().c_str());
            root->getDataset()->unregisterObjects(root);
        }
    }

    void Dataset::destroyObject(const hstring& name)
    {
        destroyObject(getObject(name));
    }

    void Dataset::destroyObject(Object* object)
    {
        if (objects.tryGet(object->getName(), nullptr) == object)
        {
            if (!object->children.empty() && !_destroyChildren(object, false))
            {
                return;
            }
            if (object->getParent() != nullptr)
            {
                object->detach();
            }
            if (object->isFocused())
            {
                object->setFocused(false);
            }
            objects.removeKey(object->getName());
            // The tree's objects are the dataset's by registration, not by holder: a handler may delete one.
            _freeObject(object);
        }
        else if (object->getDataset() == this)
        {
            throw _ResourceNotExistsException(object->getName(), "Object", this, "src/Dataset", __LINE__);
        }
        else if (object->getDataset() != nullptr)
        {
            quortypes::Log::writef(logTag, "Dataset '%s' destroying object from another dataset: '%s'",
                                   this->name.c_str(), object->getFullName().c_str());
            object->getDataset()->destroyObject(object);
        }
        else
        {
            quortypes::Log::warnf(logTag,
                                  "Dataset '%s' cannot destroy object '%s', it belongs to no dataset.",
                                  this->name.c_str(), object->getName().c_str());
        }
    }

    bool Dataset::_destroyChildren(Object* object, bool detachLeftovers)
    {
        // The list is taken out whole while its children go: detached one by one from the full list, each
        // would be looked for in it and the rest moved up, quadratic in the number of children. Each child
        // is watched, since the notifications on the way may delete or move its siblings.
        harray<std::pair<Object*, LifeToken::Watch>> children;
        children.reserve(object->children.size());
        for (Object* child : object->children)
        {
            children.emplace_back(child, child->watchLife());
        }
        object->children.clear();
        LifeToken::Watch alive = object->watchLife();
        // Children that are still there when this ends, by an exception too, go back in their order, before
        // any that were attached meanwhile (those keep the z-order among themselves).
        struct Restore
        {
            Object* object;
            harray<std::pair<Object*, LifeToken::Watch>>& children;
            LifeToken::Watch& alive;
            ~Restore()
            {
                if (!alive.isAlive())
                {
                    return;
                }
                ChildList added;
                added.swap(object->children);
                ChildList& kept = object->children;
                for (auto& [child, watch] : children)
                {
                    // One detached and attached again meanwhile is among the added ones.
                    if (watch.isAlive() && child->getParent() == object &&
                        (added.empty() || std::find(added.begin(), added.end(), child) == added.end()))
                    {
                        kept.push_back(child);
                    }
                }
                for (Object* child : added)
                {
                    auto place = std::upper_bound(kept.begin(), kept.end(), child->getZOrder(),
                                                  [](int zOrder, const Object* other)
                                                  { return zOrder < other->getZOrder(); });
                    kept.insert(place, child);
                }
            }
        } restore{object, children, alive};
        for (auto& [child, watch] : children)
        {
            if (!watch.isAlive())
            {
                continue;
            }
            destroyObject(child);
            // One that no dataset deleted (it belongs to none) is detached instead, when asked.
            if (detachLeftovers && alive.isAlive() && watch.isAlive() && child->getParent() == object)
            {
                object->removeChild(child);
            }
        }
        return alive.isAlive();
    }

    void Dataset::_forgetObject(Object* object)
    {
        if (objects.tryGet(object->getName(), nullptr) == object)
        {
            objects.removeKey(object->getName());
        }
        _unlistUnregistered(object);
        if (focusedObject == object)
        {
            focusedObject = nullptr;
        }
        // Another dataset's tree may take this one's root with it (a screen shown inside a scene).
        if (this->root == object)
        {
            this->root = nullptr;
        }
    }

    void Dataset::focus(Object* object)
    {
        removeFocus();
        if (object == nullptr)
        {
            return;
        }
        focusedObject = object;
        object->notifyEvent("onGainFocus", nullptr);
        object->triggerEventInTurn("GainFocus", 0u, "");
    }

    void Dataset::removeFocus()
    {
        if (focusedObject != nullptr)
        {
            if (tesra::window != nullptr)
            {
                tesra::window->terminateKeyboardHandling();
            }
            Object* former = focusedObject;
            focusedObject = nullptr;
            former->triggerEventInTurn("LoseFocus", 0u, "");
        }
    }

    void Dataset::clearChildUnderCursorCaches()
    {
        // The tree's update already cleared the objects it went through; the walk over every registered
        // object, most of which never fill their cache, is left to the few that did.
        harray<Object*> filled;
        filled.swap(filledCursorCaches);
        for (Object* object : filled)
        {
            object->cursorCacheList = nullptr;
            object->cursorCacheIndex = -1;
        }
        for (Object* object : filled)
        {
            object->clearChildUnderCursor();
        }
    }

    void Dataset::_listCursorCache(Object* object)
    {
        if (object->cursorCacheList == this)
        {
            return;
        }
        if (object->cursorCacheList != nullptr)
        {
            object->cursorCacheList->_unlistCursorCache(object);
        }
        object->cursorCacheList = this;
        object->cursorCacheIndex = filledCursorCaches.size();
        filledCursorCaches.push_back(object);
    }

    void Dataset::_listUnregistered(Object* object)
    {
        const int index = object->unregisteredIndex;
        if (index >= 0 && index < unregisteredObjects.size() && unregisteredObjects[index] == object)
        {
            return;
        }
        object->unregisteredIndex = unregisteredObjects.size();
        unregisteredObjects.push_back(object);
    }

    void Dataset::_unlistUnregistered(Object* object)
    {
        const int index = object->unregisteredIndex;
        if (index < 0 || index >= unregisteredObjects.size() || unregisteredObjects[index] != object)
        {
            return;
        }
        Object* last = unregisteredObjects.back();
        unregisteredObjects[index] = last;
        last->unregisteredIndex = index;
        unregisteredObjects.pop_back();
        object->unregisteredIndex = -1;
    }

    void Dataset::_unlistCursorCache(Object* object)
    {
        const int index = object->cursorCacheIndex;
        if (object->cursorCacheList != this || index < 0 || index >= filledCursorCaches.size())
        {
            return;
        }
        Object* last = filledCursorCaches.back();
        filledCursorCaches[index] = last;
        last->cursorCacheIndex = index;
        filledCursorCaches.pop_back();
        object->cursorCacheList = nullptr;
        object->cursorCacheIndex = -1;
    }
} // namespace tesraui
