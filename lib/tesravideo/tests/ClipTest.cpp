#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <tesravideo/AudioVideoTimer.h>
#include <tesravideo/TheoraException.h>

#include "VideoTestSupport.h"

using namespace videotest;

namespace
{
    class ClipTest : public ::testing::Test
    {
    protected:
        LogCapture log;

        // Decodes until the queue is full or the stream ends.
        static void fill(TheoraVideoClip* clip)
        {
            while (clip->getNumReadyFrames() < clip->getNumPrecachedFrames() && clip->decodeNextFrame())
            {
                if (clip->isDone())
                {
                    break;
                }
            }
        }

        // Shows and pops the next due frame, returning its number, or -1 when none is due.
        static int show(TheoraVideoClip* clip)
        {
            TheoraVideoFrame* frame = clip->getNextFrame();
            if (frame == nullptr)
            {
                return -1;
            }
            int number = frameNumber(clip, frame);
            EXPECT_EQ((int)frame->frameNumber, number);
            clip->popFrame();
            return number;
        }
    };
} // namespace

TEST_F(ClipTest, GeometryDurationAndFirstFrames)
{
    VideoPlan plan;
    plan.frames = 30;
    plan.fps = 15;
    std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan);
    EXPECT_EQ(64, clip->getWidth());
    EXPECT_EQ(48, clip->getHeight());
    EXPECT_EQ(64, clip->getStride());
    EXPECT_FLOAT_EQ(15.0f, clip->getFPS());
    EXPECT_EQ(30, clip->getNumFrames());
    EXPECT_FLOAT_EQ(2.0f, clip->getDuration());
    EXPECT_EQ("MEM:test", clip->getName());
    fill(clip.get());
    EXPECT_EQ(8, clip->getNumReadyFrames());
    // Frames come in order and only when due, the first at once.
    EXPECT_EQ(0, show(clip.get()));
    EXPECT_EQ(-1, show(clip.get()));
    clip->update(1.0f / 15.0f);
    EXPECT_EQ(1, show(clip.get()));
    clip->update(3.0f / 15.0f + 0.001f);
    // Frames 2 and 3 are outdated and dropped; 4 is shown.
    EXPECT_EQ(4, show(clip.get()));
    EXPECT_EQ(2, clip->getNumDroppedFrames());
}

TEST_F(ClipTest, LastReadyFrameIsNeverDiscardedAndNonLoopingClipStopsAtTheEnd)
{
    VideoPlan plan;
    plan.frames = 10;
    std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan, TH_GREY, 4);
    clip->decodeNextFrame();
    clip->update(100.0f);
    EXPECT_FLOAT_EQ(clip->getDuration(), clip->getTimePosition());
    EXPECT_EQ(0, show(clip.get()));
    // Decoding at the end time drops every late frame; the last one ends exactly then and stays.
    while (clip->decodeNextFrame())
    {
    }
    EXPECT_FALSE(clip->isDone());
    EXPECT_EQ(9, show(clip.get()));
    EXPECT_TRUE(clip->isDone());
}

TEST_F(ClipTest, LateFramesAreDroppedExceptEverySixteenth)
{
    VideoPlan plan;
    plan.frames = 40;
    std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan, TH_GREY, 4);
    clip->getTimer()->seek(100.0f);
    std::vector<int> shown;
    for (int i = 0; i < 8 && !clip->isDone(); ++i)
    {
        clip->decodeNextFrame();
        int number = show(clip.get());
        if (number >= 0)
        {
            shown.push_back(number);
        }
    }
    EXPECT_EQ((std::vector<int>{0, 16, 32}), shown);
    EXPECT_TRUE(clip->isDone());
}

