#pragma once

#include <mutex>

namespace quortypes
{
    // A process-local lock. It is recursive: the thread that owns it may lock it again, and must then
    // unlock it as many times.
    class Mutex
    {
    public:
        Mutex();
        ~Mutex();
        Mutex(const Mutex&) = delete;
        Mutex& operator=(const Mutex&) = delete;

        void lock();
        void unlock();

    private:
        std::recursive_mutex mutex;
    };
} // namespace quortypes
