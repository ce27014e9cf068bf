#pragma once

#include <atomic>

#include <tesravideo/VideoTimer.h>

namespace yim
{
    class Player;
}

namespace tesravideo
{
    // Follows the playing position of the video's sound: small steps are taken at once, jumps are spread
    // over about a second, and a player that reports no progress is bridged with wall time (at most 0.1 s
    // a frame). Without audio the clock runs on the frame steps, shifted by the sync offset.
    class AudioVideoTimer : public VideoTimer
    {
    public:
        typedef unsigned int (*TickFunction)();

        AudioVideoTimer(VideoObject* object, yim::Player* player, float syncOffset);
        ~AudioVideoTimer() override;

        void update(float timeDelta) override;
        // Without audio the time is rebuilt from the frame steps at every update, so a seek (a loop's wrap,
        // a "time" set) moves that clock too.
        void seek(float value) override;

        bool isDisabled() const { return this->disabled; }
        yim::Player* getPlayer() const { return this->player; }
        // A steady clock in milliseconds; tests put their own in its place. Null restores the default.
        static void setTickFunction(TickFunction function);
        static unsigned int getTicks();

    protected:
        unsigned int lastTick = 0;
        float syncOffset;
        float prevAudioPosition = -1.0f;
        float audioPosition = 0.0f;
        float syncDifference = 0.0f;
        float syncSpeed = 0.0f;
        yim::Player* player;
        // A worker's seek writes it while the main thread updates.
        std::atomic<float> fallbackClock{0.0f};
        bool disabled;
        bool started = false;

        // The player as the clock sees it.
        virtual bool _isPlayerPaused();
        virtual bool _isPlayerFadingOut();
        virtual bool _isPlayerPlaying();
        virtual float _getPlayerTimePosition();
        virtual void _playPlayer();
        virtual void _pausePlayer();

    private:
        static TickFunction tickFunction;
    };
} // namespace tesravideo
