#include <sys/utsname.h>

#include "platform/Platform.h"

namespace tesra::platform
{

    hstring name()
    {
        return "Linux";
    }

    hstring architecture()
    {
        utsname info;
        if (uname(&info) != 0)
        {
            return "unknown";
        }
        return info.machine;
    }

} // namespace tesra::platform
