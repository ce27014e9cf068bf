#pragma once

#include <quortypes/UnderWay.h>

namespace vumo
{
    // Where a scene may switch or reset: only at a frame's start. Session::changeScene and the script
    // functions scene._queued_switchScene and scene._queued_reset act at once at a switch point, and queue
    // themselves for the next frame's start anywhere else.
    namespace Session
    {
        // Held while the engine works on something a scene switch or reset would pull away from under it (a
        // frame, an input event, a transition's update, a switch, a reset): one asked for meanwhile is
        // queued for the start of the next frame instead.
        class WorkUnderWay
        {
        public:
            WorkUnderWay();

        private:
            const quortypes::CountedUnderWay mark;
        };

        // True where a scene may switch or reset at once: a text of the frame's queued scripts calling
        // directly, or engine code with no work under way and no script running (start-up, a tool's or a
        // test's own call).
        bool isSwitchPoint();
    } // namespace Session
} // namespace vumo
