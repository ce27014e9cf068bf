#include "TerminationSignals.h"

#include "EndWatchdog.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <csignal>

namespace tesra
{

    namespace
    {
        const int caught[] = {SIGTERM, SIGINT, SIGHUP};
        struct sigaction previous[sizeof(caught) / sizeof(caught[0])];
        volatile std::sig_atomic_t noted = 0;
        pthread_t mainThread;
        std::atomic<void (*)(int)> listener{nullptr};
        static_assert(std::atomic<void (*)(int)>::is_always_lock_free, "read inside a signal handler");

        extern "C" void noteSignal(int signal)
        {
            // A process-directed signal may land on any thread that does not block it (audio, video, a save's
            // worker): the main thread gets it again, and this thread goes on.
            if (!pthread_equal(pthread_self(), mainThread))
            {
                pthread_kill(mainThread, signal);
                return;
            }
            noted = signal;
            if (void (*call)(int) = listener.load())
            {
                call(signal);
            }
            EndWatchdog::noteSignal(signal);
        }
    } // namespace

    TerminationSignals::TerminationSignals()
    {
        mainThread = pthread_self();
        struct sigaction action = {};
        action.sa_handler = noteSignal;
        sigemptyset(&action.sa_mask);
        // A read or a sleep the signal lands in goes on; the loop sees the note at its next frame.
        action.sa_flags = SA_RESTART;
        for (size_t i = 0; i < sizeof(caught) / sizeof(caught[0]); ++i)
        {
            sigaction(caught[i], &action, &previous[i]);
        }
    }

    TerminationSignals::~TerminationSignals()
    {
        for (size_t i = 0; i < sizeof(caught) / sizeof(caught[0]); ++i)
        {
            sigaction(caught[i], &previous[i], nullptr);
        }
    }

    void TerminationSignals::setListener(void (*call)(int signal))
    {
        listener.store(call);
    }

    int TerminationSignals::take()
    {
        const int signal = noted;
        noted = 0;
        return signal;
    }

} // namespace tesra
