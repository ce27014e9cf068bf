#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <memory>
#include <thread>

#include <tesravideo/TheoraDataSource.h>
#include <tesravideo/TheoraException.h>
#include <tesravideo/TheoraFrameQueue.h>
#include <tesravideo/TheoraTimer.h>
#include <tesravideo/TheoraVideoClip.h>

TheoraVideoClip::TheoraVideoClip(std::unique_ptr<TheoraDataSource> source, int outputMode,
                                 int numPrecachedFrames, bool usePower2Stride)
    : stream(std::move(source)), timer(nullptr), assignedWorker(nullptr), waitingForCache(false),
      droppedFrames(0), numPrecachedFrames(numPrecachedFrames), seekFrame(-1),
      stride(usePower2Stride ? 1 : 0), firstFrameDisplayed(false), autoRestart(false), endOfFile(false),
      restarted(false), iteration(0), playbackIteration(0), workerHold(false)
{
    this->name = this->stream->repr();
    this->threadMutex = std::make_unique<quortypes::Mutex>();
    this->defaultTimer = std::make_unique<TheoraTimer>();
    this->timer = this->defaultTimer.get();
    // A failed construction frees the source with the other members.
    this->setOutputMode(outputMode);
}

TheoraVideoClip::~TheoraVideoClip()
{
    // A worker may still be leaving the clip: what it touches goes under its mutex, in this order.
    this->threadMutex->lock();
    this->defaultTimer.reset();
    this->stream.reset();
    this->frameQueue.reset();
    this->threadMutex->unlock();
    this->threadMutex.reset();
}

std::string TheoraVideoClip::getFailure() const
{
    return this->failed.load() ? this->failure : std::string();
}

void TheoraVideoClip::_fail(const std::string& reason)
{
    if (this->failed.load())
    {
        return;
    }
    this->failure = reason;
    this->endOfFile = true;
    this->failed = true;
}

void TheoraVideoClip::setOutputMode(int mode)
{
    if (mode == TH_UNDEFINED)
    {
        THEORA_THROW("Invalid output mode: TH_UNDEFINED for video: " + this->name);
    }
    this->outputMode = mode;
    this->alpha = theoraIsAlphaMode(mode);
}

int TheoraVideoClip::getNumPrecachedFrames()
{
    return (this->frameQueue != nullptr ? this->frameQueue->getSize() : 0);
}

int TheoraVideoClip::getNumReadyFrames()
{
    if (this->seekFrame.load() != -1 || this->frameQueue == nullptr)
    {
        return 0;
    }
    return this->frameQueue->getReadyCount();
}

float TheoraVideoClip::getTimePosition()
{
    return this->timer.load()->getTime();
}

bool TheoraVideoClip::isDone()
{
    return this->endOfFile.load() && this->frameQueue->getReadyCount() == 0;
}

void TheoraVideoClip::setAutoRestart(bool value)
{
    this->autoRestart = value;
    if (value)
    {
        this->endOfFile = false;
    }
}

void TheoraVideoClip::setTimer(TheoraTimer* value)
{
    this->timer = (value != nullptr ? value : this->defaultTimer.get());
}

void TheoraVideoClip::pause()
{
    this->timer.load()->pause();
}

void TheoraVideoClip::play()
{
    this->timer.load()->play();
}

bool TheoraVideoClip::isPaused()
{
    return this->timer.load()->isPaused();
}

float TheoraVideoClip::getPlaybackSpeed()
{
    return this->timer.load()->getSpeed();
}

void TheoraVideoClip::setPlaybackSpeed(float value)
{
    this->timer.load()->setSpeed(value);
}

void TheoraVideoClip::seek(float time)
{
    // Held within the clip before it becomes a frame number: a time past the end stands at the end, one
    // before the start (or NaN) at the start, whatever an int could hold of it.
    const double frame = (double)time * this->fps;
    const int last = std::max(this->numFrames, 0);
    this->firstFrameDisplayed = false;
    this->endOfFile = false;
    this->seekFrame = (frame >= last ? last : (frame > 0.0 ? (int)frame : 0));
}

void TheoraVideoClip::stop()
{
    this->pause();
    this->frameQueue->clear();
    this->firstFrameDisplayed = false;
    this->iteration = 0;
    this->playbackIteration = 0;
    this->endOfFile = false;
    this->seekFrame = 0;
}

