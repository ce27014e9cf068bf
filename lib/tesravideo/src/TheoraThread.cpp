#include <chrono>
#include <exception>
#include <utility>

#include <tesravideo/TheoraException.h>
#include <tesravideo/TheoraThread.h>
#include <tesravideo/TheoraVideoClip.h>

TheoraThread::TheoraThread() {}

TheoraThread::~TheoraThread()
{
    this->join();
}

void TheoraThread::start()
{
    {
        std::lock_guard<std::mutex> lock(this->mutex);
        this->running = true;
    }
    this->thread = std::thread([this]() { this->execute(); });
}

bool TheoraThread::isRunning()
{
    std::lock_guard<std::mutex> lock(this->mutex);
    return this->running;
}

void TheoraThread::join()
{
    {
        std::lock_guard<std::mutex> lock(this->mutex);
        this->running = false;
    }
    if (this->thread.joinable())
    {
        this->thread.join();
    }
}

TheoraWorkerThread::TheoraWorkerThread(WorkSource source) : source(std::move(source)), clip(nullptr) {}

TheoraWorkerThread::~TheoraWorkerThread()
{
    // Joined here as well, since execute() is this class's and must not run while the object dies.
    this->join();
}

void TheoraWorkerThread::execute()
{
    while (this->isRunning())
    {
        TheoraVideoClip* current = this->source(this);
        this->clip = current;
        if (current == nullptr)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            continue;
        }
        current->threadMutex->lock();
        // An error must not leave this thread, which would end the program: the clip stops decoding and
        // its owner learns why on the main thread.
        try
        {
            if (current->seekFrame.load() != -1)
            {
                current->_executeSeek();
            }
            if (!current->decodeNextFrame())
            {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        }
        catch (const _TheoraGenericException& e)
        {
            current->_fail(e.getMessage());
        }
        catch (const std::exception& e)
        {
            current->_fail(e.what());
        }
        catch (...)
        {
            current->_fail("unknown error while decoding");
        }
        current->assignedWorker = nullptr;
        current->threadMutex->unlock();
        this->clip = nullptr;
    }
}
