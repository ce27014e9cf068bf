#include "AbruptEnd.h"

namespace tesra
{

    namespace AbruptEnd
    {
        namespace
        {
            void (*listener)() = nullptr;
            bool announced = false;
        } // namespace

        void setListener(void (*call)())
        {
            listener = call;
            announced = false;
        }

        void announce()
        {
            if (listener == nullptr || announced)
            {
                return;
            }
            announced = true;
            listener();
        }
    } // namespace AbruptEnd

} // namespace tesra
