#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include <theora/codec.h>
#include <vorbis/codec.h>

#include <tesravideo/TheoraDataSource.h>
#include <tesravideo/TheoraException.h>
#include <tesravideo/TheoraThread.h>
#include <tesravideo/TheoraTimer.h>
#include <tesravideo/TheoraVideoClip.h>
#include <tesravideo/TheoraVideoManager.h>

#include "Theora/TheoraVideoClip_Theora.h"
#include "TheoraLog.h"

namespace
{
    struct Candidate
    {
        TheoraVideoClip* clip;
        float priority;
        float queuedTime;
        float work;
        float entitled;
    };
} // namespace

TheoraVideoManager* TheoraVideoManager::singleton = nullptr;

TheoraVideoManager::TheoraVideoManager(int numWorkerThreads)
{
    if (numWorkerThreads < 1)
    {
        THEORA_THROW("Unable to create TheoraVideoManager, at least one worker thread is reqired");
    }
    singleton = this;
    logMessage("Initializing Theora Playback Library (" + this->getVersionString() + ")\n" +
               "  - libtheora version: " + th_version_string() + "\n" + "  - libvorbis version: " +
               vorbis_version_string() + "\n" + "------------------------------------");
    this->workMutex = std::make_unique<quortypes::Mutex>();
    for (int i = 0; i < numWorkerThreads; ++i)
    {
        // The workers of this manager serve its clips, whichever manager was made last.
        auto thread = std::make_unique<TheoraWorkerThread>([this](TheoraWorkerThread* worker)
                                                           { return this->requestWork(worker); });
        thread->start();
        this->workerThreads.push_back(std::move(thread));
    }
}

TheoraVideoManager::~TheoraVideoManager()
{
    // Every worker is gone before any clip, and every clip before the mutex the workers took.
    for (std::unique_ptr<TheoraWorkerThread>& thread : this->workerThreads)
    {
        thread->join();
        thread.reset();
    }
    this->workerThreads.clear();
    {
        std::lock_guard<quortypes::Mutex> lock(*this->workMutex);
        for (std::unique_ptr<TheoraVideoClip>& clip : this->clips)
        {
            clip.reset();
        }
        this->clips.clear();
    }
    this->workMutex.reset();
    this->workLog.clear();
    this->workLogSize = 0;
    if (singleton == this)
    {
        singleton = nullptr;
    }
}

TheoraVideoClip* TheoraVideoManager::createVideoClip(std::unique_ptr<TheoraDataSource> source, int outputMode,
                                                     int numPrecachedOverride, bool usePower2Stride)
{
    // A scoped lock: a clip whose load throws must not leave the workers locked out.
    std::lock_guard<quortypes::Mutex> lock(*this->workMutex);
    int precached = (numPrecachedOverride != 0 ? numPrecachedOverride : this->defaultNumPrecachedFrames);
    logMessage("Creating video from data source: " + source->repr() + " [" + std::to_string(precached) +
               " precached frames].");
    // A clip whose load throws goes with its source.
    auto clip =
        std::make_unique<TheoraVideoClip_Theora>(std::move(source), outputMode, precached, usePower2Stride);
    clip->load();
    clip->decodeNextFrame();
    this->clips.push_back(std::move(clip));
    return this->clips.back().get();
}

TheoraVideoClip* TheoraVideoManager::createVideoClip(const std::string& filename, int outputMode,
                                                     int numPrecachedOverride, bool usePower2Stride)
{
    return this->createVideoClip(std::make_unique<TheoraFileDataSource>(filename), outputMode,
                                 numPrecachedOverride, usePower2Stride);
}

