#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesra/RenderSystem.h>
#include <tesra/SystemInfo.h>
#include <tesra/Texture.h>
#include <tesra/Window.h>
#include <tesra/tesra.h>
#include <tesraui/Dataset.h>
#include <tesraui/Image.h>
#include <tesraui/Texture.h>
#include <tesravideo/AudioVideoTimer.h>
#include <tesravideo/TheoraDataSource.h>
#include <tesravideo/TheoraException.h>
#include <tesravideo/TheoraFrameQueue.h>
#include <tesravideo/TheoraVideoClip.h>
#include <tesravideo/TheoraVideoFrame.h>
#include <tesravideo/TheoraVideoManager.h>
#include <tesravideo/VideoObject.h>
#include <tesravideo/VideoTimer.h>
#include <tesravideo/tesravideo.h>
#include <yim/AudioManager.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/yim.h>

#include "module.h"

namespace tesravideo
{
    namespace
    {
        const int preloadLimit = 67108864;

        int potCeiling(int value)
        {
            int result = 1;
            while (result < value)
            {
                result *= 2;
            }
            return result;
        }

        int outputModeOf(tesra::Image::Format format)
        {
            switch (format)
            {
            case tesra::Image::FORMAT_RGBA:
                return TH_RGBA;
            case tesra::Image::FORMAT_ARGB:
                return TH_ARGB;
            case tesra::Image::FORMAT_BGRA:
                return TH_BGRA;
            case tesra::Image::FORMAT_ABGR:
                return TH_ABGR;
            case tesra::Image::FORMAT_RGBX:
                return TH_RGBX;
            case tesra::Image::FORMAT_XRGB:
                return TH_XRGB;
            case tesra::Image::FORMAT_BGRX:
                return TH_BGRX;
            case tesra::Image::FORMAT_XBGR:
                return TH_XBGR;
            case tesra::Image::FORMAT_RGB:
                return TH_RGB;
            case tesra::Image::FORMAT_BGR:
                return TH_BGR;
            case tesra::Image::FORMAT_GRAYSCALE:
                return TH_GREY;
            default:
                return TH_UNDEFINED;
            }
        }

        int precachedFramesFor(int ram, const hstring& path)
        {
            if (ram < 384)
            {
                return 4;
            }
            if (ram < 512)
            {
                return 6;
            }
            if (ram < 1024)
            {
                return path.contains("lowres") ? 16 : 8;
            }
            return 16;
        }

        std::unique_ptr<TheoraDataSource> preloadedSource(const hstring& path)
        {
            quortypes::Resource resource(path);
            int size = (int)resource.getSize();
            if (size >= preloadLimit)
            {
                resource.close();
                return std::make_unique<TesraVideoDataSource>(path);
            }
            quortypes::Log::write(logTag, "Preloading video file to memory: " + path);
            std::unique_ptr<unsigned char[]> data(new unsigned char[size > 0 ? size : 1]);
            int read = resource.readRaw(data.get(), size);
            resource.close();
            return std::make_unique<TheoraMemoryFileDataSource>(std::move(data), std::max(read, 0), path);
        }

        // The manager the video objects made, while any of them lives. It is held where exit's static
        // destruction does not reach: a program that exits with video objects alive does not join the workers
        // after what they log to is gone.
        std::unique_ptr<TheoraVideoManager>& sharedManager()
        {
            static auto* owner = new std::unique_ptr<TheoraVideoManager>();
            return *owner;
        }
    } // namespace

    VideoObject::VideoObject(const hstring& name, kavtypes::Rectangle rect) : tesraui::ImageBox(name, rect)
    {
        ++liveObjectCount;
        if (TheoraVideoManager::getSingleton() == nullptr)
        {
            try
            {
                sharedManager() = std::make_unique<TheoraVideoManager>(workerThreadCount);
            }
            catch (_TheoraGenericException& e)
            {
                // The destructor does not run for a constructor that throws.
                --liveObjectCount;
                throw quortypes::exception(e.getMessage(), __FILE__, __LINE__);
            }
            std::vector<std::string> decoders = TheoraVideoManager::getSingleton()->getSupportedDecoders();
            bool native = std::find(decoders.begin(), decoders.end(), "AVFoundation") != decoders.end();
            defaultFileExtension = (native ? ".mp4" : ".ogv");
        }
    }

