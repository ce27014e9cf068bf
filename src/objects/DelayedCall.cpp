#include "DelayedCall.h"

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
        // A full queue would drop the callback: it waits for room in its turn instead, as the queue's bound
        // is there for events queued faster than they run, not for calls a script made. The deletion queued
        // after it keeps its place behind it.
        if (_countDown(timeDelta))
        {
            this->triggerEventInTurn("callback", 0u, "");
            this->pending.queue(this, this, "DelayedCall");
        }
    }
} // namespace vumo
