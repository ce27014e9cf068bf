#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class TheoraVideoClip;

// A thread that runs execute() until join() clears its running flag. The destructor of a thread that is
// still running stops and joins it; it never cuts it off.
class TheoraThread
{
public:
    TheoraThread();
    virtual ~TheoraThread();
    TheoraThread(const TheoraThread&) = delete;
    TheoraThread& operator=(const TheoraThread&) = delete;

    virtual void execute() = 0;

    void start();
    bool isRunning();
    void join();

protected:
    std::mutex mutex;
    std::thread thread;
    bool running = false;
};

// Decodes the clips its source hands it, one turn at a time.
class TheoraWorkerThread : public TheoraThread
{
public:
    // The clip the worker decodes next, assigned to it, or null when none needs decoding.
    typedef std::function<TheoraVideoClip*(TheoraWorkerThread* worker)> WorkSource;

    explicit TheoraWorkerThread(WorkSource source);
    ~TheoraWorkerThread() override;

    void execute() override;

    TheoraVideoClip* getAssignedClip() const { return this->clip.load(); }

protected:
    WorkSource source;
    std::atomic<TheoraVideoClip*> clip;
};
