#pragma once

#include <memory>

#include <tesraui/Event.h>
#include <tesraui/LifeToken.h>

namespace tesraui
{
    class Dataset;
    class Object;
} // namespace tesraui

namespace vumo
{
    // Deletes the object of its arguments through the object's dataset. Objects queue it rather than delete
    // anything from inside the frame's update or event processing, which still walk the tree.
    class ObjectDestructorEvent : public tesraui::Event
    {
    public:
        explicit ObjectDestructorEvent(tesraui::Object* owner);
        ~ObjectDestructorEvent() override = default;
        void execute(tesraui::EventArgs* args) override;
        // From here on, a target that goes before the event runs (a scene reset destroying it while the
        // destructor was kept aside) is left alone.
        void watchTarget(tesraui::Object* target);

    private:
        // The object that queued it: once that is destroyed, the deletion it asked for is off, even while
        // its memory waits for the frame's end.
        tesraui::LifeToken::Watch ownerLife;
        bool watching = false;
        tesraui::LifeToken::Watch targetLife;
    };

    // The one deletion an engine object has queued, if any. The owner withdraws it when it goes first, so the
    // queue never runs a deletion for an object that is already gone.
    class PendingDestruction
    {
    public:
        bool isPending() const { return this->event != nullptr; }
        // Queues the deletion of target on target's dataset; with no dataset warns and queues nothing.
        // Does nothing while a deletion is already pending.
        void queue(tesraui::Object* owner, tesraui::Object* target, const char* ownerKind);
        // Takes the queued entries back from the dataset and lets go of the event; a run of it under way
        // keeps its own share.
        void withdraw();

    private:
        std::shared_ptr<ObjectDestructorEvent> event;
        tesraui::Dataset* dataset = nullptr;
        tesraui::LifeToken::Watch datasetLife;
    };
} // namespace vumo
