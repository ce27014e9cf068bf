#include "ProfileLock.h"

#include <mutex>
#include <thread>

namespace vumo
{
    namespace
    {
        // Never destroyed: an end forced from another thread may take it while the process exits.
        std::recursive_mutex& mutex()
        {
            static auto* value = new std::recursive_mutex();
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
        // Asked again and again rather than waited for with a clock: the timed wait of the C++ library goes
        // through a call the thread checker does not follow, which then took the unlock for a fault.
        const auto end = std::chrono::steady_clock::now() + time;
        while (!mutex().try_lock())
        {
            if (std::chrono::steady_clock::now() >= end)
            {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    void ProfileLock::unlock()
    {
        mutex().unlock();
    }
} // namespace vumo
