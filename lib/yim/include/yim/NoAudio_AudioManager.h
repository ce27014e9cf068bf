#pragma once

#include <atomic>
#include <memory>

#include <yim/AudioManager.h>
#include <yim/Player.h>

namespace yim
{
    // Keeps the whole interface working without a device: sounds exist, players play nothing.
    class NoAudio_AudioManager : public AudioManager
    {
    public:
        NoAudio_AudioManager(unsigned int backendId, bool threaded, float updateTime,
                             const hstring& deviceName);
        ~NoAudio_AudioManager() override;

        hstring findAudioFile(const hstring& filename) override;
        Sound* _createSound(const hstring& filename, const hstring& categoryName,
                            const hstring& prefix) override;
        std::unique_ptr<Player> _createSystemPlayer(Sound* sound) override;
    };

    class NoAudio_Player : public Player
    {
    public:
        explicit NoAudio_Player(Sound* sound) : Player(sound), playing(false) {}

        bool _systemIsPlaying() override { return this->playing.load(); }
        void _systemPlay() override { this->playing.store(true); }
        int _systemStop() override
        {
            this->playing.store(false);
            return 0;
        }

    protected:
        std::atomic<bool> playing;
    };
} // namespace yim
