#pragma once

#include <utility>

#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <tesraui/EventReceiver.h>

namespace tesraui
{
    class Event;
    class EventArgs;
    class Object;

    // Owns the objects registered in it, holds the keyboard focus and runs the events its objects queue.
    class Dataset : public EventReceiver
    {
    public:
        explicit Dataset(const hstring& fileName, const hstring& name = "", bool useNameBasePath = false);
        // Deletes every registered object. Safe from inside one of its own event handlers.
        ~Dataset() override;
        Dataset(const Dataset&) = delete;
        Dataset& operator=(const Dataset&) = delete;

        const hstring& getName() const { return this->name; }
        const hstring& getFilename() const { return this->fileName; }
        Object* getFocusedObject() const { return this->focusedObject; }
        const hdict<Object*>& getObjects() const { return this->objects; }

        // Forwarded to every registered object in name order.
        void notifyEvent(const hstring& type, void* args) override;

        virtual Object* getObject(const hstring& name);
        Object* tryGetObject(const hstring& name) const;
        bool hasObject(const hstring& name) const { return this->tryGetObject(name) != nullptr; }

        void registerObjects(Object* root);
        void unregisterObjects(Object* root);
        void destroyObject(Object* object);
        void destroyObject(const hstring& name);

        void focus(Object* object);
        void removeFocus();

        // The dataset owns args from here on.
        void queueEvent(Event* event, EventArgs* args);
        void removeQueuedEvents(Event* event);
        // Runs the queue until it is empty, events queued meanwhile included.
        void processEvents();

        void clearChildUnderCursorCaches();

        // True when the handler is executing right now and will be deleted once it returns.
        static bool _retireRunningEvent(Event* event);
        // Drops a registration quietly; an object being deleted calls it.
        void _forgetObject(Object* object);

    protected:
        hstring name;
        hstring fileName;
        Object* focusedObject = nullptr;
        hdict<Object*> objects;
        harray<std::pair<Event*, EventArgs*>> eventQueue;
    };
} // namespace tesraui
