#include <cstdlib>
#include <cstdio>

#include <SDL.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <quortypes/Log.h>
#include <tesra/SystemInfo.h>
#include <tesra/tesra.h>

#include "system/SystemLocale.h"
#include "platform/Platform.h"

namespace tesra
{

    namespace
    {
        SystemInfo cachedInfo;

        hstring localeText()
        {
            for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
            {
                const char* value = getenv(variable);
                if (value != nullptr && value[0] != '\0')
                {
                    return value;
                }
            }
            return "";
        }

        void readDisplay(SystemInfo& info)
        {
            // The video subsystem is counted by SDL, so this neither starts nor ends a
            // window's use of it.
            if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            {
                quortypes::Log::warn(logTag, hstring("Unable to read the display mode: ") + SDL_GetError());
                return;
            }
            SDL_DisplayMode mode;
            if (SDL_GetDesktopDisplayMode(0, &mode) == 0)
            {
                info.displayResolution = kavtypes::Vector2((float)mode.w, (float)mode.h);
            }
            else
            {
                quortypes::Log::warn(logTag, hstring("Unable to read the display mode: ") + SDL_GetError());
            }
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
        }
    } // namespace

    SystemInfo getSystemInfo()
    {
        if (cachedInfo.locale == "")
        {
            SystemInfo& info = cachedInfo;
            info.name = "Linux";
            utsname system;
            if (uname(&system) == 0)
            {
                int major = 0;
                int minor = 0;
                if (sscanf(system.release, "%d.%d", &major, &minor) == 2)
                {
                    info.osVersion = (float)atof(formatString("%d.%d", major, minor).c_str());
                }
            }
            info.architecture = platform::architecture();
            const long cores = sysconf(_SC_NPROCESSORS_ONLN);
            info.cpuCores = cores > 0 ? (int)cores : 1;
            const long pages = sysconf(_SC_PHYS_PAGES);
            const long pageSize = sysconf(_SC_PAGE_SIZE);
            if (pages > 0 && pageSize > 0)
            {
                info.ram = (int)(((unsigned long long)pages * (unsigned long long)pageSize) >> 20);
            }
            readDisplay(info);
            info.displayDpi = 96.0f;
            const LocaleName locale = parseLocale(localeText());
            info.locale = locale.locale;
            info.localeVariant = locale.variant;
        }
        return cachedInfo;
    }

} // namespace tesra
