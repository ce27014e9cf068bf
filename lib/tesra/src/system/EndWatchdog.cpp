#include "EndWatchdog.h"

#include <semaphore.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <ctime>
#include <system_error>
#include <thread>

#include <quortypes/Log.h>
#include <tesra/tesra.h>

#include "AbruptEnd.h"

namespace tesra
{

    namespace
    {
        // Posted once for every signal; only what is safe in a signal handler touches it there.
        sem_t posted;
        std::atomic<bool> posting{false};
        std::atomic<int> lastSignal{0};
        std::atomic<bool> loopEnded{false};
        std::atomic<bool> stopping{false};

        // True for a post, false when the time (on the clock sem_timedwait reads) has come first.
        bool waitForPost(const timespec* until)
        {
            while (true)
            {
                if ((until != nullptr ? sem_timedwait(&posted, until) : sem_wait(&posted)) == 0)
                {
                    return true;
                }
                if (errno == ETIMEDOUT)
                {
                    return false;
                }
            }
        }

        [[noreturn]] void endNow(const char* why)
        {
            const int signal = lastSignal.load();
            quortypes::Log::warn(logTag, formatString("Ending at once on signal %d: %s.", signal, why));
            AbruptEnd::announce();
            quortypes::Log::flush();
            _exit(128 + signal);
        }

        void watch()
        {
            if (!waitForPost(nullptr) || stopping.load())
            {
                return;
            }
            timespec until = {};
            clock_gettime(CLOCK_REALTIME, &until);
            until.tv_sec += EndWatchdog::graceSeconds;
            bool timed = !loopEnded.load();
            while (true)
            {
                const bool signalled = waitForPost(timed ? &until : nullptr);
                if (stopping.load())
                {
                    return;
                }
                if (signalled)
                {
                    endNow("another termination signal came before the program had ended");
                }
                if (!loopEnded.load())
                {
                    endNow(formatString("the main loop had not ended %d seconds after the first termination "
                                        "signal",
                                        EndWatchdog::graceSeconds)
                               .c_str());
                }
                timed = false;
            }
        }
    } // namespace

    EndWatchdog::EndWatchdog()
    {
        sem_init(&posted, 0, 0);
        lastSignal.store(0);
        loopEnded.store(false);
        stopping.store(false);
        try
        {
            this->watcher = std::thread(watch);
        }
        catch (const std::system_error& e)
        {
            quortypes::Log::warn(logTag, hstring("No end watchdog, its thread could not start: ") + e.what());
            return;
        }
        posting.store(true);
    }

    EndWatchdog::~EndWatchdog()
    {
        posting.store(false);
        stopping.store(true);
        sem_post(&posted);
        if (this->watcher.joinable())
        {
            this->watcher.join();
        }
        sem_destroy(&posted);
    }

    void EndWatchdog::noteSignal(int signal)
    {
        if (posting.load())
        {
            lastSignal.store(signal);
            sem_post(&posted);
        }
    }

    void EndWatchdog::noteLoopEnded()
    {
        loopEnded.store(true);
    }

} // namespace tesra
