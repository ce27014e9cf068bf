#pragma once

#include <dlfcn.h>
#include <link.h>

namespace tesra_testing
{
    // SDL unloads the GL driver before the leak check, which then reports its memory from an unknown
    // module: every library loaded now stays loaded until the process ends.
    inline void keepLoadedLibraries()
    {
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void*)
            {
                if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
                {
                    dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                }
                return 0;
            },
            nullptr);
    }
} // namespace tesra_testing
