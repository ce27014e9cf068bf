#pragma once

#include <memory>

#include <tesraui/ImageBox.h>

class TheoraTimer;
class TheoraVideoClip;

namespace tesraui
{
    class Image;
    class Texture;
} // namespace tesraui

namespace yim
{
    class Player;
    class Sound;
} // namespace yim

namespace tesravideo
{
    // Plays a video file of its dataset's "video" folder into a texture and shows it as its image, with
    // the alpha channel taken from the video when asked and a separate sound whose position drives the
    // clock. The clip is made on the first draw or size query after "video" is set. A file that cannot be
    // played (damaged, cut short) is logged once with its name and shows nothing until "video" is set
    // again; the game goes on.
    class VideoObject : public tesraui::ImageBox
    {
    public:
        VideoObject(const hstring& name, kavtypes::Rectangle rect);
        ~VideoObject() override;

        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        hstring getClassName() const override { return "VideoObject"; }
        void notifyEvent(const hstring& type, void* args) override;
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;
        void _draw() override;
        // Whether the video counts as paused by its looks: hidden, or its derived alpha below the threshold.
        virtual bool isPausedByAlpha();

        void play();
        void pause();
        void stop();

        // The fastest a video plays, either way: a thousand times its speed shows no more than a frame now
        // and then, and the clock's float still counts the steps.
        static constexpr float maxSpeed = 1000.0f;
        // The furthest the picture runs from its sound, in seconds, either way: far past any sync, while the
        // clock keeps its fractions of a millisecond.
        static constexpr float maxSyncOffset = 1000.0f;

        TheoraVideoClip* getClip() const { return this->clip; }
        TheoraTimer* getTimer() const { return this->timer.get(); }
        yim::Player* getAudioPlayer() const { return this->audioPlayer; }
        tesraui::Texture* getVideoTexture() const { return this->texture.get(); }
        bool isVideoAlpha() const { return this->videoAlpha; }
        bool isLoop() const { return this->loop; }
        float getSpeed() const { return this->speed; }
        // Held within maxSpeed either way (NaN is 0).
        void setSpeed(float value);
        // The file the clip reads: under the dataset's "video" folder, the default extension added when
        // the name has none of the known ones.
        hstring getFullPath() const;

    protected:
        hstring videoName;
        hstring audioName;
        bool playbackDone = false;
        bool videoAlpha = false;
        bool loop = true;
        TheoraVideoClip* clip = nullptr;
        std::unique_ptr<TheoraTimer> timer;
        int blendMode = 0;
        std::unique_ptr<tesraui::Texture> texture;
        std::unique_ptr<tesraui::Image> videoImage;
        float speed = 1.0f;
        unsigned long prevFrameNumber = 0;
        bool seeked = false;
        int alphaPauseThreshold = 0;
        float audioSyncOffset = 0.0f;
        yim::Player* audioPlayer = nullptr;
        yim::Sound* sound = nullptr;
        // Set when the clip of the video name could not be made or stopped decoding.
        bool videoFailed = false;

        // Makes the clip when there is a video name, no clip and no failure yet: what the file's making
        // or decoding throws is logged and leaves the object without a clip.
        void _ensureClip();
        // Throws what keeps the file from playing.
        void _createClip();
        // Logs why the video cannot play, naming its file, and lets the clip go.
        void _failVideo(const hstring& reason);
        // Releases the image, texture, clip, sound and timer; with resetImage the object shows the
        // dataset's "null" image afterwards.
        void _destroyResources(bool resetImage);
        void _createSound();
        // Fires "PlaybackDone" when a looping clip's shown frame number went back.
        void _notePlaybackDone(unsigned long frameNumber);

    private:
        static const PropertyTable<VideoObject>& _properties();
    };
} // namespace tesravideo