TEST_F(ClipTest, LoopingShowsTheNextIterationOnlyAfterTheWrap)
{
    VideoPlan plan;
    plan.frames = 6;
    plan.fps = 32; // steps add up exactly
    std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan, TH_GREY, 8);
    clip->setAutoRestart(true);
    fill(clip.get());
    EXPECT_EQ(8, clip->getNumReadyFrames());
    EXPECT_EQ(1, clip->getIteration());
    std::vector<int> shown;
    float step = 1.0f / 32.0f;
    for (int i = 0; i < 8; ++i)
    {
        shown.push_back(show(clip.get()));
        EXPECT_EQ(-1, show(clip.get()));
        clip->update(step);
        clip->decodeNextFrame();
    }
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4, 5, 0, 1}), shown);
    EXPECT_EQ(1, clip->getPlaybackIteration());
    EXPECT_NEAR(2.0f * step, clip->getTimePosition(), 1e-4f);
}

TEST_F(ClipTest, SeekShowsTheTargetFrameFirstEvenWhenEarly)
{
    VideoPlan plan;
    plan.frames = 100;
    plan.pagePerFrame = false;
    for (float target : {0.0f, 0.5f, 1.3f, 2.0f, 3.9f, 0.04f})
    {
        std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan);
        fill(clip.get());
        clip->seek(target);
        EXPECT_EQ(nullptr, clip->getNextFrame()) << target;
        EXPECT_EQ(0, clip->getNumReadyFrames());
        clip->_executeSeek();
        clip->decodeNextFrame();
        clip->decodeNextFrame();
        int expected = (int)std::floor(target * 25.0f);
        EXPECT_NEAR(target, clip->getTimePosition(), 0.04f);
        // Shown at once although the clock has not reached it.
        int number = show(clip.get());
        EXPECT_NEAR(expected, number, 1) << target;
    }
}

TEST_F(ClipTest, SecondSeekIssuedWhileTheFirstRunsWins)
{
    VideoPlan plan;
    plan.frames = 100;
    std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan);
    clip->seek(1.0f);
    // A data source cannot be swapped under the clip, so the second seek arrives from the clock: the
    // first seek sets the timer, which the test replaces by one that issues a seek when set.
    struct SeekingTimer : TheoraTimer
    {
        TheoraVideoClip* clip = nullptr;
        bool armed = true;
        void seek(float value) override
        {
            TheoraTimer::seek(value);
            if (armed)
            {
                armed = false;
                clip->seek(3.0f);
            }
        }
    } timer;
    timer.clip = clip.get();
    clip->setTimer(&timer);
    clip->_executeSeek();
    // Still pending: the first seek must not have cleared the newer one.
    EXPECT_EQ(nullptr, clip->getNextFrame());
    clip->_executeSeek();
    clip->decodeNextFrame();
    EXPECT_NEAR(75, show(clip.get()), 1);
    clip->setTimer(nullptr);
}

TEST_F(ClipTest, SeekPastTheEndIsDroppedAndTheClockRuns)
{
    VideoPlan plan;
    plan.frames = 20;
    // A file that ends before the frame count its last pages claim.
    struct ShortClip : TheoraVideoClip_Theora
    {
        using TheoraVideoClip_Theora::TheoraVideoClip_Theora;
        void claimFrames(int value) { this->numFrames = value; }
    };
    auto clip = std::make_unique<ShortClip>(memorySource(video(plan)), TH_GREY, 4, false);
    clip->load();
    clip->claimFrames(40);
    clip->seek(100.0f);
    clip->_executeSeek();
    EXPECT_EQ(1, LogJournal::count("MEM:test [seek]: fineseeking failed, _readData failed!"));
    EXPECT_EQ(0, clip->getNumReadyFrames());
    clip->decodeNextFrame();
    EXPECT_TRUE(clip->isDone());
    EXPECT_FALSE(clip->isPaused());
    // The seek is gone: no further turns probe it again.
    clip->update(0.01f);
    EXPECT_EQ(1, LogJournal::count("MEM:test [seek]: fineseeking failed, _readData failed!"));
}