void TheoraVideoManager::destroyVideoClip(TheoraVideoClip* clip)
{
    if (clip == nullptr)
    {
        return;
    }
    logMessage("Destroying video clip: " + clip->getName());
    std::lock_guard<quortypes::Mutex> lock(*this->workMutex);
    bool waited = false;
    while (clip->assignedWorker.load() != nullptr)
    {
        if (!waited)
        {
            logMessage(" - Waiting for WorkerThread to finish decoding in order to destroy");
            waited = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (waited)
    {
        logMessage(" - WorkerThread done, destroying...");
    }
    // The worker clears the assignment before it lets go of the clip's mutex: wait for that too.
    clip->threadMutex->lock();
    clip->threadMutex->unlock();
    std::unique_ptr<TheoraVideoClip> owned;
    auto it =
        std::find_if(this->clips.begin(), this->clips.end(),
                     [clip](const std::unique_ptr<TheoraVideoClip>& entry) { return entry.get() == clip; });
    if (it != this->clips.end())
    {
        owned = std::move(*it);
        this->clips.erase(it);
    }
    for (std::list<TheoraVideoClip*>::iterator entry = this->workLog.begin(); entry != this->workLog.end();)
    {
        if (*entry == clip)
        {
            entry = this->workLog.erase(entry);
            --this->workLogSize;
        }
        else
        {
            ++entry;
        }
    }
    owned.reset();
}

TheoraVideoClip* TheoraVideoManager::requestWork(TheoraWorkerThread* caller)
{
    if (this->workMutex == nullptr)
    {
        return nullptr;
    }
    std::lock_guard<quortypes::Mutex> lock(*this->workMutex);
    std::vector<Candidate> candidates;
    for (int pass = 0; pass < 2 && candidates.empty(); ++pass)
    {
        for (const std::unique_ptr<TheoraVideoClip>& entry : this->clips)
        {
            TheoraVideoClip* clip = entry.get();
            if (clip->isBusy() || clip->hasFailed())
            {
                continue;
            }
            if (pass == 0 && clip->getTimer()->isPaused() && !clip->waitingForCache.load())
            {
                continue;
            }
            int ready = clip->getNumReadyFrames();
            if (ready == clip->getNumPrecachedFrames())
            {
                continue;
            }
            // A clip standing still (speed 0) counts as having nothing queued rather than dividing by 0.
            float rate = clip->getFPS() * clip->getTimer()->getSpeed();
            float queued = (rate > 0.0f ? ready / rate : 0.0f);
            candidates.push_back({clip, clip->getPriority(), queued, (float)clip->threadAccessCount, 0.0f});
        }
    }
    float totalWork = 0.0f;
    float maxQueued = 0.0f;
    for (const Candidate& candidate : candidates)
    {
        totalWork += candidate.work;
        maxQueued = std::max(maxQueued, candidate.queuedTime);
    }
    if (totalWork == 0.0f)
    {
        totalWork = 1.0f;
    }
    if (maxQueued == 0.0f)
    {
        maxQueued = 1.0f;
    }
    float totalPriority = 0.0f;
    for (Candidate& candidate : candidates)
    {
        candidate.work /= totalWork;
        candidate.priority *= 1.0f - (candidate.queuedTime / maxQueued) * 0.5f;
        totalPriority += candidate.priority;
    }
    TheoraVideoClip* selected = nullptr;
    float best = -1.0f;
    for (Candidate& candidate : candidates)
    {
        candidate.entitled = candidate.priority / totalPriority;
        float difference = candidate.entitled - candidate.work;
        if (difference > best)
        {
            best = difference;
            selected = candidate.clip;
        }
    }
    if (selected != nullptr)
    {
        selected->assignedWorker = caller;
        int count = (int)this->clips.size();
        if (count > 1)
        {
            this->workLog.push_front(selected);
            ++this->workLogSize;
            ++selected->threadAccessCount;
        }
        while (this->workLogSize > (count - 1) * 50)
        {
            --this->workLog.back()->threadAccessCount;
            this->workLog.pop_back();
            --this->workLogSize;
        }
    }
    return selected;
}

std::vector<std::string> TheoraVideoManager::getSupportedDecoders()
{
    return {"Theora"};
}

std::vector<TheoraVideoClip*> TheoraVideoManager::getClips()
{
    std::lock_guard<quortypes::Mutex> lock(*this->workMutex);
    std::vector<TheoraVideoClip*> result;
    result.reserve(this->clips.size());
    for (const std::unique_ptr<TheoraVideoClip>& clip : this->clips)
    {
        result.push_back(clip.get());
    }
    return result;
}

int TheoraVideoManager::getWorkLogSize()
{
    std::lock_guard<quortypes::Mutex> lock(*this->workMutex);
    return this->workLogSize;
}

void TheoraVideoManager::logMessage(const std::string& message)
{
    theoralog::write(message);
}

void TheoraVideoManager::setLogFunction(LogFunction function)
{
    theoralog::setFunction(function);
}
