#pragma once

#include <atomic>

#include <yim/Player.h>

namespace yim
{
    // Whole-file sounds play from one AL buffer of their own; streamed ones from a ring of AL buffers
    // queued in slot order, the processed ones refilled and queued again.
    class OpenAL_Player : public Player
    {
    public:
        OpenAL_Player(Sound* sound, bool directChannels);
        ~OpenAL_Player() override;

        int getBufferedChunkCount() const { return this->bufferedChunks.load(); }
        int getQueuedChunkCount() const { return this->queuedChunks; }

        bool _systemIsPlaying() override;
        unsigned int _systemGetBufferPosition() override;
        float _systemGetOffset() override;
        void _systemSetOffset(float offset) override;
        bool _systemPreparePlay() override;
        void _systemPrepareBuffer() override;
        void _systemUpdateGain() override;
        void _systemUpdatePitch() override;
        void _systemPlay() override;
        int _systemStop() override;
        int _systemUpdateStream() override;

        // The AL gain for a linear gain, in the steps of the volume scale in hundredths of a decibel.
        static float volumeGain(float gain);

    protected:
        // Read by isPlaying() on the main thread without the lock.
        std::atomic<unsigned int> voice;
        std::atomic<int> bufferedChunks;
        std::atomic<bool> started;
        unsigned int slots[STREAM_CHUNK_COUNT] = {};
        int slotCount = 0;
        int queuedChunks = 0;
        bool uploaded = false;
        bool directChannels;
        int format = 0;
        int samplingRate = 44100;

        bool isStreamed() const;
        int sourceState() const;
        // Fills the slot at the buffer index and queues it.
        void queueChunk(const unsigned char* bytes);
        // Unqueues the processed slots; returns how many.
        int unqueueProcessed();
    };
} // namespace yim
