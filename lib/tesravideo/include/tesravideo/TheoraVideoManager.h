#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include <quortypes/Mutex.h>

class TheoraDataSource;
class TheoraVideoClip;
class TheoraWorkerThread;

// Owns every clip and the worker threads that decode ahead of display, and decides which clip a free
// worker serves next.
class TheoraVideoManager
{
public:
    typedef void (*LogFunction)(const std::string& message);

    explicit TheoraVideoManager(int numWorkerThreads = 1);
    virtual ~TheoraVideoManager();
    TheoraVideoManager(const TheoraVideoManager&) = delete;
    TheoraVideoManager& operator=(const TheoraVideoManager&) = delete;

    static TheoraVideoManager* getSingleton() { return singleton; }

    // The clip owns the source from then on; its first frame is decoded before this returns. The
    // manager keeps the clip until destroyVideoClip.
    TheoraVideoClip* createVideoClip(std::unique_ptr<TheoraDataSource> source, int outputMode,
                                     int numPrecachedOverride = 0, bool usePower2Stride = false);
    TheoraVideoClip* createVideoClip(const std::string& filename, int outputMode,
                                     int numPrecachedOverride = 0, bool usePower2Stride = false);
    void destroyVideoClip(TheoraVideoClip* clip);
    TheoraVideoClip* requestWork(TheoraWorkerThread* caller);

    void* getAudioInterfaceFactory() { return nullptr; }
    std::vector<std::string> getSupportedDecoders();
    std::string getVersionString() { return "1.1"; }
    int getNumWorkerThreads() const { return (int)this->workerThreads.size(); }
    int getDefaultNumPrecachedFrames() const { return this->defaultNumPrecachedFrames; }
    std::vector<TheoraVideoClip*> getClips();
    int getWorkLogSize();

    static void logMessage(const std::string& message);
    static void setLogFunction(LogFunction function);

protected:
    static TheoraVideoManager* singleton;

    std::vector<std::unique_ptr<TheoraWorkerThread>> workerThreads;
    std::vector<std::unique_ptr<TheoraVideoClip>> clips;
    std::list<TheoraVideoClip*> workLog;
    int workLogSize = 0;
    int defaultNumPrecachedFrames = 8;
    std::unique_ptr<quortypes::Mutex> workMutex;
};
