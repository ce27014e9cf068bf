#include <quortypes/Log.h>
#include <quortypes/Thread.h>

#include <chrono>

namespace quortypes
{
    Thread::Thread(Function function) : function(function), running(false) {}

    Thread::~Thread()
    {
        if (running.load())
        {
            Log::warn("quortypes", "Thread still running in destructor! Attempting 'stop', but this may be "
                                   "unsafe. The thread should be joined before deleting it.");
        }
        // There is no safe way to kill a thread, so it is asked to stop and waited for.
        join();
    }

    void Thread::execute()
    {
        if (function != nullptr)
        {
            function(this);
        }
    }

    void Thread::entry(Thread* thread)
    {
        thread->execute();
        thread->running.store(false);
    }

    void Thread::start()
    {
        // One system thread per object: a previous run that was never joined is stopped and waited for
        // first, so its handle is not lost.
        join();
        running.store(true);
        try
        {
            handle.reset(new std::thread(&Thread::entry, this));
        }
        catch (...)
        {
            running.store(false);
            throw;
        }
    }

    void Thread::join()
    {
        running.store(false);
        if (handle != nullptr)
        {
            if (handle->get_id() == std::this_thread::get_id())
            {
                // Joined (or destroyed) from its own function: waiting would never end.
                handle->detach();
            }
            else if (handle->joinable())
            {
                handle->join();
            }
            handle.reset();
        }
    }

    void Thread::sleep(float milliseconds)
    {
        // Truncated to whole milliseconds; negative values do not sleep.
        if (!(milliseconds >= 1.0f))
        {
            std::this_thread::yield();
            return;
        }
        long long whole = milliseconds < 1e12f ? (long long)milliseconds : (long long)1e12;
        std::this_thread::sleep_for(std::chrono::milliseconds(whole));
    }
} // namespace quortypes
