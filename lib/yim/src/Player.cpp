#include <algorithm>
#include <cmath>

#include <yim/AudioManager.h>
#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/yim.h>

#include "FiniteGain.h"

namespace yim
{
    namespace
    {
        // A fade so short that its speed is infinite is no fade: it would turn the level into NaN.
        bool fades(float fadeTime)
        {
            return fadeTime > 0.0f && std::isfinite(1.0f / fadeTime);
        }
    } // namespace

    Player::Player(Sound* sound)
        : gain(1.0f), pitch(1.0f), paused(false), looping(false), fadeSpeed(0.0f), fadeLevel(0.0f),
          sound(sound), streamed(sound->isStreamed())
    {
        this->buffer = this->streamed ? manager->_createBuffer(sound) : sound->getBuffer();
    }

    Player::~Player()
    {
        if (this->streamed)
        {
            manager->_destroyBuffer(this->buffer);
        }
    }

    Category* Player::getCategory() const
    {
        return this->sound->getCategory();
    }

    float Player::getGain()
    {
        manager->_lock();
        float result = this->gain.load();
        manager->_unlock();
        return result;
    }

    void Player::setGain(float value)
    {
        manager->_lock();
        this->_setGain(value);
        manager->_unlock();
    }

    void Player::_setGain(float value)
    {
        if (!std::isfinite(value))
        {
            warnNonFiniteGain(value, "a player of '" + this->sound->getName() + "'");
            return;
        }
        this->gain.store(std::clamp(value, 0.0f, 1.0f));
        this->_systemUpdateGain();
    }

    float Player::getPitch()
    {
        manager->_lock();
        float result = this->pitch.load();
        manager->_unlock();
        return result;
    }

    void Player::setPitch(float value)
    {
        manager->_lock();
        // NaN would pass the clamp and reach the sample rate's conversion to an integer: it counts as 0.
        this->pitch.store(std::clamp(std::isnan(value) ? 0.0f : value, 0.01f, 100.0f));
        this->_systemUpdatePitch();
        manager->_unlock();
    }

    bool Player::isPlaying()
    {
        return !this->isFadingOut() && this->_systemIsPlaying();
    }

    bool Player::isPaused() const
    {
        return this->paused.load() && this->fadeSpeed.load() == 0.0f;
    }

    bool Player::isFadingOut() const
    {
        return this->fadeSpeed.load() < 0.0f;
    }

    int Player::getSamplePosition()
    {
        manager->_lock();
        long long position = this->_systemGetBufferPosition();
        if (this->streamed)
        {
            position = ((position - (long long)this->bufferIndex * STREAM_CHUNK_SIZE) &
                        (STREAM_CHUNK_SIZE * STREAM_CHUNK_COUNT - 1)) +
                       this->processedByteCount;
        }
        position = std::min<long long>(position, this->buffer->getSize());
        // A file may declare a frame wider than an int holds; no voice plays it, but it still has a place.
        const long long frameSize =
            (long long)this->buffer->getChannels() * this->buffer->getBitsPerSample() / 8;
        manager->_unlock();
        return frameSize > 0 ? (int)(position / frameSize) : 0;
    }

    float Player::getTimePosition()
    {
        int samples = this->getSamplePosition();
        manager->_lock();
        int rate = this->buffer->getSamplingRate();
        manager->_unlock();
        return rate > 0 ? (float)samples / rate : 0.0f;
    }

    void Player::play(float fadeTime, bool looping)
    {
        manager->_lock();
        this->_play(fadeTime, looping);
        manager->_unlock();
    }

    void Player::pause(float fadeTime)
    {
        manager->_lock();
        this->_pause(fadeTime);
        manager->_unlock();
    }

    void Player::stop(float fadeTime)
    {
        manager->_lock();
        this->_stop(fadeTime);
        manager->_unlock();
    }