// A looping clip at a speed of 1e30 hung its frame for ever: the wrap took the duration off the clock one
// pass at a time, which a float that large never notices; a sound's clock 3e38 ahead (a sync offset of
// -3e38) hung the same way. A seek to 1e30 converted a float no int holds (UBSan aborted, and the clip
// played from its start). Each now stands where its arithmetic still holds it.
TEST_F(ClipTest, FarNumbersOnTheClockEndInTheClip)
{
    VideoPlan plan;
    plan.frames = 6;
    plan.fps = 32;
    // Without audio its clock is the frame steps less the offset.
    tesravideo::AudioVideoTimer farSound(nullptr, nullptr, -3e38f);
    struct Case
    {
        const char* name;
        bool looping;
        // Drives the clip; where its clock then stands is journaled.
        std::function<void(TheoraVideoClip&)> drive;
    };
    const Case cases[] = {
        {"looping at a speed of 1e30", true,
         [](TheoraVideoClip& clip)
         {
             clip.setPlaybackSpeed(1e30f);
             clip.update(0.1f);
             clip.update(0.1f);
         }},
        // The first step takes the sound's clock, the second wraps it.
        {"looping behind a sound's clock 3e38 ahead", true,
         [&](TheoraVideoClip& clip)
         {
             clip.setTimer(&farSound);
             clip.update(0.1f);
             clip.update(0.1f);
         }},
        {"at a speed of 1e30", false,
         [](TheoraVideoClip& clip)
         {
             clip.setPlaybackSpeed(1e30f);
             clip.update(10.0f);
         }},
        {"seeking to 1e30", false,
         [](TheoraVideoClip& clip)
         {
             clip.seek(1e30f);
             clip._executeSeek();
         }},
        {"seeking to -1e30", false,
         [](TheoraVideoClip& clip)
         {
             clip.seek(-1e30f);
             clip._executeSeek();
         }},
        {"seeking to NaN", false,
         [](TheoraVideoClip& clip)
         {
             clip.seek(std::nanf(""));
             clip._executeSeek();
         }},
    };
    std::vector<std::string> journal;
    for (const Case& c : cases)
    {
        std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan, TH_GREY, 8);
        clip->setAutoRestart(c.looping);
        // Decoded past its end, a looping clip has restarted and wraps its clock.
        fill(clip.get());
        c.drive(*clip);
        const float time = clip->getTimePosition();
        const float duration = clip->getDuration();
        const std::string where = (c.looping && time >= 0.0f && time < duration)   ? "in its pass"
                                  : std::fabs(time - duration) <= duration * 1e-6f ? "at the end"
                                  : time == 0.0f                                   ? "at the start"
                                                 : "at " + std::to_string(time);
        journal.push_back(std::string(c.name) + ": " + where +
                          (clip->getPlaybackIteration() > 0 ? ", passes counted" : ""));
    }
    EXPECT_EQ(journal, (std::vector<std::string>{
                           "looping at a speed of 1e30: in its pass, passes counted",
                           "looping behind a sound's clock 3e38 ahead: in its pass, passes counted",
                           "at a speed of 1e30: at the end",
                           "seeking to 1e30: at the end",
                           "seeking to -1e30: at the start",
                           "seeking to NaN: at the start",
                       }));
}

TEST_F(ClipTest, StopRewindsAndPauses)
{
    VideoPlan plan;
    plan.frames = 30;
    std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan);
    fill(clip.get());
    clip->update(0.5f);
    clip->stop();
    EXPECT_TRUE(clip->isPaused());
    EXPECT_EQ(nullptr, clip->getNextFrame());
    clip->_executeSeek();
    clip->decodeNextFrame();
    EXPECT_EQ(0, show(clip.get()));
    EXPECT_FLOAT_EQ(0.0f, clip->getTimePosition());
}

TEST_F(ClipTest, LoadFailuresThrowTheirTexts)
{
    struct Case
    {
        std::string bytes;
        std::string message;
    };
    std::string video = videotest::video(VideoPlan());
    std::vector<std::string> vorbis = vorbisPages(1);
    std::string vorbisFile;
    for (const std::string& page : vorbis)
    {
        vorbisFile += page;
    }
    std::vector<Case> cases = {
        {vorbisFile, "invalid theora stream"},
        {"", "invalid theora stream"},
        {video.substr(0, 80), "End of file found prematurely"},
    };
    for (const Case& c : cases)
    {
        TheoraVideoClip_Theora clip(memorySource(c.bytes), TH_GREY, 4, false);
        try
        {
            clip.load();
            ADD_FAILURE() << c.message;
        }
        catch (const _TheoraGenericException& e)
        {
            EXPECT_EQ(c.message, e.getMessage());
            EXPECT_EQ("TheoraGenericException", e.getType());
        }
        EXPECT_EQ(1, LogJournal::count(c.message));
        LogJournal::clear();
    }
    EXPECT_THROW(TheoraVideoClip_Theora(memorySource(video), TH_UNDEFINED, 4, false),
                 _TheoraGenericException);
    EXPECT_EQ(1, LogJournal::count("Invalid output mode: TH_UNDEFINED for video: MEM:test"));
}

