#include "DelayedCall.h"

#include <tesraui/Dataset.h>

namespace vumo
{
    tesraui::Object* DelayedCall::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new DelayedCall(name, rect);
    }

    const PropertyTable<DelayedCall>& DelayedCall::_properties()
    {
        static const PropertyTable<DelayedCall> table = {
            {"delay", PropertyInfo::FLOAT, [](DelayedCall& call) { return hstring(call.delay); },
             [](DelayedCall& call, const hstring& value) { call.delay = value.toFloat(); }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(DelayedCall, TimedObject, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(DelayedCall, TimedObject, _properties)

    void DelayedCall::update(float timeDelta)
    {
        TimedObject::update(timeDelta);
        if (!_countDown(timeDelta) && !this->waitingForRoom)
        {
            return;
        }
        // A full queue would drop the callback: a call that ran out then waits for room, in its turn, as
        // the queue's bound is there for events queued faster than they run, not for calls a script made.
        this->waitingForRoom = this->dataset != nullptr &&
                               this->dataset->getQueuedEventCount() + 2 > tesraui::Dataset::maxQueuedEvents;
        if (!this->waitingForRoom)
        {
            triggerEvent("callback", 0u, "");
            pending.queue(this, this, "DelayedCall");
        }
    }
} // namespace vumo
