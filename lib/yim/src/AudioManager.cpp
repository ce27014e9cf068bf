#include <algorithm>

#include <quortypes/Log.h>
#include <quortypes/Resource.h>
#include <quortypes/Thread.h>
#include <yim/AudioManager.h>
#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/FLAC_Source.h>
#include <yim/OGG_Source.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/WAV_Source.h>
#include <yim/yim.h>

#include "ManagerLock.h"

namespace yim
{
    namespace
    {
        class UpdateThread : public quortypes::Thread
        {
        public:
            explicit UpdateThread(AudioManager* owner) : owner(owner) {}
            void execute() override { owner->_runUpdateThread(); }

        private:
            AudioManager* owner;
        };
    } // namespace

    AudioManager::AudioManager(unsigned int backendId, bool threaded, float updateTime,
                               const hstring& deviceName)
        : backendId(backendId), enabled(false), suspended(false), deviceName(deviceName),
          updateTime(updateTime), globalGain(1.0f), threadRunning(false)
    {
        this->extensions = harray<hstring>{".flac", ".ogg", ".wav"};
        if (threaded)
        {
            this->thread = std::make_unique<UpdateThread>(this);
        }
    }

    AudioManager::~AudioManager()
    {
        if (this->thread != nullptr)
        {
            this->threadRunning.store(false);
            this->thread->join();
            this->thread.reset();
        }
        // Anything here was left by a manager never cleared. Players use sounds and buffers, and sounds
        // give their buffers back to the manager, so they go first; each list goes in its order.
        this->managedPlayers.clear();
        this->suspendedPlayers.clear();
        for (std::unique_ptr<Player>& player : this->players)
        {
            player.reset();
        }
        for (auto& entry : this->sounds)
        {
            entry.second.reset();
        }
        for (auto& entry : this->categories)
        {
            entry.second.reset();
        }
        this->buffers.clear();
    }

    void AudioManager::init()
    {
        ManagerLock lock(this);
        if (this->enabled.load() && this->thread != nullptr)
        {
            quortypes::Log::write(logTag, "Starting audio update thread.");
            this->threadRunning.store(true);
            this->thread->start();
        }
    }

    void AudioManager::_runUpdateThread()
    {
        while (this->threadRunning.load())
        {
            this->_lock();
            this->_update(this->updateTime);
            this->_unlock();
            quortypes::Thread::sleep(this->updateTime * 1000.0f);
        }
    }

    void AudioManager::_lock()
    {
        if (this->thread != nullptr)
        {
            this->mutex.lock();
        }
    }

    void AudioManager::_unlock()
    {
        if (this->thread != nullptr)
        {
            this->mutex.unlock();
        }
    }

    hstring AudioManager::findAudioFile(const hstring& filename)
    {
        if (quortypes::Resource::exists(filename))
        {
            return filename;
        }
        for (const hstring& extension : this->extensions)
        {
            if (quortypes::Resource::exists(filename + extension))
            {
                return filename + extension;
            }
        }
        hstring base = Sound::withoutExtension(filename);
        if (base != filename)
        {
            for (const hstring& extension : this->extensions)
            {
                if (quortypes::Resource::exists(base + extension))
                {
                    return base + extension;
                }
            }
        }
        return "";
    }

    std::unique_ptr<Source> AudioManager::_createSource(const hstring& filename, Category* category,
                                                        Format format)
    {
        switch (format)
        {
        case Format::FLAC:
            return std::make_unique<FLAC_Source>(filename, category);
        case Format::OGG:
            return std::make_unique<OGG_Source>(filename, category);
        case Format::WAV:
            return std::make_unique<WAV_Source>(filename, category);
        default:
            return std::make_unique<Source>(filename, category);
        }
    }

    int AudioManager::_convertStream(Buffer*, unsigned char*, int, int size)
    {
        return size;
    }