TEST_F(ClipTest, VideoWithSoundStreamPlaysThePicture)
{
    VideoPlan plan;
    plan.frames = 50;
    plan.withVorbis = true;
    std::unique_ptr<TheoraVideoClip_Theora> clip = manualClip(plan);
    EXPECT_EQ(50, clip->getNumFrames());
    fill(clip.get());
    EXPECT_EQ(0, show(clip.get()));
    clip->update(1.0f / 25.0f);
    EXPECT_EQ(1, show(clip.get()));
}

TEST(DataSourceTest, MemoryAndFileSourcesReadSeekAndFail)
{
    LogCapture log;
    std::unique_ptr<TheoraMemoryFileDataSource> memory = memorySource("abcdef", "m");
    char buffer[8] = {};
    EXPECT_EQ(4, memory->read(buffer, 4));
    EXPECT_EQ(2, memory->read(buffer, 4));
    EXPECT_EQ(0, memory->read(buffer, 4));
    memory->seek(100);
    EXPECT_EQ(0, memory->read(buffer, 4));
    EXPECT_EQ(100, memory->tell());
    EXPECT_EQ("MEM:m", memory->repr());

    TheoraFileDataSource missing("no/such/file.ogv");
    EXPECT_EQ(0, missing.tell());
    try
    {
        missing.size();
        ADD_FAILURE();
    }
    catch (const _TheoraGenericException& e)
    {
        EXPECT_EQ("Can't open video file: no/such/file.ogv", e.getMessage());
    }
    FILE* file = fopen("source_test.bin", "wb");
    fwrite("0123456789", 1, 10, file);
    fclose(file);
    TheoraFileDataSource source("source_test.bin");
    EXPECT_EQ(10, source.size());
    source.seek(7);
    EXPECT_EQ(3, source.read(buffer, 8));
    EXPECT_EQ(0, memcmp(buffer, "789", 3));
    remove("source_test.bin");
}

TEST(ExceptionTest, ErrorTextNamesTheFileBelowSrc)
{
    _TheoraGenericException e("boom", "TheoraGenericException", "/a/src/Theora/Clip.cpp", 12);
    EXPECT_EQ("TheoraGenericException: [Theora/Clip.cpp:12] - boom", e.getErrorText());
    _TheoraGenericException bare("boom", "", "", 0);
    EXPECT_EQ("boom", bare.getErrorText());
}

namespace
{
    // Rewrites the checksum of the page at offset after its bytes were changed.
    void resealPage(std::string& bytes, size_t offset)
    {
        unsigned char* header = (unsigned char*)&bytes[offset];
        long headerLength = 27 + header[26];
        long bodyLength = 0;
        for (int i = 0; i < header[26]; ++i)
        {
            bodyLength += header[27 + i];
        }
        ogg_page page = {header, headerLength, header + headerLength, bodyLength};
        ogg_page_checksum_set(&page);
    }

    // A beginning-of-stream page holding no packet at all: 27 bytes.
    std::string emptyFirstPage()
    {
        std::string bytes("OggS\0\x02", 6);
        bytes += std::string(20, '\0');
        bytes[14] = 1; // serial number
        bytes += '\0'; // no segments
        resealPage(bytes, 0);
        return bytes;
    }

    // The clip's first page is its identification header; its frame size is counted in 16-pixel blocks.
    std::string withFrameBlocks(std::string video, int columns, int rows)
    {
        size_t body = 27 + (unsigned char)video[26];
        EXPECT_EQ(video.substr(body, 7), "\x80theora");
        video[body + 10] = (char)(columns >> 8);
        video[body + 11] = (char)columns;
        video[body + 12] = (char)(rows >> 8);
        video[body + 13] = (char)rows;
        resealPage(video, 0);
        return video;
    }

