#include <mutex>
#include <new>

#include <tesravideo/TheoraFrameQueue.h>
#include <tesravideo/TheoraVideoClip.h>
#include <tesravideo/TheoraVideoFrame.h>

TheoraVideoFrame::TheoraVideoFrame(TheoraVideoClip* parent) : parent(parent)
{
    this->bpp = theoraBytesPerPixel(parent->getOutputMode());
    long long stride = parent->getStride();
    long long height = parent->getHeight();
    // Loading bounds the frame; anything larger is a fault and is not worth the attempt.
    if (stride <= 0 || height <= 0 || stride * height > (long long)theoraMaxFrameSide * theoraMaxFrameSide)
    {
        throw std::bad_alloc();
    }
    size_t size = (size_t)(stride * height * this->bpp);
    this->buffer.assign(size, 0xFF);
}

TheoraVideoFrame::~TheoraVideoFrame() = default;

void TheoraVideoFrame::decode(TheoraPixelTransform* transform)
{
    transform->out = this->buffer.data();
    transform->w = this->parent->getWidth();
    transform->h = this->parent->getHeight();
    theoraConvert(this->parent->getOutputMode(), *transform);
    // The main thread reads the flag under the queue lock.
    std::lock_guard<TheoraFrameQueue> lock(*this->parent->getFrameQueue());
    this->ready = true;
}