namespace
{
    // A frame's time counting every earlier pass of a looping clip. The clip works it out, not the frame,
    // so that a frame needs its clip and never the other way round.
    float absoluteTimeOf(const TheoraVideoFrame& frame, float clipDuration)
    {
        return frame.iteration * clipDuration + frame.timeToDisplay;
    }
} // namespace

bool TheoraVideoClip::_isTimerHeld()
{
    return this->workerHold.load() || this->timer.load()->isPaused();
}

void TheoraVideoClip::_discardOutdatedFrames(float absoluteTime)
{
    std::list<std::unique_ptr<TheoraVideoFrame>>& frames = this->frameQueue->_getFrames();
    int ready = this->frameQueue->_getReadyCount();
    if (ready == 1)
    {
        return;
    }
    int count = 0;
    for (const std::unique_ptr<TheoraVideoFrame>& frame : frames)
    {
        if (!frame->ready || absoluteTimeOf(*frame, this->duration) + this->frameDuration >= absoluteTime)
        {
            break;
        }
        if (ready - count <= 1)
        {
            break;
        }
        ++count;
    }
    if (count > 0)
    {
        this->droppedFrames += count;
        this->frameQueue->_pop(count);
    }
}

TheoraVideoFrame* TheoraVideoClip::getNextFrame()
{
    if (this->seekFrame.load() != -1)
    {
        return nullptr;
    }
    float time = this->getTimePosition() + this->playbackIteration.load() * this->duration;
    std::lock_guard<TheoraFrameQueue> lock(*this->frameQueue);
    this->_discardOutdatedFrames(time);
    TheoraVideoFrame* frame = this->frameQueue->_getFirstAvailableFrame();
    if (frame != nullptr && absoluteTimeOf(*frame, this->duration) > time && this->firstFrameDisplayed.load())
    {
        return nullptr;
    }
    return frame;
}

void TheoraVideoClip::popFrame()
{
    ++this->displayedFrames;
    this->frameQueue->pop(1);
    this->firstFrameDisplayed = true;
}

void TheoraVideoClip::update(float timeDelta)
{
    TheoraTimer* current = this->timer.load();
    if (this->_isTimerHeld())
    {
        current->update(0.0f);
        return;
    }
    float time = current->getTime();
    float speed = current->getSpeed();
    float duration = this->duration;
    float next = time + timeDelta * speed;
    // An unknown duration (a file whose length could not be found) has no end to stop or wrap at.
    if (next < duration || duration <= 0.0f)
    {
        current->update(timeDelta);
    }
    else if (this->autoRestart.load() && this->restarted.load())
    {
        // The passes the step went past, counted at once: taken off one by one, a step a float holds
        // millions of passes of (a speed or a sync offset far out) would never end, and would lose nothing
        // to the subtraction once the time outgrew the duration. A time no float holds starts a pass.
        const bool finite = std::isfinite(next);
        const double passes = (finite ? std::floor((double)next / duration) : 1.0);
        const int counted = this->playbackIteration.load();
        this->playbackIteration = counted + (int)std::min(passes, (double)(INT_MAX - counted));
        const float within = (finite ? std::fmod(next, duration) : 0.0f);
        current->seek(within >= 0.0f && within < duration ? within : 0.0f);
    }
    else if (time != duration && speed != 0.0f)
    {
        // Stands exactly at the end; a clock no float holds stands there at once.
        const float step = (duration - time) / speed;
        if (std::isfinite(step))
        {
            current->update(step);
        }
        else
        {
            current->seek(duration);
        }
    }
}

void TheoraVideoClip::waitForCache(float desiredCacheFactor, float maxWaitTime)
{
    this->waitingForCache = true;
    TheoraTimer* current = this->timer.load();
    bool wasPaused = current->isPaused();
    if (!wasPaused)
    {
        current->pause();
    }
    int needed = (int)(this->getNumPrecachedFrames() * desiredCacheFactor);
    int waited = 0;
    while (this->getNumReadyFrames() < needed)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        waited += 10;
        if (waited >= maxWaitTime * 1000)
        {
            break;
        }
    }
    if (!wasPaused)
    {
        current->play();
    }
    this->waitingForCache = false;
}
