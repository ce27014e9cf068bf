#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

#include <tesravideo/TheoraException.h>
#include <tesravideo/TheoraThread.h>
#include <tesravideo/TheoraVideoClip.h>

#include "VideoTestSupport.h"

using namespace videotest;

namespace
{
    // A manager whose workers are stopped at once, so the test alone asks for work.
    class IdleManager : public TheoraVideoManager
    {
    public:
        IdleManager() : TheoraVideoManager(1)
        {
            for (const std::unique_ptr<TheoraWorkerThread>& thread : this->workerThreads)
            {
                thread->join();
            }
        }
    };

    class ManagerTest : public ::testing::Test
    {
    protected:
        LogCapture log;
        TheoraWorkerThread* caller = reinterpret_cast<TheoraWorkerThread*>(0x10);

        TheoraVideoClip* create(TheoraVideoManager& manager, int frames = 40, int precached = 4)
        {
            VideoPlan plan;
            plan.frames = frames;
            return manager.createVideoClip(memorySource(video(plan)), TH_GREY, precached);
        }

        // Asks for work n times, ending each turn at once; returns which clips were chosen.
        std::vector<TheoraVideoClip*> turns(TheoraVideoManager& manager, int n)
        {
            std::vector<TheoraVideoClip*> chosen;
            for (int i = 0; i < n; ++i)
            {
                TheoraVideoClip* clip = manager.requestWork(this->caller);
                chosen.push_back(clip);
                if (clip != nullptr)
                {
                    clip->_setAssignedWorker(nullptr);
                }
            }
            return chosen;
        }

        static void fill(TheoraVideoClip* clip)
        {
            while (clip->getNumReadyFrames() < clip->getNumPrecachedFrames() && clip->decodeNextFrame())
            {
            }
        }
    };
} // namespace

TEST_F(ManagerTest, ConstructionLogsVersionsAndNeedsAWorker)
{
    {
        IdleManager manager;
        EXPECT_EQ(&manager, TheoraVideoManager::getSingleton());
        EXPECT_EQ((std::vector<std::string>{"Theora"}), manager.getSupportedDecoders());
        std::string first = LogJournal::lines().at(0);
        EXPECT_EQ(0u, first.find("Initializing Theora Playback Library (1.1)\n  - libtheora version: "));
        EXPECT_NE(std::string::npos, first.find("\n  - libvorbis version: "));
        EXPECT_EQ(first.size() - 37, first.find("\n------------------------------------"));
    }
    try
    {
        TheoraVideoManager manager(0);
        ADD_FAILURE();
    }
    catch (const _TheoraGenericException& e)
    {
        EXPECT_EQ("Unable to create TheoraVideoManager, at least one worker thread is reqired",
                  e.getMessage());
    }
}

TEST_F(ManagerTest, CreatedClipHasItsFirstFrameAndIsLogged)
{
    IdleManager manager;
    TheoraVideoClip* clip = create(manager, 40, 0);
    EXPECT_EQ(8, clip->getNumPrecachedFrames());
    EXPECT_EQ(1, clip->getNumReadyFrames());
    EXPECT_EQ(1, LogJournal::count("Creating video from data source: MEM:test [8 precached frames]."));
    manager.destroyVideoClip(clip);
    EXPECT_EQ(1, LogJournal::count("Destroying video clip: MEM:test"));
    EXPECT_EQ(0u, manager.getClips().size());
}

TEST_F(ManagerTest, FullClipIsPassedOverAndPausedClipsAreStillServed)
{
    IdleManager manager;
    TheoraVideoClip* full = create(manager);
    TheoraVideoClip* other = create(manager);
    fill(full);
    for (TheoraVideoClip* clip : turns(manager, 20))
    {
        EXPECT_EQ(other, clip);
    }
    fill(other);
    EXPECT_EQ(nullptr, turns(manager, 1)[0]);
    // Paused clips wait for the second pass, which runs only when no running clip wants work.
    full->getFrameQueue()->pop(1);
    other->getFrameQueue()->pop(1);
    full->pause();
    EXPECT_EQ(other, turns(manager, 1)[0]);
    other->pause();
    EXPECT_NE(nullptr, turns(manager, 1)[0]);
}

