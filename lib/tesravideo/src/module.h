#pragma once

#include <quortypes/hstring.h>

namespace tesravideo
{
    // Set by init; the manager made with the first video object gets this many workers.
    extern int workerThreadCount;
    extern int liveObjectCount;
    extern hstring defaultFileExtension;
} // namespace tesravideo
