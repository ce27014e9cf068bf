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
            this->thread = new UpdateThread(this);
        }
    }

    AudioManager::~AudioManager()
    {
        if (this->thread != nullptr)
        {
            this->threadRunning.store(false);
            this->thread->join();
            delete this->thread;
        }
        for (Buffer* buffer : this->buffers)
        {
            delete buffer;
        }
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

    Source* AudioManager::_createSource(const hstring& filename, Category* category, Format format)
    {
        switch (format)
        {
        case Format::FLAC:
            return new FLAC_Source(filename, category);
        case Format::OGG:
            return new OGG_Source(filename, category);
        case Format::WAV:
            return new WAV_Source(filename, category);
        default:
            return new Source(filename, category);
        }
    }

    int AudioManager::_convertStream(Buffer*, unsigned char*, int, int size)
    {
        return size;
    }

    Buffer* AudioManager::_createBuffer(Sound* sound)
    {
        Buffer* buffer = new Buffer(sound);
        this->buffers.push_back(buffer);
        return buffer;
    }

    void AudioManager::_destroyBuffer(Buffer* buffer)
    {
        this->buffers.removeAll(buffer);
        delete buffer;
    }

    harray<Player*> AudioManager::getPlayers()
    {
        ManagerLock lock(this);
        return this->players;
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
        return this->buffers;
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
        this->stepPlayers = this->players;
        for (Player* player : this->stepPlayers)
        {
            player->_update(timeDelta);
        }
        this->_dropEndedPlayers();
        for (Buffer* buffer : this->buffers)
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
        for (Buffer* buffer : this->buffers)
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
        for (Player* player : this->players)
        {
            player->_stop(0.0f);
            delete player;
        }
        this->players.clear();
        this->managedPlayers.clear();
        this->suspendedPlayers.clear();
        for (auto& entry : this->sounds)
        {
            delete entry.second;
        }
        this->sounds.clear();
        for (auto& entry : this->categories)
        {
            delete entry.second;
        }
        this->categories.clear();
        this->_unlock();
        delete this->thread;
        this->thread = nullptr;
    }
} // namespace yim
