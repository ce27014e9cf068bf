#include <quortypes/Log.h>
#include <tesraui/tesraui.h>
#include <tesravideo/TheoraVideoManager.h>
#include <tesravideo/VideoObject.h>
#include <tesravideo/tesravideo.h>

#include "module.h"

namespace tesravideo
{
    const hstring logTag = "tesravideo";
    int workerThreadCount = 1;
    int liveObjectCount = 0;
    hstring defaultFileExtension = ".ogv";

    namespace
    {
        void writeToLog(const std::string& message)
        {
            quortypes::Log::write(logTag, message);
        }
    } // namespace

    void init(int numWorkerThreads)
    {
        TheoraVideoManager::setLogFunction(writeToLog);
        workerThreadCount = numWorkerThreads;
        tesraui::registerObjectFactory("VideoObject", &VideoObject::createInstance);
    }

    hstring getDefaultFileExtension()
    {
        return defaultFileExtension;
    }

    int getWorkerThreadCount()
    {
        return workerThreadCount;
    }

    int getLiveObjectCount()
    {
        return liveObjectCount;
    }
} // namespace tesravideo
