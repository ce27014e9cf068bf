#include <tesravideo/VideoObject.h>
#include <tesravideo/VideoTimer.h>

namespace tesravideo
{
    VideoTimer::VideoTimer(VideoObject* object) : object(object), objectPaused(false)
    {
        this->refreshObjectPause();
    }

    VideoTimer::~VideoTimer() {}

    bool VideoTimer::isPaused()
    {
        return this->objectPaused.load() || TheoraTimer::isPaused();
    }

    void VideoTimer::refreshObjectPause()
    {
        this->objectPaused = (this->object != nullptr && this->object->isPausedByAlpha());
    }
} // namespace tesravideo