TEST_F(ManagerTest, WorkIsSharedByRecentTurnsAndTheLogIsBounded)
{
    IdleManager manager;
    TheoraVideoClip* a = create(manager);
    TheoraVideoClip* b = create(manager);
    std::vector<TheoraVideoClip*> chosen = turns(manager, 200);
    int countA = (int)std::count(chosen.begin(), chosen.end(), a);
    EXPECT_NEAR(100, countA, 5);
    EXPECT_EQ(50, manager.getWorkLogSize());
    EXPECT_EQ(50, a->getThreadAccessCount() + b->getThreadAccessCount());
    // A higher priority earns more turns.
    a->setPriority(3.0f);
    chosen = turns(manager, 100);
    countA = (int)std::count(chosen.begin(), chosen.end(), a);
    EXPECT_GT(countA, 65);
    // One clip alone keeps no log.
    manager.destroyVideoClip(b);
    EXPECT_EQ(a, turns(manager, 1)[0]);
    EXPECT_EQ(0, manager.getWorkLogSize());
    EXPECT_EQ(0, a->getThreadAccessCount());
}

TEST_F(ManagerTest, ClipStandingStillDoesNotStopTheOthers)
{
    IdleManager manager;
    TheoraVideoClip* still = create(manager);
    TheoraVideoClip* running = create(manager);
    still->decodeNextFrame();
    still->setPlaybackSpeed(0.0f);
    std::vector<TheoraVideoClip*> chosen = turns(manager, 10);
    EXPECT_EQ(0, std::count(chosen.begin(), chosen.end(), nullptr));
    EXPECT_GT(std::count(chosen.begin(), chosen.end(), running), 0);
    EXPECT_GT(std::count(chosen.begin(), chosen.end(), still), 0);
}

TEST_F(ManagerTest, DestroyWaitsForTheWorkerTurnToEnd)
{
    IdleManager manager;
    TheoraVideoClip* clip = create(manager);
    clip->_setAssignedWorker(this->caller);
    std::atomic<bool> destroyed(false);
    std::thread destroyer(
        [&]()
        {
            manager.destroyVideoClip(clip);
            destroyed = true;
        });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(destroyed.load());
    clip->_setAssignedWorker(nullptr);
    destroyer.join();
    EXPECT_EQ(1, LogJournal::count(" - Waiting for WorkerThread to finish decoding in order to destroy"));
    EXPECT_EQ(1, LogJournal::count(" - WorkerThread done, destroying..."));
    manager.destroyVideoClip(nullptr);
}

TEST_F(ManagerTest, FailedLoadLeavesTheWorkersWorking)
{
    IdleManager manager;
    EXPECT_THROW(manager.createVideoClip(memorySource("not a video"), TH_GREY), _TheoraGenericException);
    EXPECT_THROW(manager.createVideoClip("no/such/video.ogv", TH_GREY), _TheoraGenericException);
    EXPECT_EQ(1, LogJournal::count("Can't open video file: no/such/video.ogv"));
    TheoraVideoClip* clip = create(manager);
    // Another thread must get the work lock.
    std::future<TheoraVideoClip*> other =
        std::async(std::launch::async, [&]() { return manager.requestWork(caller); });
    ASSERT_EQ(std::future_status::ready, other.wait_for(std::chrono::seconds(5)));
    EXPECT_EQ(clip, other.get());
    clip->_setAssignedWorker(nullptr);
}

namespace
{
    // A file in memory whose reads throw once armed, as a source can when its medium goes away.
    class FailingSource : public TheoraMemoryFileDataSource
    {
    public:
        using TheoraMemoryFileDataSource::TheoraMemoryFileDataSource;
        std::atomic<bool> armed{false};
        int read(void* output, int count) override
        {
            if (this->armed.load())
            {
                throw std::runtime_error("the medium went away");
            }
            return TheoraMemoryFileDataSource::read(output, count);
        }
    };
} // namespace

