#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alext.h>

#include <algorithm>
#include <cmath>

#include <yim/Buffer.h>
#include <yim/Source.h>

#include "OpenAL_AudioManager.h"
#include "OpenAL_Player.h"

namespace yim
{
    namespace
    {
        const int RING_MASK = Player::STREAM_CHUNK_SIZE * Player::STREAM_CHUNK_COUNT - 1;

        const unsigned char* silence(int bitsPerSample)
        {
            static unsigned char zero[Player::STREAM_CHUNK_SIZE] = {};
            static unsigned char middle[Player::STREAM_CHUNK_SIZE];
            static bool filled = (std::fill(middle, middle + sizeof(middle), 0x80), true);
            (void)filled;
            // 8-bit samples are unsigned: their silence is the middle value.
            return bitsPerSample == 8 ? middle : zero;
        }

        ALenum formatOf(int channels, int bitsPerSample)
        {
            if (channels == 1)
            {
                return bitsPerSample == 8 ? AL_FORMAT_MONO8 : bitsPerSample == 16 ? AL_FORMAT_MONO16 : 0;
            }
            if (channels == 2)
            {
                return bitsPerSample == 8 ? AL_FORMAT_STEREO8 : bitsPerSample == 16 ? AL_FORMAT_STEREO16 : 0;
            }
            return 0;
        }
    } // namespace

    OpenAL_Player::OpenAL_Player(Sound* sound, bool directChannels)
        : Player(sound), voice(0), bufferedChunks(0), started(false), directChannels(directChannels)
    {
    }

    OpenAL_Player::~OpenAL_Player()
    {
        ALuint source = this->voice.load();
        if (source != 0)
        {
            alSourceStop(source);
            alSourcei(source, AL_BUFFER, 0);
            alDeleteSources(1, &source);
            alDeleteBuffers(this->slotCount, this->slots);
        }
    }

    bool OpenAL_Player::isStreamed() const
    {
        return this->streamed;
    }

    int OpenAL_Player::sourceState() const
    {
        ALint state = AL_INITIAL;
        alGetSourcei(this->voice.load(), AL_SOURCE_STATE, &state);
        return state;
    }

    bool OpenAL_Player::_systemIsPlaying()
    {
        if (this->voice.load() == 0)
        {
            return false;
        }
        // A stream that ran dry while chunks wait plays on: the next refill restarts it. Asked first, as
        // it spares a streaming voice's every update step a round trip into the mixer's lock.
        if (this->started.load() && this->bufferedChunks.load() > 0 && this->isStreamed())
        {
            return true;
        }
        return this->sourceState() == AL_PLAYING;
    }

    unsigned int OpenAL_Player::_systemGetBufferPosition()
    {
        if (this->voice.load() == 0)
        {
            return 0;
        }
        ALint offset = 0;
        alGetSourcei(this->voice.load(), AL_BYTE_OFFSET, &offset);
        if (!this->isStreamed())
        {
            return (unsigned int)offset;
        }
        // The queue starts at the head slot, the oldest one still queued.
        int head = (this->bufferIndex - this->queuedChunks) & (STREAM_CHUNK_COUNT - 1);
        return (unsigned int)((head * STREAM_CHUNK_SIZE + offset) & RING_MASK);
    }

    float OpenAL_Player::_systemGetOffset()
    {
        return (float)this->_systemGetBufferPosition();
    }

    void OpenAL_Player::_systemSetOffset(float offset)
    {
        // A paused stream keeps its place in the queue by itself.
        if (this->voice.load() != 0 && !this->isStreamed())
        {
            alSourcei(this->voice.load(), AL_BYTE_OFFSET, (ALint)offset);
        }
    }

