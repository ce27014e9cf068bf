#include "TerminationSignals.h"

#include <signal.h>

#include <csignal>

namespace tesra
{

    namespace
    {
        const int caught[] = {SIGTERM, SIGINT, SIGHUP};
        struct sigaction previous[sizeof(caught) / sizeof(caught[0])];
        volatile std::sig_atomic_t noted = 0;

        extern "C" void noteSignal(int signal)
        {
            noted = signal;
        }
    } // namespace

    TerminationSignals::TerminationSignals()
    {
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

    int TerminationSignals::take()
    {
        const int signal = noted;
        noted = 0;
        return signal;
    }

} // namespace tesra
