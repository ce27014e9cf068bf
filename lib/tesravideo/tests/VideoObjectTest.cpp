
#include <algorithm>
#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

#include <quortypes/Dir.h>
#include <quortypes/Resource.h>
#include <quortypes/exception.h>
#include <quortypes_testing/PropertyJournal.h>
#include <quortypes_testing/LogCapture.h>
#include <quortypes_testing/TempFolder.h>
#include <tesra/Image.h>
#include <tesra/RenderSystem.h>
#include <tesra/tesra.h>
#include <tesra_testing/KeepLoadedLibraries.h>
#include <tesraui/Container.h>
#include <tesraui/Dataset.h>
#include <tesraui/EventArgs.h>
#include <tesraui/tesraui.h>
#include <tesravideo/AudioVideoTimer.h>
#include <tesravideo/TheoraTimer.h>
#include <tesravideo/TheoraVideoClip.h>
#include <tesravideo/TheoraVideoManager.h>
#include <tesravideo/VideoObject.h>
#include <tesravideo/tesravideo.h>
#include <yim/AudioManager.h>
#include <yim/Player.h>
#include <yim/yim.h>

#include "OpenALLoopback.h"
#include "VideoWriter.h"

using kavtypes::Rectangle;
using tesravideo::VideoObject;
using Journal = quortypes_testing::PropertyJournal;
using yim_testing::encodeOgg;

namespace
{
    typedef std::vector<std::string> Lines;

    // The "tesravideo" log lines while alive.
    struct VideoLog : quortypes_testing::TagLogCapture<Lines>
    {
        VideoLog() : TagLogCapture("tesravideo") {}
    };

    std::string thrownText(const std::function<void()>& f)
    {
        try
        {
            f();
        }
        catch (quortypes::exception& e)
        {
            std::string message = e.getMessage();
            size_t end = message.find("] ");
            return end == std::string::npos ? message : message.substr(end + 2);
        }
        return "nothing thrown";
    }

    unsigned int scriptedNow = 1;
    unsigned int scriptedTicks()
    {
        return scriptedNow;
    }

    // A window on the GL render system, the UI library with the video object, and a dataset in a scratch
    // folder whose "video" folder holds the test's clips.
    class VideoObjectTest : public testing::Test
    {
    protected:
        hstring folder;
        hstring oldCwd;
        std::unique_ptr<tesraui::Dataset> dataset;
        tesraui::Container* root = nullptr;
        int playbackDone = 0;

        void SetUp() override
        {
            this->folder = quortypes_testing::makeTempFolder("tesravideo_test_");
            this->oldCwd = quortypes::Resource::getCwd();
            quortypes::Resource::setCwd(this->folder);
            VideoPlan plain;
            this->write("data/video/count.ogv", videotest::encodeVideo(plain));
            VideoPlan alpha;
            alpha.alpha = true;
            alpha.frames = 10;
            this->write("data/video/alpha.ogv", videotest::encodeVideo(alpha));
            tesra::init();
            tesra::createRenderSystem();
            tesra::createWindow(128, 128, false, "tesravideo");
            tesra_testing::keepLoadedLibraries();
            tesraui::init();
            tesravideo::init(1);
            this->dataset.reset(new tesraui::Dataset("data/ui.xml"));
            this->root = new tesraui::Container("root", Rectangle(0, 0, 128, 128));
            this->dataset->registerObjects(this->root);
        }

        void TearDown() override
        {
            this->dataset.reset();
            tesraui::destroy();
            tesra::destroy();
            yim::destroy();
            tesravideo::AudioVideoTimer::setTickFunction(nullptr);
            quortypes::Resource::setCwd(this->oldCwd);
            quortypes::Dir::remove(this->folder);
        }

        void write(const hstring& name, const std::string& bytes)
        {
            hstring full = quortypes::Dir::joinPath(this->folder, name);
            quortypes::Dir::create(quortypes::Dir::baseDir(full));
            std::ofstream(full.c_str(), std::ios::binary) << bytes;
        }

