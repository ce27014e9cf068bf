#pragma once

#include <atomic>

// A clip's playback clock. Workers read it (time, pause state, and set the time when they run a seek)
// while the main thread advances it, so its fields are atomic.
class TheoraTimer
{
public:
    TheoraTimer();
    virtual ~TheoraTimer();

    virtual float getTime() { return this->time.load(); }
    virtual void update(float timeDelta);
    virtual void pause() { this->paused = true; }
    virtual void play() { this->paused = false; }
    virtual bool isPaused() { return this->paused.load(); }
    virtual void stop() {}
    virtual void setSpeed(float value) { this->speed = value; }
    virtual float getSpeed() { return this->speed.load(); }
    virtual void seek(float value) { this->time = value; }

protected:
    std::atomic<float> time;
    std::atomic<float> speed;
    std::atomic<bool> paused;
};
