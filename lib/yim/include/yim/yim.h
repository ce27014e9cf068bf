#pragma once

#include <quortypes/hstring.h>

namespace yim
{
    class AudioManager;

    // The tag of the library's log lines.
    extern const hstring logTag;
    // The one audio manager; null before init and after destroy.
    extern AudioManager* manager;

    enum class SystemType
    {
        AS_DEFAULT = 0,
        AS_DISABLED = 1,
        AS_OPENAL = 2
    };

    // Any type other than these three leaves no manager of its own and ends with the silent one.
    void init(SystemType systemType, unsigned int backendId, bool threaded = false, float updateTime = 0.01f,
              const hstring& deviceName = "");
    void destroy();
} // namespace yim
