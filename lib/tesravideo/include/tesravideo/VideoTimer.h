#pragma once

#include <atomic>

#include <tesravideo/TheoraTimer.h>

namespace tesravideo
{
    class VideoObject;

    // A video object's clock: it also stands while its object is hidden or otherwise paused. Workers ask
    // isPaused from their own threads, so the object's answer is cached here by the main thread
    // (refreshObjectPause) and never read from the object there.
    class VideoTimer : public TheoraTimer
    {
    public:
        explicit VideoTimer(VideoObject* object);
        ~VideoTimer() override;

        bool isPaused() override;
        // Main thread only: takes the object's current pause state.
        void refreshObjectPause();

        VideoObject* getObject() const { return this->object; }

    protected:
        VideoObject* object;
        std::atomic<bool> objectPaused;
    };
} // namespace tesravideo
