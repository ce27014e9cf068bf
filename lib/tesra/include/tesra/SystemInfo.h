#pragma once

#include <kavtypes/Vector2.h>
#include <quortypes/hstring.h>

namespace tesra
{

    struct SystemInfo
    {
        hstring name;
        hstring architecture = "x86";
        float osVersion = 1.0f;
        int cpuCores = 1;
        int ram = 256; // megabytes
        kavtypes::Vector2 displayResolution;
        float displayDpi = 96.0f;
        hstring locale;        // language code, e.g. "en", "pt-PT", "zh-Hant"
        hstring localeVariant; // country code, upper case
    };

    // The system information, gathered on the first call and cached.
    SystemInfo getSystemInfo();

} // namespace tesra
