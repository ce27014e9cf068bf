#pragma once

#include <atomic>
#include <memory>
#include <thread>

namespace quortypes
{
    // A worker thread that runs a plain function. The function is asked to stop cooperatively: it loops
    // while isRunning() is true, and join() clears that flag and waits.
    class Thread
    {
    public:
        typedef void (*Function)(Thread*);

        explicit Thread(Function function = nullptr);
        virtual ~Thread();
        Thread(const Thread&) = delete;
        Thread& operator=(const Thread&) = delete;

        // Runs on the new thread.
        virtual void execute();

        void start();
        void join();
        bool isRunning() const { return running.load(); }

        static void sleep(float milliseconds);

    protected:
        Function function;
        std::unique_ptr<std::thread> handle;
        // Set by start() before the thread exists and cleared only by join() or by the end of execute(),
        // so a join() that comes before the new thread gets going cannot be undone by it.
        std::atomic<bool> running;

    private:
        static void entry(Thread* thread);
    };
} // namespace quortypes
