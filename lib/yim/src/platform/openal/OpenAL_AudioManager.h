#pragma once

#include <yim/AudioManager.h>

namespace yim
{
    // Voices are OpenAL Soft sources at the listener. The AL headers stay inside this folder: the device
    // and context are kept untyped here.
    class OpenAL_AudioManager : public AudioManager
    {
    public:
        // The highest playback rate a voice is asked for, in samples per second.
        static const int MAX_SAMPLE_RATE = 100000;

        OpenAL_AudioManager(unsigned int backendId, bool threaded, float updateTime,
                            const hstring& deviceName, bool loopback = false);
        ~OpenAL_AudioManager() override;

        std::unique_ptr<Player> _createSystemPlayer(Sound* sound) override;

        bool hasDirectChannels() const { return this->directChannels; }
        // Mixes frames of float stereo into output; only on a loopback device.
        void renderLoopback(float* output, int frames);

    protected:
        void* device = nullptr;
        void* context = nullptr;
        bool loopback;
        bool directChannels = false;
    };
} // namespace yim
