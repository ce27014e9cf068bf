#pragma once

#include <quortypes/hstring.h>

namespace tesraui
{
    // Receives immediate notifications by name; overrides call their base class's version.
    class EventReceiver
    {
    public:
        virtual ~EventReceiver() = default;
        virtual void notifyEvent(const hstring& /*type*/, void* /*args*/) {}
    };
} // namespace tesraui
