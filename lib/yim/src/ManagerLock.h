#pragma once

#include <yim/AudioManager.h>

namespace yim
{
    // Holds the manager's lock for a scope, so that a throw releases it too.
    class ManagerLock
    {
    public:
        explicit ManagerLock(AudioManager* manager) : manager(manager) { manager->_lock(); }
        ~ManagerLock() { manager->_unlock(); }
        ManagerLock(const ManagerLock&) = delete;
        ManagerLock& operator=(const ManagerLock&) = delete;

    private:
        AudioManager* manager;
    };
} // namespace yim
