#include <memory>

#include <quortypes/Log.h>
#include <tesraui/Animator.h>
#include <tesraui/Dataset.h>
#include <tesraui/Event.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>
#include <tesraui/tesraui.h>

#include "libraryState.h"
#include "objects/ChildWalk.h"

namespace tesraui
{
    Object::Object(const hstring& name, kavtypes::Rectangle rect)
        : name(name), rect(rect), scaleFactor(1.0f, 1.0f)
    {
        // Files give -1 for a size they leave out; such an axis keeps its centre at 0.
        if (rect.w != -1.0f)
        {
            center.x = rect.w * 0.5f;
        }
        if (rect.h != -1.0f)
        {
            center.y = rect.h * 0.5f;
        }
    }

    Object::~Object()
    {
        life.end();
        ChildWalk::noteDeleted(this);
        for (auto& pair : events)
        {
            if (dataset != nullptr)
            {
                dataset->removeQueuedEvents(pair.second.get());
            }
        }
        events.clear();
        // Events of other objects may name this one, as a destructor object's does its target.
        if (this->dataset != nullptr)
        {
            this->dataset->_removeEventsNaming(this);
        }
        _withdrawEventsNaming(this);
        dynamicAnimators.clear();
        if (dataset != nullptr)
        {
            if (dataset->getFocusedObject() == this)
            {
                dataset->removeFocus();
            }
            dataset->_forgetObject(this);
        }
        if (cursorCacheList != nullptr)
        {
            cursorCacheList->_unlistCursorCache(this);
        }
        // A direct delete must not leave the tree pointing at freed memory; nobody is notified.
        if (parent != nullptr)
        {
            parent->children.remove(this);
            parent->_clearCachesUpwards();
            parent = nullptr;
        }
        for (Object* child : children)
        {
            child->parent = nullptr;
        }
        children.clear();
    }

    void Object::_clearCachesUpwards()
    {
        // Any ancestor may have cached this subtree's objects as the one under the cursor.
        for (Object* object = this; object != nullptr; object = object->parent)
        {
            object->clearChildUnderCursor();
        }
    }

    bool Object::_checkDataset(const char* operation) const
    {
        if (dataset == nullptr)
        {
            quortypes::Log::warnf(logTag, "Object '%s' belongs to no dataset, cannot %s.",
                                  quortypes::Log::quote(this->name).c_str(), operation);
            return false;
        }
        return true;
    }

    hstring Object::getFullName() const
    {
        return dataset != nullptr ? dataset->getName() + "." + this->name : this->name;
    }

    bool Object::isFocused() const
    {
        return dataset != nullptr && dataset->getFocusedObject() == this;
    }

    void Object::setFocused(bool value)
    {
        // Without a dataset the object never has the focus, so giving it up is already done.
        if (!value && dataset == nullptr)
        {
            return;
        }
        if (!_checkDataset("take the focus"))
        {
            return;
        }
        if (value)
        {
            dataset->focus(this);
        }
        else if (dataset->getFocusedObject() == this)
        {
            dataset->removeFocus();
        }
    }

    void Object::registerEvent(const hstring& name, std::shared_ptr<Event> event)
    {
        // Registering the stored handler again keeps what it has queued.
        if (event != nullptr && events.tryGet(name, nullptr) == event)
        {
            return;
        }
        unregisterEvent(name);
        if (event != nullptr)
        {
            events[name] = std::move(event);
        }
    }

    void Object::registerEvent(const hstring& name, EventFunction function)
    {
        registerEvent(name, std::make_shared<CallbackEvent>(function));
    }

    void Object::unregisterEvent(const hstring& name)
    {
        auto it = events.find(name);
        if (it == events.end())
        {
            return;
        }
        // A run of the handler under way keeps its own share of it.
        std::shared_ptr<Event> event = std::move(it->second);
        events.erase(it);
        if (dataset != nullptr)
        {
            dataset->removeQueuedEvents(event.get());
        }
    }

    harray<Animator*> Object::getDynamicAnimators() const
    {
        harray<Animator*> result;
        for (const std::unique_ptr<Animator>& animator : dynamicAnimators)
        {
            result.push_back(animator.get());
        }
        return result;
    }

    bool Object::_triggerEvent(const hstring& name, std::unique_ptr<EventArgs> args, bool inTurn)
    {
        auto it = events.find(name);
        // A destroyed object that a walk still holds is sent nothing more.
        if (it == events.end() || this->life.hasEnded())
        {
            return false;
        }
        if (!_checkDataset(("trigger event '" + name + "'").c_str()))
        {
            return false;
        }
        if (inTurn)
        {
            dataset->queueEventInTurn(it->second, std::move(args));
        }
        else
        {
            dataset->queueEvent(it->second, std::move(args));
        }
        return true;
    }

    bool Object::triggerEvent(const hstring& name, float x, float y, unsigned int keyCode,
                              const hstring& extra)
    {
        if (!events.hasKey(name))
        {
            return false;
        }
        return _triggerEvent(name, std::make_unique<EventArgs>(this, x, y, keyCode, extra));
    }

    bool Object::triggerEvent(const hstring& name, int buttonCode, const hstring& extra)
    {
        if (!events.hasKey(name))
        {
            return false;
        }
        kavtypes::Vector2 cursor = getCursorPosition();
        return _triggerEvent(name, std::make_unique<EventArgs>(this, cursor.x, cursor.y, buttonCode, extra));
    }

    bool Object::triggerEvent(const hstring& name, unsigned int keyCode, const hstring& extra)
    {
        if (!events.hasKey(name))
        {
            return false;
        }
        kavtypes::Vector2 cursor = getCursorPosition();
        return _triggerEvent(name, std::make_unique<EventArgs>(this, cursor.x, cursor.y, keyCode, extra));
    }

    bool Object::triggerEventInTurn(const hstring& name, unsigned int keyCode, const hstring& extra)
    {
        if (!events.hasKey(name))
        {
            return false;
        }
        kavtypes::Vector2 cursor = getCursorPosition();
        return _triggerEvent(name, std::make_unique<EventArgs>(this, cursor.x, cursor.y, keyCode, extra),
                             true);
    }
} // namespace tesraui