    // The pixel format: two bits of the identification header's 42nd byte (2 is 4:2:2, 3 is 4:4:4).
    std::string withPixelFormat(std::string video, int format)
    {
        size_t body = 27 + (unsigned char)video[26];
        video[body + 41] = (char)((video[body + 41] & ~0x18) | (format << 3));
        resealPage(video, 0);
        return video;
    }
} // namespace

TEST_F(ClipTest, MalformedHeadersAreRefusedBeforeAnythingIsDecodedOrAllocated)
{
    std::string video = videotest::video(VideoPlan());
    struct Case
    {
        std::string bytes;
        std::string message;
    };
    const Case cases[] = {
        {emptyFirstPage(), "invalid theora stream"},
        // 4080 x 1,044,496 pixels: 1.6 GB for the decoder alone.
        {withFrameBlocks(video, 255, 65281),
         "Video frame size 4080x1044496 is too large, at most 8192x8192 is supported"},
        {withFrameBlocks(video, 513, 4),
         "Video frame size 8208x64 is too large, at most 8192x8192 is supported"},
        {withFrameBlocks(video, 512, 512 + 1),
         "Video frame size 8192x8208 is too large, at most 8192x8192 is supported"},
        // Sides that fit, but a first frame of them would take seconds to decode, convert and upload.
        {withFrameBlocks(video, 512, 512),
         "Video frame size 8192x8192 is too large, at most 16777216 pixels (4096x4096) are supported"},
        {withFrameBlocks(video, 257, 256),
         "Video frame size 4112x4096 is too large, at most 16777216 pixels (4096x4096) are supported"},
        // Chroma for every pixel, or for every two of a row, which the converters would read as 4:2:0.
        {withPixelFormat(video, TH_PF_422), "Theora pixel format 4:2:2 is not supported, only 4:2:0"},
        {withPixelFormat(video, TH_PF_444), "Theora pixel format 4:4:4 is not supported, only 4:2:0"},
    };
    ASSERT_EQ(cases[0].bytes.size(), 27);
    for (const Case& c : cases)
    {
        TheoraVideoClip_Theora clip(memorySource(c.bytes), TH_GREY, 4, false);
        try
        {
            clip.load();
            ADD_FAILURE() << c.message;
        }
        catch (const _TheoraGenericException& e)
        {
            EXPECT_EQ(c.message, e.getMessage());
        }
    }
    // An empty first page ahead of a whole stream is passed over.
    TheoraVideoClip_Theora paddedClip(memorySource(emptyFirstPage() + video), TH_GREY, 1, false);
    paddedClip.load();
    EXPECT_EQ(paddedClip.getWidth(), 64);
    // The largest accepted frame still loads (a small picture in a big frame).
    TheoraVideoClip_Theora clip(memorySource(withFrameBlocks(video, 512, 8)), TH_GREY, 1, false);
    clip.load();
    EXPECT_EQ(clip.getWidth(), 8192);
}

TEST_F(ClipTest, FramesWhoseBufferCannotBeHadAreNotMade)
{
    // A stride no buffer can hold: the queue keeps what it could make and says so.
    struct WideClip : TheoraVideoClip_Theora
    {
        using TheoraVideoClip_Theora::TheoraVideoClip_Theora;
        void widen() { this->stride = 1 << 30; }
    };
    auto clip = std::make_unique<WideClip>(memorySource(video(VideoPlan())), TH_RGBA, 4, false);
    clip->load();
    EXPECT_EQ(clip->getNumPrecachedFrames(), 4);
    clip->widen();
    EXPECT_THROW(TheoraVideoFrame frame(clip.get()), std::bad_alloc);
    clip->getFrameQueue()->setSize(3);
    EXPECT_EQ(clip->getNumPrecachedFrames(), 0);
    EXPECT_EQ(1, LogJournal::count(
                     "TheoraFrameQueue: unable to create 3 frames, out of memory. Created 0 frames."));
    EXPECT_EQ(clip->getFrameQueue()->requestEmptyFrame(), nullptr);
}

