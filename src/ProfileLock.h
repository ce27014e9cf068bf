#pragma once

#include <chrono>

namespace vumo
{
    // What a save of the player's profile writes (which profile is active, its snapshot, the achievements
    // service and its records) changes on the main thread only under this lock, never across a script, and a
    // save writes under it. An end forced from another thread while the main thread is held elsewhere (a
    // termination the game did not answer) then saves a whole state, and the main thread, should it come back
    // meanwhile, waits at its next change until the process has ended. Recursive: a save syncs under it.
    class ProfileLock
    {
    public:
        ProfileLock();
        ~ProfileLock();
        ProfileLock(const ProfileLock&) = delete;
        ProfileLock& operator=(const ProfileLock&) = delete;

        // For a thread that must not wait for ever: the lock within the time, false when it did not come.
        static bool tryLockFor(std::chrono::milliseconds time);
        static void unlock();
    };
} // namespace vumo
