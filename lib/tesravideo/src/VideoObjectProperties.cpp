#include <algorithm>
#include <iterator>

#include <quortypes/Log.h>
#include <quortypes/PropertyTable.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <tesraui/Image.h>
#include <tesravideo/TheoraVideoClip.h>
#include <tesravideo/VideoObject.h>
#include <tesravideo/tesravideo.h>

namespace tesravideo
{
    namespace
    {
        const char* const blendModeNames[] = {"default", "alpha", "add", "subtract", "overwrite"};
    } // namespace

    const PropertyTable<VideoObject>& VideoObject::_properties()
    {
        using Table = PropertyTable<VideoObject>;
        using Row = Table::Row;
        // Asked of the clip, made for the question when there is a video and no clip yet; "0" without one.
        const auto clipRow = [](const char* name, int type, hstring (*text)(TheoraVideoClip & clip))
        {
            return Row(name, type,
                       [text](VideoObject& video)
                       {
                           video._ensureClip();
                           return video.clip != nullptr ? text(*video.clip) : hstring("0");
                       });
        };
        static const Table table = {
            // A name that finds no file throws and leaves the object as it was.
            {"video", PropertyInfo::STRING, [](VideoObject& video) { return video.videoName; },
             [](VideoObject& video, const hstring& value)
             {
                 hstring previous = video.videoName;
                 video.videoName = value;
                 hstring path = video.getFullPath();
                 if (!quortypes::Resource::exists(path))
                 {
                     video.videoName = previous;
                     throw quortypes::exception("Unable to find video file: " + path, __FILE__, __LINE__);
                 }
                 // Another file, or the same one mended, is tried anew.
                 video.videoFailed = false;
             }},
            Table::flagRow("video_alpha", &VideoObject::videoAlpha),
            {"alpha_pause_treshold", PropertyInfo::INT,
             [](VideoObject& video) { return hstring(video.alphaPauseThreshold); },
             [](VideoObject& video, const hstring& value)
             { video.alphaPauseThreshold = std::max(0, std::min(value.toInt(), 255)); }},
            {"loop", PropertyInfo::BOOL, [](VideoObject& video) { return hstring(video.loop ? "1" : "0"); },
             [](VideoObject& video, const hstring& value)
             {
                 video.loop = value.toBool();
                 if (video.clip != nullptr)
                 {
                     video.clip->setAutoRestart(video.loop);
                 }
             }},
            // The numbers of the clock are held where its arithmetic still holds them.
            Row(
                "speed", PropertyInfo::FLOAT, [](VideoObject& video) { return hstring(video.speed); },
                [](VideoObject& video, const hstring& value) { video.setSpeed(value.toFloat()); })
                .within(-maxSpeed, maxSpeed),
            {"time", PropertyInfo::FLOAT,
             [](VideoObject& video)
             { return hstring(video.clip != nullptr ? video.clip->getTimePosition() : 0.0f); },
             [](VideoObject& video, const hstring& value)
             {
                 video._ensureClip();
                 if (video.clip == nullptr)
                 {
                     quortypes::Log::warn(logTag, "VideoObject ignoring 'time' param, mClip is NULL");
                     return;
                 }
                 video.seeked = true;
                 video.clip->seek(value.toFloat());
             }},
            clipRow("duration", PropertyInfo::FLOAT,
                    [](TheoraVideoClip& clip) { return hstring(clip.getDuration()); }),
            clipRow("videoWidth", PropertyInfo::INT,
                    [](TheoraVideoClip& clip) { return hstring(clip.getWidth()); }),
            clipRow("videoHeight", PropertyInfo::INT,
                    [](TheoraVideoClip& clip) { return hstring(clip.getHeight()); }),
            Table::textRow("audio", &VideoObject::audioName),
            Row(
                "sync_offset", PropertyInfo::FLOAT,
                [](VideoObject& video) { return hstring(video.audioSyncOffset); },
                [](VideoObject& video, const hstring& value) {
                    video.audioSyncOffset =
                        (float)PropertyInfo::heldWithin(value.toFloat(), -maxSyncOffset, maxSyncOffset);
                })
                .within(-maxSyncOffset, maxSyncOffset),
            // An unknown mode is logged and changes nothing, and still counts as taken.
            {"blend_mode", PropertyInfo::STRING,
             [](VideoObject& video)
             {
                 if (video.videoImage == nullptr)
                 {
                     quortypes::Log::error(logTag, "Unable to get blend_mode to VideoObject, image is NULL");
                     return hstring();
                 }
                 return (video.blendMode >= 0 && video.blendMode <= 4)
                            ? hstring(blendModeNames[video.blendMode])
                            : hstring("unknown");
             },
             [](VideoObject& video, const hstring& value)
             {
                 const char* const* found =
                     std::find(std::begin(blendModeNames), std::end(blendModeNames), value);
                 if (found == std::end(blendModeNames))
                 {
                     quortypes::Log::errorf(logTag, "Unknown VideoObject blend mode: %s", value.c_str());
                     return;
                 }
                 video.blendMode = (int)(found - std::begin(blendModeNames));
                 if (video.videoImage != nullptr)
                 {
                     video.videoImage->setBlendMode((tesra::BlendMode)video.blendMode);
                 }
             }},
            {"state", PropertyInfo::STRING,
             [](VideoObject& video)
             {
                 bool pausedByAlpha = video.isPausedByAlpha();
                 if (video.clip != nullptr && !pausedByAlpha && !video.clip->isDone())
                 {
                     return hstring("playing");
                 }
                 return hstring(pausedByAlpha ? "paused" : "stopped");
             },
             // The clock's own flag: a clip that stands only because the object is hidden still counts as
             // playing here.
             [](VideoObject& video, const hstring& value)
             {
                 if (value == "playing")
                 {
                     video.play();
                 }
                 else if (value == "paused")
                 {
                     video.pause();
                 }
                 else
                 {
                     throw quortypes::exception(
                         "VideoObject: unable to set state property to '" + value + "'.", __FILE__, __LINE__);
                 }
             }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(VideoObject, ImageBox, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(VideoObject, ImageBox, _properties)
} // namespace tesravideo
