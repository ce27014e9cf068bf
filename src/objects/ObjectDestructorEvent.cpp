#include "ObjectDestructorEvent.h"

#include <quortypes/Log.h>
#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/Object.h>

#include "EngineObjects.h"
#include "Session.h"

namespace vumo
{
    ObjectDestructorEvent::ObjectDestructorEvent(tesraui::Object* owner) : ownerLife(owner->watchLife()) {}

    void ObjectDestructorEvent::execute(tesraui::EventArgs* args)
    {
        if (args == nullptr || args->object == nullptr || !this->ownerLife.isAlive() ||
            (this->watching && !this->targetLife.isAlive()))
        {
            return;
        }
        tesraui::Dataset* dataset = args->object->getDataset();
        if (this->watching && dataset != nullptr &&
            dataset->getObjects().tryGet(args->object->getName(), nullptr) != args->object)
        {
            // Destroyed already, its memory only not yet given back.
            return;
        }
        if (dataset == nullptr)
        {
            quortypes::Log::warn(Session::logTag, "ObjectDestructorEvent: object '" +
                                                      quortypes::Log::quote(args->object->getName()) +
                                                      "' belongs to no dataset, it is not destroyed.");
            return;
        }
        // What was queued may have come to hold an engine object since.
        const hstring refusal = EngineObjects::refusal(args->object, false);
        if (refusal != "")
        {
            quortypes::Log::warn(Session::logTag,
                                 "ObjectDestructorEvent: " + refusal + ", it is not destroyed.");
            return;
        }
        dataset->destroyObject(args->object);
    }

    void PendingDestruction::queue(tesraui::Object* owner, tesraui::Object* target, const char* ownerKind)
    {
        if (this->event != nullptr)
        {
            return;
        }
        tesraui::Dataset* targetDataset = target->getDataset();
        if (targetDataset == nullptr)
        {
            quortypes::Log::warn(Session::logTag, hstring(ownerKind) + ": object '" +
                                                      quortypes::Log::quote(target->getName()) +
                                                      "' belongs to no dataset, its deletion is not queued.");
            return;
        }
        const hstring refusal = EngineObjects::refusal(target, false);
        if (refusal != "")
        {
            quortypes::Log::warn(Session::logTag,
                                 hstring(ownerKind) + ": " + refusal + ", its deletion is not queued.");
            return;
        }
        this->event = std::make_shared<ObjectDestructorEvent>(owner);
        this->event->watchTarget(target);
        this->dataset = targetDataset;
        this->datasetLife = targetDataset->watchLife();
        // Queued once and never again: with the queue full it waits for room rather than being dropped.
        targetDataset->queueEventInTurn(this->event,
                                        std::make_unique<tesraui::EventArgs>(target, 0.0f, 0.0f, 0u, ""));
    }

    void ObjectDestructorEvent::watchTarget(tesraui::Object* target)
    {
        this->watching = true;
        this->targetLife = target->watchLife();
    }

    void PendingDestruction::withdraw()
    {
        if (this->event != nullptr && this->datasetLife.isAlive())
        {
            this->dataset->removeQueuedEvents(this->event.get());
        }
        this->event.reset();
        this->dataset = nullptr;
        this->datasetLife = tesraui::LifeToken::Watch();
    }
} // namespace vumo
