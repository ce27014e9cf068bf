#include <algorithm>
#include <chrono>
#include <cmath>

#include <tesravideo/AudioVideoTimer.h>
#include <yim/AudioManager.h>
#include <yim/Player.h>
#include <yim/yim.h>

namespace tesravideo
{
    namespace
    {
        unsigned int steadyTicks()
        {
            auto now = std::chrono::steady_clock::now().time_since_epoch();
            // 0 means "no tick yet" to the timers, so the clock never reports it.
            return (unsigned int)std::chrono::duration_cast<std::chrono::milliseconds>(now).count() | 1u;
        }
    } // namespace

    AudioVideoTimer::TickFunction AudioVideoTimer::tickFunction = steadyTicks;

    AudioVideoTimer::AudioVideoTimer(VideoObject* object, yim::Player* player, float syncOffset)
        : VideoTimer(object), syncOffset(syncOffset), player(player)
    {
        this->disabled =
            (yim::manager == nullptr || yim::manager->getName() == "Disabled" || !yim::manager->isEnabled());
    }

    AudioVideoTimer::~AudioVideoTimer() {}

    void AudioVideoTimer::setTickFunction(TickFunction function)
    {
        tickFunction = (function != nullptr ? function : steadyTicks);
    }

    unsigned int AudioVideoTimer::getTicks()
    {
        return tickFunction();
    }

    void AudioVideoTimer::update(float timeDelta)
    {
        TheoraTimer::update(timeDelta);
        if (this->disabled)
        {
            // The speed counts here too, as it does through the player's pitch when there is sound.
            const float clock = this->fallbackClock.load() + this->speed.load() * timeDelta;
            this->fallbackClock = clock;
            this->time = clock - this->syncOffset;
            return;
        }
        bool paused = this->isPaused();
        bool playerPaused = this->_isPlayerPaused();
        unsigned int now = getTicks();
        if (this->lastTick == 0)
        {
            this->lastTick = now;
        }
        float elapsed = (float)(unsigned int)(now - this->lastTick) / 1000.0f;
        if (paused)
        {
            elapsed = 0.0f;
            if (!playerPaused && !this->_isPlayerFadingOut())
            {
                this->_pausePlayer();
            }
        }
        else if (!this->started)
        {
            this->started = true;
            this->_playPlayer();
        }
        else if (playerPaused)
        {
            this->_playPlayer();
        }
        else
        {
            elapsed = std::min(elapsed, 0.1f);
        }
        this->lastTick = now;
        if (!this->_isPlayerPlaying())
        {
            // Only the plain step above moves the clock: wall time on top of it would run the picture at
            // twice its speed once the sound has ended.
            return;
        }
        float position = this->_getPlayerTimePosition();
        if (position != this->prevAudioPosition)
        {
            float step = position - this->prevAudioPosition;
            this->prevAudioPosition = position;
            if (step > 0.1f)
            {
                this->syncDifference = position - this->audioPosition;
                this->syncSpeed = std::fabs(this->syncDifference);
            }
            else if (step > 0.0f)
            {
                // A catch-up under way keeps its remaining gap, or the next small step would take the whole
                // jump at once and the spreading would then add it a second time.
                this->audioPosition = position - this->syncDifference;
            }
            else
            {
                // The sound went back (a restart): follow it at once and forget any catch-up.
                this->audioPosition = position;
                this->syncDifference = 0.0f;
            }
        }
        else
        {
            this->audioPosition += elapsed;
        }
        if (this->syncDifference != 0.0f)
        {
            float step = this->syncSpeed * elapsed;
            if (this->syncDifference > 0.0f)
            {
                if (this->syncDifference - step < 0.0f)
                {
                    this->audioPosition += this->syncDifference;
                    this->syncDifference = 0.0f;
                }
                else
                {
                    this->audioPosition += step;
                    this->syncDifference -= step;
                }
            }
            else
            {
                if (this->syncDifference + step > 0.0f)
                {
                    this->audioPosition += this->syncDifference;
                    this->syncDifference = 0.0f;
                }
                else
                {
                    this->audioPosition -= step;
                    this->syncDifference += step;
                }
            }
        }
        this->time = this->audioPosition - this->syncOffset;
    }

    void AudioVideoTimer::seek(float value)
    {
        TheoraTimer::seek(value);
        this->fallbackClock = value + this->syncOffset;
    }

    bool AudioVideoTimer::_isPlayerPaused()
    {
        return this->player != nullptr && this->player->isPaused();
    }

    bool AudioVideoTimer::_isPlayerFadingOut()
    {
        return this->player != nullptr && this->player->isFadingOut();
    }

    bool AudioVideoTimer::_isPlayerPlaying()
    {
        return this->player != nullptr && this->player->isPlaying();
    }

    float AudioVideoTimer::_getPlayerTimePosition()
    {
        return this->player != nullptr ? this->player->getTimePosition() : 0.0f;
    }

    void AudioVideoTimer::_playPlayer()
    {
        if (this->player != nullptr)
        {
            this->player->play(0.0f, false);
        }
    }

    void AudioVideoTimer::_pausePlayer()
    {
        if (this->player != nullptr)
        {
            this->player->pause(0.0f);
        }
    }
} // namespace tesravideo