TEST_F(ManagerTest, AnErrorWhileDecodingStopsTheClipNotTheWorker)
{
    TheoraVideoManager manager(1);
    VideoPlan plan;
    plan.frames = 40;
    const std::string& bytes = video(plan);
    std::unique_ptr<unsigned char[]> data(new unsigned char[bytes.size()]);
    memcpy(data.get(), bytes.data(), bytes.size());
    auto owned = std::make_unique<FailingSource>(std::move(data), (long)bytes.size(), "failing");
    FailingSource* source = owned.get();
    TheoraVideoClip* failing = manager.createVideoClip(std::move(owned), TH_GREY, 4);
    TheoraVideoClip* healthy = create(manager, 40, 4);
    source->armed = true;
    // Generous for a loaded machine: awaited is the failure, then the other clip's frames.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!failing->hasFailed() && std::chrono::steady_clock::now() < deadline)
    {
        // Frames shown make room, and the worker reads on.
        if (failing->getNextFrame() != nullptr)
            failing->popFrame();
        failing->update(0.05f);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_TRUE(failing->hasFailed());
    EXPECT_EQ(failing->getFailure(), "the medium went away");
    while (healthy->getNumReadyFrames() < 4 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_EQ(healthy->getNumReadyFrames(), 4);
    // A failed clip gets no more turns.
    for (int i = 0; i < 10; ++i)
    {
        TheoraVideoClip* chosen = manager.requestWork(caller);
        EXPECT_NE(chosen, failing);
        if (chosen != nullptr)
            chosen->_setAssignedWorker(nullptr);
    }
    manager.destroyVideoClip(failing);
    manager.destroyVideoClip(healthy);
}

// A manager's workers serve its own clips whatever other managers come and go: one made later has its
// clips left to its own (here stopped) workers, and its end leaves the first one's worker decoding.
TEST_F(ManagerTest, WorkersServeTheirOwnManagerBesideAnother)
{
    TheoraVideoManager first(1);
    TheoraVideoClip* clip = create(first, 40, 4);
    {
        IdleManager second;
        TheoraVideoClip* idle = create(second, 40, 4);
        // Generous for a loaded machine.
        clip->waitForCache(1.0f, 20.0f);
        EXPECT_EQ(clip->getNumReadyFrames(), 4);
        EXPECT_EQ(idle->getNumReadyFrames(), 1);
    }
    while (clip->getNextFrame() != nullptr)
    {
        clip->popFrame();
    }
    clip->waitForCache(1.0f, 20.0f);
    EXPECT_EQ(clip->getNumReadyFrames(), 4);
}

TEST_F(ManagerTest, WorkersDecodeAheadWhileTheMainThreadShowsFrames)
{
    TheoraVideoManager manager(1);
    VideoPlan plan;
    plan.frames = 50;
    plan.fps = 32; // steps add up exactly
    TheoraVideoClip* clip = manager.createVideoClip(memorySource(video(plan)), TH_BGRX, 6);
    clip->setAutoRestart(true);
    clip->waitForCache(1.0f, 5.0f);
    EXPECT_EQ(6, clip->getNumReadyFrames());
    int last = -1;
    int shown = 0;
    // Generous for a loaded machine: only the order of the frames is checked.
    std::chrono::steady_clock::time_point deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (shown < 60 && std::chrono::steady_clock::now() < deadline)
    {
        TheoraVideoFrame* frame = clip->getNextFrame();
        if (frame != nullptr)
        {
            int number = frameNumber(clip, frame);
            EXPECT_TRUE(number == last + 1 || (last == 49 && number == 0)) << last << " " << number;
            last = number;
            clip->popFrame();
            ++shown;
        }
        else
        {
            // A step taken while the worker restarted the clip was held back: give it again.
            float target = shown / 32.0f;
            float now = clip->getTimePosition() + clip->getPlaybackIteration() * clip->getDuration();
            if (now < target)
            {
                clip->update(target - now);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    EXPECT_EQ(60, shown);
    EXPECT_EQ(1, clip->getPlaybackIteration());
}

TEST_F(ManagerTest, ManyCreateAndDestroyCyclesBesideBusyWorkers)
{
    TheoraVideoManager manager(2);
    VideoPlan plan;
    plan.frames = 30;
    std::vector<TheoraVideoClip*> playing;
    for (int i = 0; i < 3; ++i)
    {
        playing.push_back(manager.createVideoClip(memorySource(video(plan)), TH_RGB, 4));
        playing.back()->setAutoRestart(true);
    }
    for (int cycle = 0; cycle < 500; ++cycle)
    {
        TheoraVideoClip* clip = manager.createVideoClip(memorySource(video(plan)), TH_GREY, 2);
        if (cycle % 3 == 0)
        {
            clip->seek(0.5f);
        }
        for (TheoraVideoClip* other : playing)
        {
            if (other->getNextFrame() != nullptr)
            {
                other->popFrame();
            }
            other->update(0.04f);
        }
        manager.destroyVideoClip(clip);
    }
    EXPECT_EQ(3u, manager.getClips().size());
    for (TheoraVideoClip* clip : playing)
    {
        EXPECT_GT(clip->getNumDisplayedFrames(), 0);
    }
}