    bool OpenAL_Player::_systemPreparePlay()
    {
        if (this->voice.load() != 0)
        {
            return true;
        }
        this->format = formatOf(this->buffer->getChannels(), this->buffer->getBitsPerSample());
        this->samplingRate = this->buffer->getSamplingRate();
        if (this->format == 0 || this->samplingRate < 1)
        {
            return false;
        }
        alGetError();
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR)
        {
            return false;
        }
        this->slotCount = this->isStreamed() ? STREAM_CHUNK_COUNT : 1;
        alGenBuffers(this->slotCount, this->slots);
        if (alGetError() != AL_NO_ERROR)
        {
            alDeleteSources(1, &source);
            this->slotCount = 0;
            return false;
        }
        // At the listener, unattenuated; stereo reaches the speakers unpanned.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
        if (this->directChannels)
        {
            alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
        }
        this->voice.store(source);
        // A pitch set before the first play counts too.
        this->_systemUpdatePitch();
        return true;
    }

    void OpenAL_Player::queueChunk(const unsigned char* bytes)
    {
        ALuint slot = this->slots[this->bufferIndex];
        alBufferData(slot, this->format, bytes, STREAM_CHUNK_SIZE, this->samplingRate);
        alSourceQueueBuffers(this->voice.load(), 1, &slot);
        this->bufferIndex = (this->bufferIndex + 1) % STREAM_CHUNK_COUNT;
        ++this->queuedChunks;
    }

    int OpenAL_Player::unqueueProcessed()
    {
        ALint processed = 0;
        alGetSourcei(this->voice.load(), AL_BUFFERS_PROCESSED, &processed);
        processed = std::min<ALint>(processed, this->queuedChunks);
        if (processed > 0)
        {
            ALuint names[STREAM_CHUNK_COUNT];
            alSourceUnqueueBuffers(this->voice.load(), processed, names);
            this->queuedChunks -= processed;
            this->bufferedChunks.store(std::max(0, this->bufferedChunks.load() - processed));
        }
        return processed;
    }

    void OpenAL_Player::_systemPrepareBuffer()
    {
        ALuint source = this->voice.load();
        if (source == 0)
        {
            return;
        }
        if (!this->isStreamed())
        {
            if (!this->uploaded)
            {
                int frameSize = this->buffer->getChannels() * this->buffer->getBitsPerSample() / 8;
                int size = this->buffer->getDataSize() / frameSize * frameSize;
                const unsigned char* data =
                    this->buffer->getData() != nullptr ? this->buffer->getData() : silence(16);
                alBufferData(this->slots[0], this->format, data, size, this->samplingRate);
                alSourcei(source, AL_BUFFER, (ALint)this->slots[0]);
                this->uploaded = true;
            }
            return;
        }
        int count = STREAM_CHUNK_COUNT;
        if (this->paused.load())
        {
            count = STREAM_CHUNK_COUNT - this->queuedChunks;
            if (count < 1)
            {
                return;
            }
        }
        else
        {
            alSourceStop(source);
            alSourcei(source, AL_BUFFER, 0);
            this->bufferIndex = 0;
            this->queuedChunks = 0;
            this->bufferedChunks.store(0);
        }
        int bytes = this->buffer->load(this->looping.load(), count * STREAM_CHUNK_SIZE);
        int chunks = (bytes + STREAM_CHUNK_SIZE - 1) / STREAM_CHUNK_SIZE;
        for (int i = 0; i < chunks; ++i)
        {
            this->queueChunk(this->buffer->getData() + i * STREAM_CHUNK_SIZE);
        }
        this->bufferedChunks.store(this->bufferedChunks.load() + chunks);
        while (this->queuedChunks < STREAM_CHUNK_COUNT)
        {
            this->queueChunk(silence(this->buffer->getBitsPerSample()));
        }
    }

    float OpenAL_Player::volumeGain(float gain)
    {
        if (!(gain > 0.0f))
        {
            return 0.0f;
        }
        // The volume scale counts hundredths of a decibel, but the gain goes in at a quarter of its log.
        int volume = (int)(std::log10(gain) * 0.25f * 10000.0f);
        return std::pow(10.0f, volume / 2000.0f);
    }

    void OpenAL_Player::_systemUpdateGain()
    {
        if (this->voice.load() != 0)
        {
            alSourcef(this->voice.load(), AL_GAIN, volumeGain(this->_calcGain()));
        }
    }

    void OpenAL_Player::_systemUpdatePitch()
    {
        if (this->voice.load() != 0)
        {
            long long rate = std::min<long long>((long long)(this->samplingRate * this->pitch.load()),
                                                 OpenAL_AudioManager::MAX_SAMPLE_RATE);
            alSourcef(this->voice.load(), AL_PITCH, (float)rate / this->samplingRate);
        }
    }

    void OpenAL_Player::_systemPlay()
    {
        ALuint source = this->voice.load();
        if (source == 0)
        {
            return;
        }
        alSourcei(source, AL_LOOPING, !this->isStreamed() && this->looping.load() ? AL_TRUE : AL_FALSE);
        this->started.store(true);
        // Playing again would restart a playing source from its beginning.
        if (this->sourceState() != AL_PLAYING)
        {
            alSourcePlay(source);
        }
    }

    int OpenAL_Player::_systemStop()
    {
        ALuint source = this->voice.load();
        if (source == 0)
        {
            return 0;
        }
        this->started.store(false);
        if (!this->isStreamed())
        {
            if (this->paused.load())
            {
                alSourcePause(source);
            }
            else
            {
                alSourceStop(source);
                alSourceRewind(source);
            }
            return 0;
        }
        if (this->paused.load())
        {
            // What stays queued plays on after the pause; the played slots are refilled on play.
            alSourcePause(source);
            return this->unqueueProcessed() * STREAM_CHUNK_SIZE;
        }
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
        this->bufferIndex = 0;
        this->queuedChunks = 0;
        this->bufferedChunks.store(0);
        this->buffer->getSource()->rewind();
        return 0;
    }

    int OpenAL_Player::_systemUpdateStream()
    {
        ALuint source = this->voice.load();
        if (source == 0)
        {
            return 0;
        }
        if (this->bufferedChunks.load() == 0)
        {
            this->_stop(0.0f);
            return 0;
        }
        int processed = this->unqueueProcessed();
        if (processed == 0)
        {
            return 0;
        }
        int bytes = this->buffer->load(this->looping.load(), processed * STREAM_CHUNK_SIZE);
        int chunks = (bytes + STREAM_CHUNK_SIZE - 1) / STREAM_CHUNK_SIZE;
        for (int i = 0; i < chunks; ++i)
        {
            this->queueChunk(this->buffer->getData() + i * STREAM_CHUNK_SIZE);
        }
        this->bufferedChunks.store(this->bufferedChunks.load() + chunks);
        if (!this->looping.load())
        {
            while (this->queuedChunks < STREAM_CHUNK_COUNT)
            {
                this->queueChunk(silence(this->buffer->getBitsPerSample()));
            }
        }
        if (this->bufferedChunks.load() == 0)
        {
            this->_stop(0.0f);
            return 0;
        }
        if (this->started.load() && this->sourceState() == AL_STOPPED)
        {
            alSourcePlay(source);
        }
        return processed * STREAM_CHUNK_SIZE;
    }
} // namespace yim
