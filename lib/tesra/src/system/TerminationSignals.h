#pragma once

namespace tesra
{

    // While one lives, SIGTERM, SIGINT and SIGHUP only note that they came: the main loop reads the note and
    // ends through its normal end, which saves, rather than the process ending where it stands. What was
    // installed before comes back when it goes. The thread that made it counts as the main thread: a signal
    // that lands on another thread is sent on to it, so that the listener runs where the main loop does.
    class TerminationSignals
    {
    public:
        TerminationSignals();
        ~TerminationSignals();
        TerminationSignals(const TerminationSignals&) = delete;
        TerminationSignals& operator=(const TerminationSignals&) = delete;

        // The signal noted since the last call, 0 for none.
        static int take();
        // Called inside the handler after the note; see tesra::setTerminationSignalListener.
        static void setListener(void (*listener)(int signal));
    };

} // namespace tesra
