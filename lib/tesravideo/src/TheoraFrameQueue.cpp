#include <memory>
#include <new>
#include <string>

#include <tesravideo/TheoraFrameQueue.h>
#include <tesravideo/TheoraVideoFrame.h>

#include "TheoraLog.h"

TheoraFrameQueue::TheoraFrameQueue(TheoraVideoClip* parent) : size(0), parent(parent) {}

TheoraFrameQueue::~TheoraFrameQueue() = default;

void TheoraFrameQueue::setSize(int n)
{
    std::lock_guard<std::recursive_mutex> lock(this->mutex);
    this->queue.clear();
    this->size = 0;
    for (int i = 0; i < n; ++i)
    {
        std::unique_ptr<TheoraVideoFrame> frame;
        try
        {
            frame = std::make_unique<TheoraVideoFrame>(this->parent);
        }
        catch (const std::bad_alloc&)
        {
            theoralog::write("TheoraFrameQueue: unable to create " + std::to_string(n) +
                             " frames, out of memory. Created " + std::to_string(this->queue.size()) +
                             " frames.");
            break;
        }
        this->queue.push_back(std::move(frame));
    }
    this->size = (int)this->queue.size();
}

void TheoraFrameQueue::clear()
{
    std::lock_guard<std::recursive_mutex> lock(this->mutex);
    for (const std::unique_ptr<TheoraVideoFrame>& frame : this->queue)
    {
        frame->clear();
    }
}

int TheoraFrameQueue::getReadyCount()
{
    std::lock_guard<std::recursive_mutex> lock(this->mutex);
    return this->_getReadyCount();
}

int TheoraFrameQueue::_getReadyCount()
{
    int count = 0;
    for (const std::unique_ptr<TheoraVideoFrame>& frame : this->queue)
    {
        if (frame->ready)
        {
            ++count;
        }
    }
    return count;
}

TheoraVideoFrame* TheoraFrameQueue::getFirstAvailableFrame()
{
    std::lock_guard<std::recursive_mutex> lock(this->mutex);
    return this->_getFirstAvailableFrame();
}

TheoraVideoFrame* TheoraFrameQueue::_getFirstAvailableFrame()
{
    if (this->queue.empty() || !this->queue.front()->ready)
    {
        return nullptr;
    }
    return this->queue.front().get();
}

TheoraVideoFrame* TheoraFrameQueue::requestEmptyFrame()
{
    std::lock_guard<std::recursive_mutex> lock(this->mutex);
    for (const std::unique_ptr<TheoraVideoFrame>& frame : this->queue)
    {
        if (!frame->inUse)
        {
            frame->inUse = true;
            frame->ready = false;
            return frame.get();
        }
    }
    return nullptr;
}

void TheoraFrameQueue::pop(int n)
{
    std::lock_guard<std::recursive_mutex> lock(this->mutex);
    this->_pop(n);
}

void TheoraFrameQueue::_pop(int n)
{
    for (int i = 0; i < n && !this->queue.empty(); ++i)
    {
        this->queue.front()->clear();
        this->queue.splice(this->queue.end(), this->queue, this->queue.begin());
    }
}
