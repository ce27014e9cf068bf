#include <quortypes/Log.h>
#include <quortypes/Mutex.h>
#include <quortypes/Thread.h>

#include "log_test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

using quortypes::Log;
using quortypes::Thread;

namespace
{
    std::atomic<int> loops{0};
    std::atomic<bool> finished{false};

    void loopWhileRunning(Thread* thread)
    {
        while (thread->isRunning())
        {
            ++loops;
            std::this_thread::yield();
        }
        finished = true;
    }

    void returnAtOnce(Thread*)
    {
        ++loops;
    }

    std::vector<std::string> warnings;
    void rememberWarning(const hstring& tag, const hstring& text)
    {
        warnings.push_back(tag + ": " + text);
    }

    double millisecondsOf(void (*work)())
    {
        auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
} // namespace

TEST(ThreadTest, JoinStopsTheFunctionAndEndingClearsTheFlag)
{
    Thread thread(loopWhileRunning);
    EXPECT_FALSE(thread.isRunning());
    finished = false;
    thread.start();
    EXPECT_TRUE(thread.isRunning());
    thread.join();
    EXPECT_TRUE(finished);
    EXPECT_FALSE(thread.isRunning());

    // A function that returns by itself leaves the flag cleared, and the thread can be started again
    // without a join in between.
    Thread once(returnAtOnce);
    loops = 0;
    once.start();
    for (int i = 0; i < 5000 && once.isRunning(); ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(once.isRunning());
    once.start();
    once.join();
    EXPECT_EQ(loops, 2);

    // Joining a thread that never started does nothing.
    Thread idle(loopWhileRunning);
    idle.join();
    EXPECT_FALSE(idle.isRunning());
}

TEST(ThreadTest, StartJoinCyclesNeverHang)
{
    std::atomic<bool> done{false};
    // A cycle that hangs would block for ever: fail loudly instead.
    std::thread watchdog(
        [&done]
        {
            for (int i = 0; i < 120000 && !done; ++i)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (!done)
            {
                fprintf(stderr, "start/join cycle hung\n");
                abort();
            }
        });
    Thread thread(loopWhileRunning);
    for (int i = 0; i < 10000; ++i)
    {
        thread.start();
        thread.join();
        ASSERT_FALSE(thread.isRunning());
    }
    done = true;
    watchdog.join();
}

TEST(ThreadTest, DestroyingARunningThreadWarnsAndStopsIt)
{
    warnings.clear();
    StdoutCapture out;
    Log::setCallback(rememberWarning);
    finished = false;
    {
        Thread thread(loopWhileRunning);
        thread.start();
    }
    Log::setCallback(nullptr);
    EXPECT_TRUE(finished);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0],
              "quortypes: WARNING: Thread still running in destructor! Attempting 'stop', but this "
              "may be unsafe. The thread should be joined before deleting it.");

    // Nothing to warn about once the function has ended by itself or the thread was joined.
    {
        Thread joined(loopWhileRunning);
        joined.start();
        joined.join();
        Thread ended(returnAtOnce);
        ended.start();
        for (int i = 0; i < 5000 && ended.isRunning(); ++i)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    EXPECT_EQ(warnings.size(), 1u);
}

TEST(ThreadTest, SleepTruncatesToWholeMilliseconds)
{
    EXPECT_GE(millisecondsOf([] { Thread::sleep(1.9f); }), 1.0);
    EXPECT_GE(millisecondsOf([] { Thread::sleep(20.0f); }), 20.0);
    // Loose upper bounds: a busy machine may delay any wake-up.
    EXPECT_LT(millisecondsOf([] { Thread::sleep(0.5f); }), 15.0);
    EXPECT_LT(millisecondsOf([] { Thread::sleep(-100.0f); }), 15.0);
}

TEST(MutexTest, RecursiveForItsOwnerAndExclusiveBetweenThreads)
{
    quortypes::Mutex mutex;
    mutex.lock();
    mutex.lock();
    mutex.unlock();
    // Still held: another thread cannot take it.
    std::atomic<bool> taken{false};
    std::thread other(
        [&]
        {
            mutex.lock();
            taken = true;
            mutex.unlock();
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(taken);
    mutex.unlock();
    other.join();
    EXPECT_TRUE(taken);

    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back(
            [&]
            {
                for (int i = 0; i < 20000; ++i)
                {
                    mutex.lock();
                    ++counter;
                    mutex.unlock();
                }
            });
    }
    for (auto& thread : threads)
    {
        thread.join();
    }
    EXPECT_EQ(counter, 80000);
}
