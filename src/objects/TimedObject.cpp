#include "TimedObject.h"

namespace vumo
{
    TimedObject::~TimedObject()
    {
        pending.withdraw();
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
