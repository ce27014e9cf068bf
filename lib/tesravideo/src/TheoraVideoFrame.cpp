#include <cstring>
#include <mutex>
#include <new>

#include <tesravideo/TheoraFrameQueue.h>
#include <tesravideo/TheoraVideoClip.h>
#include <tesravideo/TheoraVideoFrame.h>

TheoraVideoFrame::TheoraVideoFrame(TheoraVideoClip* parent) : parent(parent)
{
    this->bpp = theoraBytesPerPixel(parent->getOutputMode());
    size_t size = (size_t)parent->getStride() * parent->getHeight() * this->bpp;
    this->buffer = new (std::nothrow) unsigned char[size];
    if (this->buffer != nullptr)
    {
        memset(this->buffer, 0xFF, size);
    }
}

TheoraVideoFrame::~TheoraVideoFrame()
{
    delete[] this->buffer;
}

float TheoraVideoFrame::getAbsoluteTime()
{
    return this->iteration * this->parent->getDuration() + this->timeToDisplay;
}

void TheoraVideoFrame::decode(TheoraPixelTransform* transform)
{
    transform->out = this->buffer;
    transform->w = this->parent->getWidth();
    transform->h = this->parent->getHeight();
    theoraConvert(this->parent->getOutputMode(), *transform);
    // The main thread reads the flag under the queue lock.
    std::lock_guard<TheoraFrameQueue> lock(*this->parent->getFrameQueue());
    this->ready = true;
}