namespace
{
    // The granule position of the clip's last page, rewritten to name the frame given (frames are counted
    // from the keyframe part of the granule, less one since the stream's version 3.2.1).
    std::string withLastFrame(std::string video, int shift, long long frame)
    {
        size_t last = video.rfind("OggS");
        ogg_int64_t granule = (ogg_int64_t)(frame + 1) << shift;
        for (int i = 0; i < 8; ++i)
        {
            video[last + 6 + i] = (char)((granule >> (8 * i)) & 0xFF);
        }
        resealPage(video, last);
        return video;
    }

    struct GranuleShift : TheoraVideoClip_Theora
    {
        using TheoraVideoClip_Theora::TheoraVideoClip_Theora;
        int shift() const { return this->info.keyframe_granule_shift; }
    };
} // namespace

TEST_F(ClipTest, ALastPageNamingAFrameNoIntCountsIsADamagedFile)
{
    const std::string video = videotest::video(VideoPlan());
    GranuleShift plain(memorySource(video), TH_GREY, 1, false);
    plain.load();
    ASSERT_EQ(plain.getNumFrames(), 40);
    struct Case
    {
        long long lastFrame;
        const char* message; // null: loads with lastFrame + 1 frames
    };
    const Case cases[] = {
        {2147483646LL, nullptr},
        {2147483647LL,
         "Video file is damaged: its last page names frame 2147483647, more than a clip can count"},
        {1LL << 40,
         "Video file is damaged: its last page names frame 1099511627776, more than a clip can count"},
    };
    for (const Case& c : cases)
    {
        TheoraVideoClip_Theora clip(memorySource(withLastFrame(video, plain.shift(), c.lastFrame)), TH_GREY,
                                    1, false);
        try
        {
            clip.load();
            EXPECT_EQ(c.message, nullptr) << c.lastFrame;
            EXPECT_EQ(clip.getNumFrames(), c.lastFrame + 1);
            EXPECT_GT(clip.getDuration(), 0.0f);
        }
        catch (const _TheoraGenericException& e)
        {
            EXPECT_EQ(c.message == nullptr ? "" : c.message, e.getMessage()) << c.lastFrame;
        }
    }
}

TEST_F(ClipTest, BigFramesArePrecachedFewerWithinTheClipsFrameMemory)
{
    const std::string video = videotest::video(VideoPlan());
    struct Case
    {
        int columns, rows; // in 16-pixel blocks
        int mode;
        int precached;
        const char* message; // logged when fewer frames than asked are precached
    };
    const Case cases[] = {
        // The largest frame takes 64 MB in four bytes a pixel: four fill the budget.
        {256, 256, TH_RGBX, 4, "MEM:test: frames of 4096x4096 take 64 MB each, precaching 4 instead of 16"},
        // An alpha video shows its left half.
        {256, 256, TH_RGBA, 8, "MEM:test: frames of 2048x4096 take 32 MB each, precaching 8 instead of 16"},
        {256, 256, TH_GREY, 16, nullptr},
        {128, 128, TH_RGBA, 16, nullptr},
        {4, 3, TH_RGBA, 16, nullptr},
    };
    for (const Case& c : cases)
    {
        LogJournal::clear();
        TheoraVideoClip_Theora clip(memorySource(withFrameBlocks(video, c.columns, c.rows)), c.mode, 16,
                                    false);
        clip.load();
        EXPECT_EQ(clip.getNumPrecachedFrames(), c.precached) << c.columns << "x" << c.rows;
        long long bytes = (long long)clip.getStride() * clip.getHeight() * theoraBytesPerPixel(c.mode) *
                          clip.getNumPrecachedFrames();
        EXPECT_LE(bytes, theoraMaxPrecachedBytes);
        if (c.message != nullptr)
        {
            EXPECT_EQ(1, LogJournal::count(c.message));
        }
        else
        {
            EXPECT_TRUE(LogJournal::lines().empty()) << LogJournal::lines().front();
        }
    }
}
