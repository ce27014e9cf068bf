#include <tesravideo/TheoraTimer.h>

TheoraTimer::TheoraTimer() : time(0.0f), speed(1.0f), paused(false) {}

TheoraTimer::~TheoraTimer() {}

void TheoraTimer::update(float timeDelta)
{
    if (!this->isPaused())
    {
        this->time = this->time.load() + this->speed.load() * timeDelta;
    }
}
