#include <quortypes/Log.h>
#include <quortypes/Thread.h>

#include "test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

using quortypes::Log;
using quortypes::Thread;

// Every sleep of this program goes through here, so a test can see the exact time a thread asked
// for instead of guessing it from a wall clock that a busy machine stretches.
static thread_local long long requestedNanoseconds = -1;
extern "C" int nanosleep(const struct timespec* request, struct timespec* remaining)
{
    requestedNanoseconds = request->tv_sec * 1000000000LL + request->tv_nsec;
    int error = clock_nanosleep(CLOCK_REALTIME, 0, request, remaining);
    errno = error;
    return error == 0 ? 0 : -1;
}

namespace
{
    std::atomic<bool> finished{false};

    void loopWhileRunning(Thread* thread)
    {
        while (thread->isRunning())
        {
            std::this_thread::yield();
        }
        finished = true;
    }

    void returnAtOnce(Thread*) {}

    std::vector<std::string> warnings;
    void rememberWarning(const hstring& tag, const hstring& text)
    {
        warnings.push_back(tag + ": " + text);
    }

    // The nanoseconds Thread::sleep asks the system for; -1 when it does not sleep at all.
    long long requestedBy(float milliseconds)
    {
        requestedNanoseconds = -1;
        Thread::sleep(milliseconds);
        return requestedNanoseconds;
    }
} // namespace

TEST(ThreadTest, JoinStopsTheFunctionAndEndingClearsTheFlag)
{
    Thread thread(loopWhileRunning);
    finished = false;
    thread.start();
    EXPECT_TRUE(thread.isRunning());
    thread.join();
    EXPECT_TRUE(finished);
    EXPECT_FALSE(thread.isRunning());

    // A function that returns by itself leaves the flag cleared.
    Thread once(returnAtOnce);
    once.start();
    for (int i = 0; i < 5000 && once.isRunning(); ++i)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_FALSE(once.isRunning());
    // Started again without a join in between: the ended run is joined first, not dropped while joinable.
    once.start();
    once.join();
}

TEST(ThreadTest, StartJoinCyclesNeverHang)
{
    // A cycle that hangs fails loudly instead of blocking for ever.
    Thread watchdog(
        [](Thread* self)
        {
            for (int i = 0; i < 1200 && self->isRunning(); ++i)
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            if (self->isRunning())
            {
                abort();
            }
        });
    watchdog.start();
    Thread thread(loopWhileRunning);
    for (int i = 0; i < 10000; ++i)
    {
        thread.start();
        thread.join();
        ASSERT_FALSE(thread.isRunning());
    }
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
    EXPECT_EQ(warnings, std::vector<std::string>{"quortypes: WARNING: Thread still running in destructor! "
                                                 "Attempting 'stop', but this may be unsafe. The thread "
                                                 "should be joined before deleting it."});
}

TEST(ThreadTest, SleepTruncatesToWholeMilliseconds)
{
    EXPECT_EQ(requestedBy(1.9f), 1000000);
    EXPECT_EQ(requestedBy(20.7f), 20000000);
    EXPECT_EQ(requestedBy(0.5f), -1);
    EXPECT_EQ(requestedBy(-100.0f), -1);
    // And it really sleeps.
    auto start = std::chrono::steady_clock::now();
    Thread::sleep(5.9f);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(5));
}