    VideoObject::~VideoObject()
    {
        --liveObjectCount;
        this->_destroyResources(false);
        if (liveObjectCount < 1 && sharedManager() != nullptr)
        {
            quortypes::Log::write(logTag, "Destroying Video manager, no more active clips found.");
            sharedManager().reset();
        }
    }

    tesraui::Object* VideoObject::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new VideoObject(name, rect);
    }

    void VideoObject::notifyEvent(const hstring& type, void* args)
    {
        if (type == "AttachToObject" && this->image != this->videoImage.get() && this->dataset != nullptr)
        {
            this->image = this->dataset->getImage("null");
        }
        ImageBox::notifyEvent(type, args);
    }

    bool VideoObject::isPausedByAlpha()
    {
        if (this->clip == nullptr)
        {
            return true;
        }
        if (this->alphaPauseThreshold > 0)
        {
            int alpha = this->isDerivedVisible() ? this->getDerivedAlpha() : 0;
            return alpha < this->alphaPauseThreshold;
        }
        return !this->isDerivedVisible() || this->color.a == 0;
    }

    void VideoObject::play()
    {
        if (this->clip != nullptr)
        {
            this->clip->play();
        }
    }

    void VideoObject::pause()
    {
        if (this->clip != nullptr)
        {
            this->clip->pause();
        }
    }

    void VideoObject::stop()
    {
        if (this->clip != nullptr)
        {
            this->clip->stop();
        }
    }

    void VideoObject::setSpeed(float value)
    {
        this->speed = (float)PropertyInfo::heldWithin(value, -maxSpeed, maxSpeed);
        if (this->clip != nullptr)
        {
            this->clip->setPlaybackSpeed(this->speed);
        }
    }

    hstring VideoObject::getFullPath() const
    {
        hstring folder = (this->dataset != nullptr ? this->dataset->getFolderPath() : hstring());
        // A dataset in the working folder has an empty folder path; its videos are not at the root.
        hstring path = (folder != "" ? folder + "/video/" : hstring("video/")) + this->videoName;
        if (path.endsWith(".ogg") || path.endsWith(".ogv") || path.endsWith(".mp4"))
        {
            return path;
        }
        if (quortypes::Resource::exists(path + defaultFileExtension))
        {
            return path + defaultFileExtension;
        }
        return path + ".ogv";
    }

    void VideoObject::_destroyResources(bool resetImage)
    {
        if (this->videoImage != nullptr)
        {
            if (this->image == this->videoImage.get())
            {
                this->image = nullptr;
            }
            this->videoImage.reset();
        }
        if (resetImage)
        {
            this->image = (this->dataset != nullptr ? this->dataset->getImage("null") : nullptr);
        }
        this->texture.reset();
        if (this->clip != nullptr)
        {
            TheoraVideoManager::getSingleton()->destroyVideoClip(this->clip);
            this->clip = nullptr;
        }
        if (yim::manager != nullptr)
        {
            if (this->audioPlayer != nullptr)
            {
                yim::manager->destroyPlayer(this->audioPlayer);
            }
            if (this->sound != nullptr)
            {
                yim::manager->destroySound(this->sound);
            }
        }
        this->audioPlayer = nullptr;
        this->sound = nullptr;
        this->timer.reset();
    }

    void VideoObject::_ensureClip()
    {
        if (this->clip != nullptr || this->videoName == "" || this->videoFailed)
        {
            return;
        }
        try
        {
            this->_createClip();
        }
        catch (const quortypes::exception& e)
        {
            this->_failVideo(e.getMessage());
            return;
        }
        catch (const std::exception& e)
        {
            this->_failVideo(e.what());
            return;
        }
        this->update(0.0f);
    }

    void VideoObject::_failVideo(const hstring& reason)
    {
        this->videoFailed = true;
        this->_destroyResources(true);
        quortypes::Log::error(logTag, "Unable to play video file '" + this->getFullPath() + "': " + reason);
    }

    void VideoObject::_createClip()
    {
        hstring path = this->getFullPath();
        tesra::Image::Format format = tesra::rendersys->getNativeTextureFormat(
            this->videoAlpha ? tesra::Image::FORMAT_RGBA : tesra::Image::FORMAT_RGB);
        this->_destroyResources(true);
        if (path.endsWith(".mp4") && quortypes::Resource::getPrefix() != "")
        {
            path = quortypes::Dir::joinPath(quortypes::Resource::getPrefix(), path);
        }
        int mode = outputModeOf(format);
        int ram = tesra::getSystemInfo().ram;
        int precached = precachedFramesFor(ram, path);
        TheoraVideoManager* manager = TheoraVideoManager::getSingleton();
        try
        {
            if (path.endsWith("mp4"))
            {
                hstring file = path;
                if (tesra::window != nullptr && tesra::window->getName() == "OpenKODE")
                {
                    file = "res/" + file;
                }
                this->clip = manager->createVideoClip(file, mode, precached);
            }
            else if (ram <= 256)
            {
                this->clip =
                    manager->createVideoClip(std::make_unique<TesraVideoDataSource>(path), mode, precached);
            }
            else
            {
                this->clip = manager->createVideoClip(preloadedSource(path), mode, precached);
                quortypes::Log::write(logTag, "Created video clip.");
            }
        }
        catch (_TheoraGenericException& e)
        {
            throw quortypes::exception(e.getMessage(), __FILE__, __LINE__);
        }
        if (this->clip->getWidth() == 0)
        {
            this->_destroyResources(true);
            throw quortypes::exception("Failed to load video file: " + path, __FILE__, __LINE__);
        }
        this->clip->setAutoRestart(this->loop);
        int width = potCeiling(this->clip->getWidth());
        int height = potCeiling(this->clip->getHeight());
        tesra::Texture* renderTexture = tesra::rendersys->createTexture(
            width, height, tesra::Color(0, 0, 0, 0), format, tesra::Texture::Type::VOLATILE);
        if (renderTexture == nullptr)
        {
            this->_destroyResources(true);
            throw quortypes::exception("Failed to load video file: " + path, __FILE__, __LINE__);
        }
        this->texture = std::make_unique<tesraui::Texture>("", renderTexture);
        this->videoImage =
            std::make_unique<tesraui::Image>(this->texture.get(), "video_img",
                                             kavtypes::Rectangle((float)this->clip->getSubFrameOffsetX(),
                                                                 (float)this->clip->getSubFrameOffsetY(),
                                                                 (float)this->clip->getSubFrameWidth(),
                                                                 (float)this->clip->getSubFrameHeight()));
        this->videoImage->setBlendMode((tesra::BlendMode)this->blendMode);
        this->clip->waitForCache(0.25f, 0.5f);
        if (this->audioName != "")
        {
            this->_createSound();
        }
        if (this->timer == nullptr)
        {
            this->timer = std::make_unique<VideoTimer>(this);
        }
        this->clip->setTimer(this->timer.get());
        this->clip->setPlaybackSpeed(this->speed);
    }

    void VideoObject::_createSound()
    {
        if (yim::manager == nullptr)
        {
            quortypes::Log::warn(logTag,
                                 "VideoObject: no audio system, '" + this->audioName + "' not played");
            return;
        }
        hstring category = "video";
        if (this->audioName.contains("/"))
        {
            harray<hstring> parts = this->audioName.split("/");
            hstring folder = parts[parts.size() - 2];
            if (yim::manager->hasCategory(folder))
            {
                category = folder;
            }
        }
        if (category == "video" && !yim::manager->hasCategory(category))
        {
            yim::manager->createCategory(category, yim::BufferMode::ON_DEMAND, yim::SourceMode::DISK);
        }
        hstring folder = (this->dataset != nullptr ? this->dataset->getFolderPath() : hstring());
        hstring path = (folder != "" ? folder + "/video/" : hstring("video/")) + this->audioName;
        this->sound = yim::manager->createSound(path, category, "");
        if (this->sound == nullptr)
        {
            // A missing file, or one another video plays already: the picture runs on its own clock.
            quortypes::Log::warn(logTag, "VideoObject: unable to create sound '" + path + "'");
            return;
        }
        this->audioPlayer = yim::manager->createPlayer(this->sound->getName());
        this->timer = std::make_unique<AudioVideoTimer>(this, this->audioPlayer, this->audioSyncOffset);
    }

    void VideoObject::update(float timeDelta)
    {
        ImageBox::update(timeDelta);
        if (this->clip == nullptr)
        {
            return;
        }
        if (this->clip->hasFailed())
        {
            this->_failVideo(this->clip->getFailure());
            return;
        }
        if (this->audioPlayer != nullptr && this->audioPlayer->getPitch() != this->speed)
        {
            this->audioPlayer->setPitch(this->speed);
        }
        if (!this->loop)
        {
            bool done =
                this->clip->isDone() && (this->audioPlayer == nullptr || !this->audioPlayer->isPlaying());
            if (done && !this->playbackDone)
            {
                this->triggerEvent("PlaybackDone", 0u);
            }
            this->playbackDone = done;
        }
        // The workers ask the timer whether it stands; they must not ask this object from their threads.
        VideoTimer* videoTimer = dynamic_cast<VideoTimer*>(this->timer.get());
        if (videoTimer != nullptr)
        {
            videoTimer->refreshObjectPause();
        }
        this->clip->update(timeDelta);
    }

    void VideoObject::_draw()
    {
        this->_ensureClip();
        if (this->clip != nullptr)
        {
            TheoraVideoFrame* frame = this->clip->getNextFrame();
            bool pop = true;
            if (!this->texture->isLoaded())
            {
                this->texture->load();
                if (frame == nullptr)
                {
                    if (this->clip->getNumReadyFrames() == 0)
                    {
                        this->clip->waitForCache(0.5f, 1.0f);
                    }
                    frame = this->clip->getFrameQueue()->getFirstAvailableFrame();
                    pop = false;
                }
                if (frame == nullptr)
                {
                    tesra::Texture* renderTexture = this->texture->getRenderTexture();
                    renderTexture->fillRect(0, 0, renderTexture->getWidth(), renderTexture->getHeight(),
                                            tesra::Color(0, 0, 0, 0));
                }
            }
            if (frame != nullptr)
            {
                this->image = this->videoImage.get();
                tesra::Texture* renderTexture = this->texture->getRenderTexture();
                int width = this->clip->getWidth();
                int height = this->clip->getHeight();
                renderTexture->write(0, 0, width, height, 0, 0, frame->getBuffer(), width, height,
                                     renderTexture->getFormat());
                unsigned long number = frame->frameNumber;
                if (pop)
                {
                    this->clip->popFrame();
                }
                if (this->loop)
                {
                    this->_notePlaybackDone(number);
                }
            }
        }
        ImageBox::_draw();
    }

    void VideoObject::_notePlaybackDone(unsigned long frameNumber)
    {
        // The first frame after a "time" assignment only sets the mark: a jump back is no wrap, and a
        // jump forward must not leave the flag to swallow the next real wrap.
        if (this->seeked)
        {
            this->seeked = false;
        }
        else if (frameNumber < this->prevFrameNumber)
        {
            this->triggerEvent("PlaybackDone", 0u);
        }
        this->prevFrameNumber = frameNumber;
    }
} // namespace tesravideo
