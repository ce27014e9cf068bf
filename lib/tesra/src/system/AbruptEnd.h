#pragma once

namespace tesra
{

    // Whoever must keep something when the program cannot end through its main loop; see
    // tesra::setAbruptEndListener.
    namespace AbruptEnd
    {
        void setListener(void (*listener)());
        // Calls the listener, once: a second end that comes while the first one is told is not told again.
        void announce();
    } // namespace AbruptEnd

} // namespace tesra
