#pragma once

#include <atomic>
#include <cstdint>

namespace yim
{
    class Buffer;
    class Category;
    class Sound;

    // One playback of a sound with its own gain, pitch, fade, looping and pause state. Back-ends drive a
    // voice through the _system operations.
    class Player
    {
    public:
        // Streams play from a ring of chunks of this many bytes.
        static const int STREAM_CHUNK_SIZE = 32768;
        static const int STREAM_CHUNK_COUNT = 8;

        explicit Player(Sound* sound);
        virtual ~Player();
        Player(const Player&) = delete;
        Player& operator=(const Player&) = delete;

        float getGain();
        void setGain(float value);
        float getPitch();
        void setPitch(float value);
        Sound* getSound() const { return this->sound; }
        Category* getCategory() const;
        Buffer* getBuffer() const { return this->buffer; }
        bool isLooping() const { return this->looping.load(); }
        float getOffset() const { return this->offset; }
        int getBufferIndex() const { return this->bufferIndex; }
        int64_t getProcessedByteCount() const { return this->processedByteCount; }
        float getFadeLevel() const { return this->fadeLevel.load(); }

        bool isPlaying();
        bool isPaused() const;
        bool isFadingOut() const;
        // The paused flag alone: also set while fading out to a pause.
        bool isPausing() const { return this->paused.load(); }
        int getSamplePosition();
        float getTimePosition();

        void play(float fadeTime = 0.0f, bool looping = false);
        void pause(float fadeTime = 0.0f);
        void stop(float fadeTime = 0.0f);

        // The forms that run under the manager's lock.
        void _play(float fadeTime, bool looping);
        void _pause(float fadeTime);
        void _stop(float fadeTime);
        void _setGain(float value);
        virtual void _update(float timeDelta);
        // Category x player x global gain, times the fade level while fading, in 0..1.
        float _calcGain();

        virtual bool _systemIsPlaying() { return false; }
        virtual unsigned int _systemGetBufferPosition() { return 0; }
        virtual float _systemGetOffset() { return 0.0f; }
        virtual void _systemSetOffset(float) {}
        virtual bool _systemPreparePlay() { return true; }
        virtual void _systemPrepareBuffer() {}
        virtual void _systemUpdateGain() {}
        virtual void _systemUpdatePitch() {}
        virtual void _systemPlay() {}
        virtual int _systemStop() { return 0; }
        virtual int _systemUpdateStream() { return 0; }

    protected:
        // The queries read these from the main thread without the manager's lock.
        std::atomic<float> gain;
        std::atomic<float> pitch;
        std::atomic<bool> paused;
        std::atomic<bool> looping;
        std::atomic<float> fadeSpeed;
        std::atomic<float> fadeLevel;
        float offset = 0.0f;
        Sound* sound;
        Buffer* buffer;
        // The sound's buffer mode never changes; kept here, every update step asks it without touching
        // the sound and its buffer.
        bool streamed;
        int bufferIndex = 0;
        // A looping stream passes 2 GiB in about three hours of CD-quality sound.
        int64_t processedByteCount = 0;
    };
} // namespace yim
