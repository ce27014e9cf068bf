#include <quortypes/Mutex.h>

namespace quortypes
{
    // The standard recursive mutex cannot fail to be created here (it is statically initialised), so
    // there is no creation error to report.
    Mutex::Mutex() = default;

    Mutex::~Mutex() = default;

    void Mutex::lock()
    {
        mutex.lock();
    }

    void Mutex::unlock()
    {
        mutex.unlock();
    }
} // namespace quortypes
