#pragma once

#include <thread>

namespace tesra
{

    // Once a termination signal has come, the program has a grace period to leave its main loop. A
    // termination signal after it, or the grace period run out with the loop still running, ends the process
    // at once with the status 128 + the signal, after the abrupt end's listener (tesra::setAbruptEndListener)
    // has kept what it can: a program held where its own stop cannot reach (native code that never returns, a
    // script that cannot be interrupted) still ends on a signal it can catch. Once the loop has ended, the
    // end is under way: only a later signal ends it so.
    class EndWatchdog
    {
    public:
        // Starts the thread that waits for the signals; the main loop runs while one lives.
        EndWatchdog();
        ~EndWatchdog();
        EndWatchdog(const EndWatchdog&) = delete;
        EndWatchdog& operator=(const EndWatchdog&) = delete;

        // Safe inside a signal handler.
        static void noteSignal(int signal);
        static void noteLoopEnded();

        static const int graceSeconds = 5;

    private:
        // Owned here rather than by the process: an exit that leaves main's frame where it stands must not
        // meet a thread still joinable.
        std::thread watcher;
    };

} // namespace tesra
