#pragma once

#include <atomic>
#include <memory>
#include <string>

#include <quortypes/Mutex.h>
#include <tesravideo/TheoraVideoFrame.h>

class TheoraDataSource;
class TheoraFrameQueue;
class TheoraTimer;
class TheoraWorkerThread;

// One playing video: the frame queue that workers fill and the main thread drains, its timer link, its
// geometry and the state seeking and looping need. Decoding is the subclass's.
class TheoraVideoClip
{
    friend class TheoraVideoManager;
    friend class TheoraWorkerThread;
    friend class TheoraVideoFrame;

public:
    // The clip owns the source, and reads it from load on.
    TheoraVideoClip(std::unique_ptr<TheoraDataSource> source, int outputMode, int numPrecachedFrames,
                    bool usePower2Stride);
    virtual ~TheoraVideoClip();
    TheoraVideoClip(const TheoraVideoClip&) = delete;
    TheoraVideoClip& operator=(const TheoraVideoClip&) = delete;

    virtual void _executeSeek() = 0;
    virtual bool _readData() = 0;
    virtual void load() = 0;
    virtual void _restart() = 0;
    virtual std::string getDecoderName() = 0;
    virtual bool decodeNextFrame() = 0;

    std::string getName() const { return this->name; }
    int getWidth() const { return this->alpha ? this->width / 2 : this->width; }
    int getHeight() const { return this->height; }
    int getStride() const { return this->stride; }
    int getSubFrameWidth() const { return this->alpha ? this->width / 2 : this->subFrameWidth; }
    int getSubFrameHeight() const { return this->alpha ? this->height : this->subFrameHeight; }
    int getSubFrameOffsetX() const { return this->alpha ? 0 : this->subFrameOffsetX; }
    int getSubFrameOffsetY() const { return this->alpha ? 0 : this->subFrameOffsetY; }
    float getDuration() const { return this->duration; }
    float getFPS() const { return this->fps; }
    float getPriority() const { return this->priority; }
    void setPriority(float value) { this->priority = value; }
    int getNumDroppedFrames() const { return this->droppedFrames.load(); }
    int getNumDisplayedFrames() const { return this->displayedFrames; }
    int getNumFrames() const { return this->numFrames; }
    int getNumPrecachedFrames();
    int getNumReadyFrames();
    TheoraFrameQueue* getFrameQueue() { return this->frameQueue.get(); }
    int getOutputMode() const { return this->outputMode; }
    bool isAlpha() const { return this->alpha; }
    float getTimePosition();
    int getIteration() const { return this->iteration.load(); }
    int getPlaybackIteration() const { return this->playbackIteration.load(); }

    bool isBusy() const { return this->assignedWorker.load() != nullptr; }
    // Whether decoding threw on a worker (a file damaged past its headers): the clip decodes no more, and
    // getFailure says why.
    bool hasFailed() const { return this->failed.load(); }
    std::string getFailure() const;
    // Stops decoding for good with the reason; the worker that caught the error calls it.
    void _fail(const std::string& reason);
    TheoraWorkerThread* getAssignedWorker() const { return this->assignedWorker.load(); }
    // What a worker does when its turn ends; tests stand in for a worker with it.
    void _setAssignedWorker(TheoraWorkerThread* value) { this->assignedWorker = value; }
    int getThreadAccessCount() const { return this->threadAccessCount; }
    bool isDone();
    bool getAutoRestart() const { return this->autoRestart.load(); }
    void setAutoRestart(bool value);
    TheoraTimer* getTimer() { return this->timer.load(); }
    void setTimer(TheoraTimer* value);

    void pause();
    void play();
    bool isPaused();
    float getPlaybackSpeed();
    void setPlaybackSpeed(float value);

    void seek(float time);
    void stop();
    TheoraVideoFrame* getNextFrame();
    void popFrame();
    void update(float timeDelta);
    void waitForCache(float desiredCacheFactor = 0.5f, float maxWaitTime = 1.0f);

protected:
    std::unique_ptr<TheoraFrameQueue> frameQueue;
    std::unique_ptr<TheoraDataSource> stream;
    std::atomic<TheoraTimer*> timer;
    std::unique_ptr<TheoraTimer> defaultTimer;
    std::atomic<TheoraWorkerThread*> assignedWorker;
    int threadAccessCount = 0;
    bool alpha = false;
    std::atomic<bool> waitingForCache;
    std::atomic<int> droppedFrames;
    int displayedFrames = 0;
    int numPrecachedFrames;
    std::atomic<int> seekFrame;
    float duration = -1.0f;
    float frameDuration = 0.0f;
    float fps = 1.0f;
    float priority = 1.0f;
    std::string name;
    int width = 0;
    int height = 0;
    int stride;
    int numFrames = -1;
    int subFrameWidth = 0;
    int subFrameHeight = 0;
    int subFrameOffsetX = 0;
    int subFrameOffsetY = 0;
    int outputMode = TH_UNDEFINED;
    std::atomic<bool> firstFrameDisplayed;
    std::atomic<bool> autoRestart;
    std::atomic<bool> endOfFile;
    std::atomic<bool> restarted;
    std::atomic<int> iteration;
    std::atomic<int> playbackIteration;
    // Set by a worker while it restarts or seeks: the clock stands without touching the timer's own
    // pause flag, which belongs to the main thread.
    std::atomic<bool> workerHold;
    std::atomic<bool> failed{false};
    // Written before failed is set, read only after it is.
    std::string failure;
    std::unique_ptr<quortypes::Mutex> threadMutex;

    void setOutputMode(int mode);
    bool _isTimerHeld();
    // Drops frames whose time has passed, keeping the last ready one; the queue lock is held.
    void _discardOutdatedFrames(float absoluteTime);
};