        VideoObject* add(std::initializer_list<std::pair<const char*, const char*>> properties)
        {
            VideoObject* video = new VideoObject("video", Rectangle(0, 0, 64, 48));
            this->root->addChildAndRegister(video);
            for (auto& property : properties)
                video->setProperty(property.first, property.second);
            return video;
        }

        void countPlaybackDone(VideoObject* video)
        {
            static VideoObjectTest* current;
            current = this;
            video->registerEvent("PlaybackDone", [](tesraui::EventArgs*) { ++current->playbackDone; });
        }

        // Draws the tree over a red background and reads the window back.
        std::unique_ptr<tesra::Image> drawAndGrab()
        {
            tesra::rendersys->clear(true, false);
            tesra::rendersys->drawFilledRect(Rectangle(0, 0, 128, 128), tesra::Color(255, 0, 0));
            this->root->draw();
            return std::unique_ptr<tesra::Image>(tesra::rendersys->takeScreenshot(tesra::Image::FORMAT_RGBA));
        }

        static tesra::Color pixel(const tesra::Image& shot, int x, int y)
        {
            const unsigned char* p = shot.data.get() + ((size_t)y * shot.width + x) * 4;
            return tesra::Color(p[0], p[1], p[2], p[3]);
        }

        // Gives the worker time to decode until the clip holds that many ready frames. Near a clip's end
        // fewer frames may ever come, so after a second the caller goes on: whatever it awaits, it bounds
        // by that state itself.
        static void waitForReady(TheoraVideoClip* clip, int count)
        {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            while (clip->getNumReadyFrames() < count && !clip->isDone() &&
                   std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }

        // One frame of the game: update, draw, run the queued events.
        void step(float seconds)
        {
            this->root->update(seconds);
            this->root->draw();
            this->dataset->processEvents();
        }
    };
} // namespace

TEST_F(VideoObjectTest, FactoryManagerLifetimeAndFileNames)
{
    VideoLog log;
    EXPECT_EQ(TheoraVideoManager::getSingleton(), nullptr);
    std::unique_ptr<tesraui::Object> made(tesraui::createObject("VideoObject", "v", Rectangle(0, 0, 1, 1)));
    ASSERT_NE(dynamic_cast<VideoObject*>(made.get()), nullptr);
    EXPECT_NE(TheoraVideoManager::getSingleton(), nullptr);
    EXPECT_EQ(tesravideo::getDefaultFileExtension(), ".ogv");
    VideoObject* video = this->add({{"video", "count"}});
    EXPECT_EQ(video->getFullPath(), "data/video/count.ogv");
    EXPECT_EQ(tesravideo::getLiveObjectCount(), 2);
    // No clip until the first draw or size query.
    EXPECT_EQ(video->getClip(), nullptr);
    EXPECT_EQ(video->getProperty("videoWidth") + " " + video->getProperty("videoHeight"), "64 48");
    EXPECT_EQ(video->getProperty("duration"), "1.600000");
    ASSERT_NE(video->getClip(), nullptr);
    EXPECT_EQ(video->getClip()->getOutputMode(), TH_BGRX);
    EXPECT_EQ(thrownText([&] { video->setProperty("video", "missing"); }),
              "Unable to find video file: data/video/missing.ogv");
    EXPECT_EQ(video->getProperty("video"), "count");
    made.reset();
    EXPECT_NE(TheoraVideoManager::getSingleton(), nullptr);
    this->dataset->destroyObject(video);
    EXPECT_EQ(TheoraVideoManager::getSingleton(), nullptr);
    EXPECT_EQ(log.count("Destroying Video manager, no more active clips found."), 1);
    EXPECT_EQ(log.count("Preloading video file to memory: data/video/count.ogv"), 1);
}

TEST_F(VideoObjectTest, DrawsTheFrameThatIsDueReadBackFromTheWindow)
{
    VideoObject* video = this->add({{"video", "count"}, {"loop", "0"}});
    std::unique_ptr<tesra::Image> shot = this->drawAndGrab();
    TheoraVideoClip* clip = video->getClip();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(videotest::readFrameNumber(shot->data.get(), shot->width * 4, 4, 0), 0);
    // Outside the picture the background shows.
    EXPECT_EQ(pixel(*shot, 100, 100), tesra::Color(255, 0, 0));
    waitForReady(clip, 8);
    this->root->update(5.0f / 25.0f + 0.001f);
    shot = this->drawAndGrab();
    EXPECT_EQ(videotest::readFrameNumber(shot->data.get(), shot->width * 4, 4, 0), 5);
    EXPECT_EQ(video->getProperty("state"), "playing");
}

TEST_F(VideoObjectTest, VideoAlphaIsZeroWhereTheRightHalfHasLuma16)
{
    VideoObject* video = this->add({{"video", "alpha.ogv"}, {"video_alpha", "1"}, {"blend_mode", "alpha"}});
    std::unique_ptr<tesra::Image> shot = this->drawAndGrab();
    ASSERT_NE(video->getClip(), nullptr);
    EXPECT_EQ(video->getClip()->getOutputMode(), TH_BGRA);
    EXPECT_EQ(video->getProperty("videoWidth"), "64");
    EXPECT_EQ(video->getProperty("blend_mode"), "alpha");
    // Luma 16 in the first band: the red background shows untouched; luma 235 in the last: the picture.
    EXPECT_EQ(pixel(*shot, 8, 40), tesra::Color(255, 0, 0));
    tesra::Color opaque = pixel(*shot, 56, 40);
    EXPECT_LT(opaque.r, 100);
    EXPECT_GT(opaque.g, 30);
    // Luma 125: about half of each.
    tesra::Color half = pixel(*shot, 32, 40);
    EXPECT_GT(half.r, 100);
    EXPECT_LT(half.r, 180);
}

TEST_F(VideoObjectTest, HiddenOrUnderItsThresholdItReportsPausedAndItsClockStands)
{
    VideoObject* video = this->add({{"video", "count"}});
    EXPECT_EQ(video->getProperty("state"), "paused");
    this->step(0.0f);
    this->step(0.1f);
    EXPECT_EQ(video->getProperty("state"), "playing");
    EXPECT_EQ(video->getProperty("time"), "0.100000");
    video->setVisible(false);
    this->step(0.5f);
    EXPECT_EQ(video->getProperty("state"), "paused");
    EXPECT_EQ(video->getProperty("time"), "0.100000");
    // The workers see the pause through the timer, as cached on this thread.
    EXPECT_TRUE(video->getTimer()->isPaused());
    video->setVisible(true);
    video->setProperty("alpha_pause_treshold", "300");
    EXPECT_EQ(video->getProperty("alpha_pause_treshold"), "255");
    video->setProperty("alpha_pause_treshold", "100");
    video->setAlpha(99);
    this->step(0.5f);
    EXPECT_EQ(video->getProperty("state"), "paused");
    EXPECT_EQ(video->getProperty("time"), "0.100000");
    this->root->setAlpha(128);
    video->setAlpha(255);
    this->step(0.2f);
    EXPECT_EQ(video->getProperty("state"), "playing");
    EXPECT_EQ(video->getProperty("time"), "0.300000");
    EXPECT_FALSE(video->getTimer()->isPaused());
}

TEST_F(VideoObjectTest, StateAndBlendModeProperties)
{
    VideoLog log;
    VideoObject* video = this->add({{"video", "count"}});
    EXPECT_EQ(video->getProperty("blend_mode"), "");
    EXPECT_EQ(log.count("ERROR: Unable to get blend_mode to VideoObject, image is NULL"), 1);
    this->step(0.0f);
    video->setProperty("blend_mode", "multiply");
    EXPECT_EQ(log.count("ERROR: Unknown VideoObject blend mode: multiply"), 1);
    video->setProperty("blend_mode", "add");
    EXPECT_EQ(video->getProperty("blend_mode"), "add");
    EXPECT_EQ(thrownText([&] { video->setProperty("state", "stopped"); }),
              "VideoObject: unable to set state property to 'stopped'.");
    video->setProperty("state", "paused");
    this->step(0.3f);
    EXPECT_EQ(video->getProperty("time"), "0.000000");
    video->setProperty("state", "playing");
    this->step(0.3f);
    EXPECT_EQ(video->getProperty("time"), "0.300000");
    video->setProperty("speed", "2");
    this->step(0.1f);
    EXPECT_EQ(video->getProperty("time"), "0.500000");
}

TEST_F(VideoObjectTest, ALoopingVideoReportsEachWrapButNotABackwardSeek)
{
    VideoObject* video = this->add({{"video", "count"}});
    this->countPlaybackDone(video);
    this->step(0.0f);
    TheoraVideoClip* clip = video->getClip();
    float played = 0.0f;
    // 1.2 s in, a seek back to the start is no wrap.
    while (played < 1.2f)
    {
        waitForReady(clip, 3);
        this->step(0.04f);
        played += 0.04f;
    }
    video->setProperty("time", "0.1");
    for (int i = 0; i < 5; ++i)
    {
        waitForReady(clip, 3);
        this->step(0.04f);
    }
    EXPECT_EQ(this->playbackDone, 0);
    // A seek forward leaves nothing behind that would hide the next wrap.
    video->setProperty("time", "1.3");
    for (int i = 0; i < 3; ++i)
    {
        waitForReady(clip, 3);
        this->step(0.04f);
    }
    EXPECT_EQ(this->playbackDone, 0);
    // Then two wraps of the 1.6 s clip. The clock stands while the worker restarts the clip, and a wrap is
    // reported only once the worker has decoded a frame after it, however many frames that takes: the test
    // waits for the reports themselves, then plays ten frames more, which must report nothing.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (this->playbackDone < 2 && std::chrono::steady_clock::now() < deadline)
    {
        waitForReady(clip, 3);
        this->step(0.04f);
        // A worker sharing the processor gets its turn.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(this->playbackDone, 2);
    for (int i = 0; i < 10; ++i)
    {
        waitForReady(clip, 3);
        this->step(0.04f);
    }
    EXPECT_EQ(clip->getPlaybackIteration(), 2);
    EXPECT_EQ(this->playbackDone, 2);
}

TEST_F(VideoObjectTest, ANonLoopingVideoWithSoundIsDoneOnceWhenPictureAndSoundHaveEnded)
{
    tesravideo::AudioVideoTimer::setTickFunction(scriptedTicks);
    yim::openal::initLoopback();
    // Two seconds of sound under the 1.6 s picture.
    this->write(
        "data/video/count.ogg",
        encodeOgg(1, 22050, 44100, [](int frame, int) { return 0.2f * (float)((frame % 100) < 50); }));
    VideoObject* video = this->add({{"video", "count"}, {"audio", "count.ogg"}, {"loop", "0"}});
    this->countPlaybackDone(video);
    this->step(0.0f);
    ASSERT_NE(video->getAudioPlayer(), nullptr);
    EXPECT_TRUE(yim::manager->hasCategory("video"));
    TheoraVideoClip* clip = video->getClip();
    std::vector<float> mix(1764 * 2);
    auto frame = [&]
    {
        waitForReady(clip, 3);
        scriptedNow += 40;
        yim::manager->update(0.04f);
        yim::openal::renderLoopback(mix.data(), 1764);
        this->step(0.04f);
    };
    frame();
    EXPECT_TRUE(video->getAudioPlayer()->isPlaying());
    // Hidden, the picture's clock stands and the sound pauses with it.
    video->setVisible(false);
    frame();
    float standing = clip->getTimePosition();
    frame();
    EXPECT_TRUE(video->getAudioPlayer()->isPaused());
    EXPECT_FLOAT_EQ(clip->getTimePosition(), standing);
    video->setVisible(true);
    frame();
    EXPECT_TRUE(video->getAudioPlayer()->isPlaying());
    int pictureDoneAt = -1;
    int doneAt = -1;
    for (int i = 0; i < 100; ++i)
    {
        frame();
        if (pictureDoneAt < 0 && clip->isDone())
            pictureDoneAt = i;
        if (doneAt < 0 && this->playbackDone > 0)
            doneAt = i;
    }
    EXPECT_EQ(this->playbackDone, 1);
    EXPECT_GE(pictureDoneAt, 0);
    // The event waits for the sound, which ends about 0.4 s (10 frames) after the picture.
    EXPECT_GE(doneAt, pictureDoneAt + 5);
    EXPECT_FALSE(video->getAudioPlayer()->isPlaying());
    EXPECT_EQ(video->getProperty("state"), "stopped");
}

TEST_F(VideoObjectTest, AFileThatCannotPlayIsLoggedOnceAndShowsNothingUntilAnotherIsSet)
{
    const std::string whole = videotest::encodeVideo(VideoPlan());
    std::string garbled = whole;
    for (size_t i = 40; i < 240; ++i)
        garbled[i] = (char)(i * 37);
    const struct
    {
        const char* file;
        std::string bytes;
    } cases[] = {{"cut", whole.substr(0, 200)}, {"empty", ""}, {"garbled", garbled}};
    for (const auto& c : cases)
    {
        this->write(hstring("data/video/") + c.file + ".ogv", c.bytes);
        VideoLog log;
        VideoObject* video = this->add({{"video", c.file}});
        // Every way that makes the clip: a draw, a size query, a seek.
        for (int i = 0; i < 3; ++i)
            this->step(0.1f);
        EXPECT_EQ(video->getProperty("duration"), "0") << c.file;
        video->setProperty("time", "0.5");
        EXPECT_EQ(video->getClip(), nullptr) << c.file;
        EXPECT_EQ(video->getImage(), this->dataset->getImage("null")) << c.file;
        const hstring prefix = hstring("ERROR: Unable to play video file 'data/video/") + c.file + ".ogv': ";
        EXPECT_EQ(std::count_if(log.lines.begin(), log.lines.end(),
                                [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }),
                  1)
            << c.file;
        // Set again, a file is tried anew: a good one plays.
        video->setProperty("video", "count");
        this->step(0.0f);
        EXPECT_NE(video->getClip(), nullptr) << c.file;
        this->dataset->destroyObject(video);
    }
}

TEST_F(VideoObjectTest, AClipThatStopsDecodingIsLoggedOnceAndLetGo)
{
    VideoLog log;
    VideoObject* video = this->add({{"video", "count"}});
    this->step(0.0f);
    ASSERT_NE(video->getClip(), nullptr);
    // What a worker does when decoding throws.
    video->getClip()->_fail("packet out of bounds");
    this->step(0.1f);
    this->step(0.1f);
    EXPECT_EQ(video->getClip(), nullptr);
    EXPECT_EQ(log.count("ERROR: Unable to play video file 'data/video/count.ogv': packet out of bounds"), 1);
    EXPECT_EQ(video->getProperty("state"), "paused");
}

// Its own properties come before the image box's; the journal is its own script (see PropertyJournal).
TEST_F(VideoObjectTest, PropertiesListedReadAndSetBeforeAndAfterItsClip)
{
    VideoObject* video = this->add({});
    tesraui::ImageBox box("box", Rectangle(0, 0, 1, 1));
    EXPECT_EQ(
        Journal::described(*video),
        Journal::joined({{"video:STRING", "video_alpha:BOOL", "alpha_pause_treshold:INT", "loop:BOOL",
                          "speed:FLOAT", "time:FLOAT", "duration:FLOAT", "videoWidth:INT", "videoHeight:INT",
                          "audio:STRING", "sync_offset:FLOAT", "blend_mode:STRING", "state:STRING"},
                         Journal::described(box)}));
    // Without a clip, then with one made by the first question about its size.
    const Journal::Lines journal = {
        R"(video -> '')",
        R"(video_alpha -> '0')",
        R"(alpha_pause_treshold -> '0')",
        R"(loop -> '1')",
        R"(speed -> '1.000000')",
        R"(time -> '0.000000')",
        R"(duration -> '0')",
        R"(videoWidth -> '0')",
        R"(videoHeight -> '0')",
        R"(audio -> '')",
        R"(sync_offset -> '0.000000')",
        R"(blend_mode -> '')",
        R"(  tesravideo: ERROR: Unable to get blend_mode to VideoObject, image is NULL)",
        R"(state -> 'paused')",
        R"(video_alpha=1: taken, reads '1')",
        R"(alpha_pause_treshold=-5: taken, reads '0')",
        R"(alpha_pause_treshold=300: taken, reads '255')",
        R"(loop=0: taken, reads '0')",
        R"(speed=2: taken, reads '2.000000')",
        R"(time=1: taken, reads '0.000000')",
        R"(  tesravideo: WARNING: VideoObject ignoring 'time' param, mClip is NULL)",
        R"(audio=a.ogg: taken, reads 'a.ogg')",
        R"(sync_offset=0.5: taken, reads '0.500000')",
        R"(blend_mode=add: taken, reads '')",
        R"(  tesravideo: ERROR: Unable to get blend_mode to VideoObject, image is NULL)",
        R"(blend_mode=multiply: taken, reads '')",
        R"(  tesravideo: ERROR: Unknown VideoObject blend mode: multiply)",
        R"(  tesravideo: ERROR: Unable to get blend_mode to VideoObject, image is NULL)",
        R"(state=paused: taken, reads 'paused')",
        R"(state=playing: taken, reads 'paused')",
        R"(state=stopped: throws 'VideoObject: unable to set state property to 'stopped'.')",
        R"(video=missing: throws 'Unable to find video file: data/video/missing.ogv')",
        R"(video_alpha=0: taken, reads '0')",
        R"(video=count: taken, reads 'count')",
        R"(videoWidth -> '64')",
        R"(  tesravideo: Preloading video file to memory: data/video/count.ogv)",
        R"(  tesravideo: Creating video from data source: MEM:data/video/count.ogv [16 precached frames].)",
        R"(  tesravideo: Created video clip.)",
        R"(  tesravideo: WARNING: VideoObject: no audio system, 'a.ogg' not played)",
        R"(videoHeight -> '48')",
        R"(duration -> '1.600000')",
        R"(blend_mode -> 'add')",
        R"(state -> 'playing')",
        R"(audio=: taken, reads '')",
        R"(loop -> '0')",
        R"(image=null: taken, reads 'ui.null')",
        R"(x=3: taken, reads '3.000000')",
        R"(no_such -> '')",
        R"(no_such=1: refused, reads '')"};
    EXPECT_EQ(Journal::replay(*video, journal, {"tesravideo"}), journal);
}

// A looping video at a speed of 1e30 (or a sync offset of -3e38) hung its frame for ever, and a time of 1e30
// converted a float no int holds. Every number the clock reads is held where its arithmetic holds it: a
// script's past a bound is refused by the rule its description carries, a data file's is held at the end
// it passes with a warning naming the file and the line, and a time past the end stands at the end.
TEST_F(VideoObjectTest, FarNumbersAreHeldWhereTheClockHoldsThem)
{
    struct Case
    {
        const char* property;
        const char* value;
    };
    const Case cases[] = {{"speed", "1e30"}, {"speed", "-5000"},       {"speed", "nan"},
                          {"speed", "2"},    {"sync_offset", "-3e38"}, {"sync_offset", "0.25"}};
    VideoObject* video = this->add({{"video", "count"}});
    const harray<PropertyInfo> descriptions = video->getPropertyDescriptions();
    Lines journal;
    for (const Case& c : cases)
    {
        // What a script is told, then what a data file's value becomes.
        const hstring refusal = PropertyInfo::valueRefusal(descriptions, c.property, c.value);
        video->setProperty(c.property, c.value);
        journal.push_back(std::string(c.property) + "=" + c.value + ": " +
                          (refusal != "" ? "refused (" + std::string(refusal.c_str()) + "), " : "") +
                          "reads " + video->getProperty(c.property).c_str());
    }
    const std::string range = " is not a number from -1000 to 1000), ";
    EXPECT_EQ(journal, (Lines{
                           "speed=1e30: refused ('1e30'" + range + "reads 1000.000000",
                           "speed=-5000: refused ('-5000'" + range + "reads -1000.000000",
                           "speed=nan: refused ('nan' is not a number a float can hold), reads 0.000000",
                           "speed=2: reads 2.000000",
                           "sync_offset=-3e38: refused ('-3e38'" + range + "reads -1000.000000",
                           "sync_offset=0.25: reads 0.250000",
                       }));
    this->dataset->destroyObject(video);

    // A data file's video: told where, held, and standing at its end.
    this->write("data/far.xml", "<Dataset>\n<Object type='VideoObject' name='far' x='0' y='0' w='64' h='48'\n"
                                "video='count' loop='0' speed='1e30' sync_offset='-3e38' time='1e30'/>\n"
                                "</Dataset>\n");
    quortypes_testing::TagLogCapture<Lines> log("tesraui");
    tesraui::Dataset far("data/far.xml");
    far.load();
    Lines warnings;
    for (const std::string& line : log.take())
    {
        if (line.rfind("WARNING: ", 0) == 0)
        {
            warnings.push_back(line);
        }
    }
    EXPECT_EQ(
        warnings,
        (Lines{"WARNING: Property 'speed' of object 'far': '1e30'" + range.substr(0, range.size() - 3) +
                   ", read as 1000, in file data/far.xml, line 2",
               "WARNING: Property 'sync_offset' of object 'far': '-3e38'" +
                   range.substr(0, range.size() - 3) + ", read as -1000, in file data/far.xml, line 2"}));
    auto* loaded = dynamic_cast<VideoObject*>(far.getObject("far"));
    ASSERT_NE(loaded, nullptr);
    TheoraVideoClip* clip = loaded->getClip();
    ASSERT_NE(clip, nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!clip->isDone() && std::chrono::steady_clock::now() < deadline)
    {
        loaded->update(0.04f);
        loaded->draw();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(clip->isDone());
    EXPECT_FLOAT_EQ(clip->getTimePosition(), clip->getDuration());
}

TEST_F(VideoObjectTest, ALoopingVideoWithSoundButNoAudioOutputWrapsOncePerPass)
{
    // A muted game: the sound's clock is the frame steps alone, and the loop's wrap must move it too.
    yim::init(yim::SystemType::AS_DISABLED, 0);
    this->write("data/video/count.ogg", encodeOgg(1, 22050, 44100, [](int, int) { return 0.0f; }));
    VideoObject* video = this->add({{"video", "count"}, {"audio", "count.ogg"}});
    this->countPlaybackDone(video);
    this->step(0.0f);
    auto* timer = dynamic_cast<tesravideo::AudioVideoTimer*>(video->getClip()->getTimer());
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->isDisabled());
    TheoraVideoClip* clip = video->getClip();
    const float duration = clip->getDuration();
    Lines outside;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (this->playbackDone < 2 && std::chrono::steady_clock::now() < deadline)
    {
        waitForReady(clip, 3);
        this->step(0.04f);
        const float time = clip->getTimePosition();
        if (!(time >= 0.0f && time <= duration))
            outside.push_back(std::to_string(time));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(this->playbackDone, 2);
    // Another half pass: no wrap is due in it.
    for (int i = 0; i < 20; ++i)
    {
        waitForReady(clip, 3);
        this->step(0.04f);
        const float time = clip->getTimePosition();
        if (!(time >= 0.0f && time <= duration))
            outside.push_back(std::to_string(time));
    }
    EXPECT_EQ(outside, Lines());
    EXPECT_EQ(this->playbackDone, 2);
    EXPECT_EQ(clip->getPlaybackIteration(), 2);
}
