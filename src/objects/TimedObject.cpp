#include "TimedObject.h"

namespace vumo
{
    TimedObject::~TimedObject()
    {
        if (tesraui::Event* event = pending.withdraw())
        {
            _deleteEvent(event);
        }
    }

    bool TimedObject::_countDown(float timeDelta)
    {
        if (delay < 0.0f)
        {
            return false;
        }
        delay -= timeDelta;
        return delay < 0.0f;
    }
} // namespace vumo
