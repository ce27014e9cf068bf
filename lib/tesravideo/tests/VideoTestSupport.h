#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <tesravideo/TheoraDataSource.h>
#include <tesravideo/TheoraFrameQueue.h>
#include <tesravideo/TheoraTimer.h>
#include <tesravideo/TheoraVideoManager.h>

#include "Theora/TheoraVideoClip_Theora.h"
#include "VideoWriter.h"

namespace videotest
{
    // What the library logged, in order; any thread may log.
    struct LogJournal
    {
        static std::mutex& mutex()
        {
            static std::mutex value;
            return value;
        }
        static std::vector<std::string>& lines()
        {
            static std::vector<std::string> value;
            return value;
        }
        static void record(const std::string& message)
        {
            std::lock_guard<std::mutex> lock(mutex());
            lines().push_back(message);
        }
        static int count(const std::string& message)
        {
            std::lock_guard<std::mutex> lock(mutex());
            int result = 0;
            for (const std::string& line : lines())
            {
                result += (line == message ? 1 : 0);
            }
            return result;
        }
        static void clear()
        {
            std::lock_guard<std::mutex> lock(mutex());
            lines().clear();
        }
    };

    // The encoded files are made once per plan and kept for the whole run.
    inline const std::string& video(const VideoPlan& plan)
    {
        static std::mutex mutex;
        static std::map<std::string, std::string> cache;
        std::string key = std::to_string(plan.width) + "x" + std::to_string(plan.height) + "/" +
                          std::to_string(plan.frames) + "/" + std::to_string(plan.fps) + "/" +
                          std::to_string(plan.keyframeInterval) + (plan.alpha ? "a" : "") +
                          (plan.withVorbis ? "v" : "") + (plan.pagePerFrame ? "p" : "");
        std::lock_guard<std::mutex> lock(mutex);
        std::map<std::string, std::string>::iterator it = cache.find(key);
        if (it == cache.end())
        {
            it = cache.emplace(key, encodeVideo(plan)).first;
        }
        return it->second;
    }

    inline std::unique_ptr<TheoraMemoryFileDataSource> memorySource(const std::string& bytes,
                                                                    const std::string& name = "test")
    {
        std::unique_ptr<unsigned char[]> data(new unsigned char[bytes.size()]);
        memcpy(data.get(), bytes.data(), bytes.size());
        return std::make_unique<TheoraMemoryFileDataSource>(std::move(data), (long)bytes.size(), name);
    }

    // A loaded clip that no worker touches: the test decodes and seeks by hand.
    inline std::unique_ptr<TheoraVideoClip_Theora> manualClip(const VideoPlan& plan, int mode = TH_GREY,
                                                              int precached = 8)
    {
        auto clip =
            std::make_unique<TheoraVideoClip_Theora>(memorySource(video(plan)), mode, precached, false);
        clip->load();
        return clip;
    }

    // The number shown by a frame in TH_GREY or any 4-byte RGB-ish mode.
    inline int frameNumber(TheoraVideoClip* clip, TheoraVideoFrame* frame)
    {
        int bpp = frame->bpp;
        return readFrameNumber(frame->getBuffer(), clip->getWidth() * bpp, bpp, bpp == 1 ? 0 : 1);
    }

    // Silences the console log and journals instead; restores the default on destruction.
    struct LogCapture
    {
        LogCapture()
        {
            LogJournal::clear();
            TheoraVideoManager::setLogFunction(LogJournal::record);
        }
        ~LogCapture() { TheoraVideoManager::setLogFunction(LogJournal::record); }
    };
} // namespace videotest
