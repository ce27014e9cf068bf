#include "AbruptEnd.h"

#include <atomic>

namespace tesra
{

    namespace AbruptEnd
    {
        namespace
        {
            // The main thread's ends (the display lost) and the end watchdog's thread may both announce.
            std::atomic<void (*)()> listener{nullptr};
            std::atomic<bool> announced{false};
        } // namespace

        void setListener(void (*call)())
        {
            listener.store(call);
            announced.store(false);
        }

        void announce()
        {
            void (*call)() = listener.load();
            if (call == nullptr || announced.exchange(true))
            {
                return;
            }
            call();
        }
    } // namespace AbruptEnd

} // namespace tesra
