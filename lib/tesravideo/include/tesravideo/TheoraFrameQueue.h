#pragma once

#include <atomic>
#include <list>
#include <memory>
#include <mutex>

class TheoraVideoClip;
class TheoraVideoFrame;

// A ring of frame buffers in display order: workers fill frames, the main thread shows and pops them.
class TheoraFrameQueue
{
public:
    explicit TheoraFrameQueue(TheoraVideoClip* parent);
    ~TheoraFrameQueue();
    TheoraFrameQueue(const TheoraFrameQueue&) = delete;
    TheoraFrameQueue& operator=(const TheoraFrameQueue&) = delete;

    void setSize(int n);
    // Without the lock: the size changes only in setSize.
    int getSize() const { return this->size.load(); }
    void clear();
    int getReadyCount();
    TheoraVideoFrame* getFirstAvailableFrame();
    TheoraVideoFrame* requestEmptyFrame();
    void pop(int n = 1);

    void lock() { this->mutex.lock(); }
    void unlock() { this->mutex.unlock(); }
    // For callers that hold the lock.
    int _getReadyCount();
    TheoraVideoFrame* _getFirstAvailableFrame();
    void _pop(int n);
    std::list<std::unique_ptr<TheoraVideoFrame>>& _getFrames() { return this->queue; }

protected:
    std::list<std::unique_ptr<TheoraVideoFrame>> queue;
    std::atomic<int> size;
    TheoraVideoClip* parent;
    std::recursive_mutex mutex;
};
