#include "ProfileLock.h"

#include <mutex>

namespace vumo
{
    namespace
    {
        // Never destroyed: an end forced from another thread may take it while the process exits.
        std::recursive_timed_mutex& mutex()
        {
            static auto* value = new std::recursive_timed_mutex();
            return *value;
        }
    } // namespace

    ProfileLock::ProfileLock()
    {
        mutex().lock();
    }

    ProfileLock::~ProfileLock()
    {
        mutex().unlock();
    }

    bool ProfileLock::tryLockFor(std::chrono::milliseconds time)
    {
        return mutex().try_lock_for(time);
    }

    void ProfileLock::unlock()
    {
        mutex().unlock();
    }
} // namespace vumo
