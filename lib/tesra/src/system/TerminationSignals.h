#pragma once

namespace tesra
{

    // While one lives, SIGTERM, SIGINT and SIGHUP only note that they came: the main loop reads the note and
    // ends through its normal end, which saves, rather than the process ending where it stands. What was
    // installed before comes back when it goes.
    class TerminationSignals
    {
    public:
        TerminationSignals();
        ~TerminationSignals();
        TerminationSignals(const TerminationSignals&) = delete;
        TerminationSignals& operator=(const TerminationSignals&) = delete;

        // The signal noted since the last call, 0 for none.
        static int take();
    };

} // namespace tesra
