#pragma once

#include <quortypes/hstring.h>

namespace tesravideo
{
    // The tag of the library's log lines.
    extern const hstring logTag;

    // Routes the video library's log to the log tag, keeps the worker count for the manager that the
    // first video object makes, and registers the object factory "VideoObject".
    void init(int numWorkerThreads);
    // For video names without one of the known extensions: ".ogv".
    hstring getDefaultFileExtension();
    int getWorkerThreadCount();
    // The manager lives while this is above 0.
    int getLiveObjectCount();
} // namespace tesravideo