    Buffer* AudioManager::_createBuffer(Sound* sound)
    {
        this->buffers.push_back(std::make_unique<Buffer>(sound));
        return this->buffers.back().get();
    }

    void AudioManager::_destroyBuffer(Buffer* buffer)
    {
        auto it =
            std::find_if(this->buffers.begin(), this->buffers.end(),
                         [buffer](const std::unique_ptr<Buffer>& entry) { return entry.get() == buffer; });
        if (it != this->buffers.end())
        {
            // Out of the list before it goes.
            std::unique_ptr<Buffer> owned = std::move(*it);
            this->buffers.erase(it);
        }
    }

    harray<Player*> AudioManager::getPlayers()
    {
        ManagerLock lock(this);
        harray<Player*> result;
        result.reserve(this->players.size());
        for (const std::unique_ptr<Player>& player : this->players)
        {
            result.push_back(player.get());
        }
        return result;
    }

    harray<Player*> AudioManager::getManagedPlayers()
    {
        ManagerLock lock(this);
        return this->managedPlayers;
    }

    harray<Player*> AudioManager::getSuspendedPlayers()
    {
        ManagerLock lock(this);
        return this->suspendedPlayers;
    }

    harray<Buffer*> AudioManager::getBuffers()
    {
        ManagerLock lock(this);
        harray<Buffer*> result;
        result.reserve(this->buffers.size());
        for (const std::unique_ptr<Buffer>& buffer : this->buffers)
        {
            result.push_back(buffer.get());
        }
        return result;
    }

    void AudioManager::update(float timeDelta)
    {
        ManagerLock lock(this);
        if (this->thread == nullptr)
        {
            this->_update(timeDelta);
        }
    }

    void AudioManager::_update(float timeDelta)
    {
        if (!this->enabled.load())
        {
            // Nothing plays here, so players made by play() have ended already.
            this->_dropEndedPlayers();
            return;
        }
        if (this->suspended.load())
        {
            return;
        }
        this->stepPlayers.clear();
        for (const std::unique_ptr<Player>& player : this->players)
        {
            this->stepPlayers.push_back(player.get());
        }
        for (Player* player : this->stepPlayers)
        {
            player->_update(timeDelta);
        }
        this->_dropEndedPlayers();
        for (const std::unique_ptr<Buffer>& buffer : this->buffers)
        {
            buffer->update(timeDelta);
        }
    }

    void AudioManager::_dropEndedPlayers()
    {
        harray<Player*> managed = this->managedPlayers;
        for (Player* player : managed)
        {
            if (!player->isPlaying() && !player->isFadingOut())
            {
                this->_destroyPlayer(player);
            }
        }
    }

    void AudioManager::clearMemory()
    {
        ManagerLock lock(this);
        int count = 0;
        for (const std::unique_ptr<Buffer>& buffer : this->buffers)
        {
            if (buffer->tryClearMemory())
            {
                ++count;
            }
        }
        quortypes::Log::debugf(logTag, "Found %d buffers for memory clearing.", count);
    }

    void AudioManager::clear()
    {
        this->_lock();
        if (this->threadRunning.load())
        {
            quortypes::Log::write(logTag, "Stopping audio update thread.");
            this->threadRunning.store(false);
            // The thread's last step needs the lock.
            this->_unlock();
            this->thread->join();
            this->_lock();
        }
        this->_update(0.0f);
        // Each goes in list order, stopped right before it goes.
        for (std::unique_ptr<Player>& player : this->players)
        {
            player->_stop(0.0f);
            player.reset();
        }
        this->players.clear();
        this->managedPlayers.clear();
        this->suspendedPlayers.clear();
        for (auto& entry : this->sounds)
        {
            entry.second.reset();
        }
        this->sounds.clear();
        for (auto& entry : this->categories)
        {
            entry.second.reset();
        }
        this->categories.clear();
        this->_unlock();
        this->thread.reset();
    }
} // namespace yim