    void Player::_play(float fadeTime, bool looping)
    {
        if (!manager->isEnabled())
        {
            return;
        }
        if (manager->isSuspended())
        {
            // Resuming plays it.
            harray<Player*>& waiting = manager->suspendedPlayers;
            if (std::find(waiting.begin(), waiting.end(), this) == waiting.end())
            {
                waiting.push_back(this);
            }
            if (!this->paused.load())
            {
                this->looping.store(looping);
                this->paused.store(true);
            }
            return;
        }
        if (!this->_systemPreparePlay())
        {
            return;
        }
        if (!this->paused.load())
        {
            this->looping.store(looping);
        }
        bool fading = this->fadeSpeed.load() != 0.0f;
        if (!fading && !this->_systemIsPlaying())
        {
            this->buffer->prepare();
            this->_systemPrepareBuffer();
            if (this->paused.load())
            {
                this->_systemSetOffset(this->offset);
            }
            this->buffer->bind(this, this->paused.load());
        }
        if (fades(fadeTime))
        {
            this->fadeSpeed.store(1.0f / fadeTime);
        }
        else
        {
            this->fadeLevel.store(1.0f);
            this->fadeSpeed.store(0.0f);
        }
        this->_systemUpdateGain();
        if (!fading)
        {
            this->_systemPlay();
        }
        this->paused.store(false);
    }

    void Player::_pause(float fadeTime)
    {
        this->paused.store(true);
        if (fades(fadeTime))
        {
            this->fadeSpeed.store(-1.0f / fadeTime);
            return;
        }
        this->offset = this->_systemGetOffset();
        this->processedByteCount += this->_systemStop();
        this->buffer->release(this, true);
        this->fadeLevel.store(0.0f);
        this->fadeSpeed.store(0.0f);
    }

    void Player::_stop(float fadeTime)
    {
        if (manager->isSuspended())
        {
            manager->suspendedPlayers.removeAll(this);
        }
        this->paused.store(false);
        if (fades(fadeTime))
        {
            this->offset = 0.0f;
            this->fadeSpeed.store(-1.0f / fadeTime);
            this->processedByteCount = 0;
            return;
        }
        this->processedByteCount += this->_systemStop();
        this->buffer->release(this, false);
        this->fadeLevel.store(0.0f);
        this->fadeSpeed.store(0.0f);
        this->offset = 0.0f;
        this->processedByteCount = 0;
    }

    void Player::_update(float timeDelta)
    {
        if (this->_systemIsPlaying())
        {
            this->buffer->setIdleTime(0.0f);
            if (this->streamed)
            {
                this->processedByteCount += this->_systemUpdateStream();
            }
        }
        else if (this->paused.load())
        {
            this->buffer->setIdleTime(0.0f);
        }
        float speed = this->fadeSpeed.load();
        if (speed == 0.0f)
        {
            return;
        }
        float level = this->fadeLevel.load() + speed * timeDelta;
        this->fadeLevel.store(level);
        if (speed > 0.0f && level >= 1.0f)
        {
            this->_systemUpdateGain();
            this->fadeLevel.store(1.0f);
            this->fadeSpeed.store(0.0f);
        }
        else if (speed < 0.0f && level <= 0.0f)
        {
            this->fadeLevel.store(0.0f);
            this->fadeSpeed.store(0.0f);
            if (this->paused.load())
            {
                this->_pause(0.0f);
            }
            else
            {
                this->_stop(0.0f);
            }
        }
        else
        {
            this->_systemUpdateGain();
        }
    }

    float Player::_calcGain()
    {
        float result = this->sound->getCategory()->getGain() * this->gain.load() * manager->getGlobalGain();
        if (this->fadeSpeed.load() != 0.0f)
        {
            result *= this->fadeLevel.load();
        }
        // NaN falls to 0 with the rest below range.
        return result > 0.0f ? std::min(result, 1.0f) : 0.0f;
    }
} // namespace yim
