#pragma once

#include "ObjectDestructorEvent.h"
#include "VumoObject.h"

namespace vumo
{
    // The engine objects that end with a queued deletion: each queues at most one, and takes it back when it
    // goes before its dataset runs it. The timed kinds count "delay" down to the frame they act in.
    class TimedObject : public VumoObject
    {
    public:
        TimedObject(const hstring& name, kavtypes::Rectangle rect) : VumoObject(name, rect) {}
        ~TimedObject() override;

        float getDelay() const { return delay; }

    protected:
        float delay = 0.0f;
        PendingDestruction pending;

        // True in the one frame the delay runs out; a delay below 0 has run out already or never runs out.
        bool _countDown(float timeDelta);
    };
} // namespace vumo
