#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include <quortypes/Mutex.h>
#include <quortypes/harray.h>
#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <yim/Category.h>
#include <yim/Sound.h>

namespace quortypes
{
    class Thread;
}

namespace yim
{
    class Buffer;
    class Category;
    class Player;
    class Sound;
    class Source;

    // Owns every category, sound, player and buffer. A back-end subclass supplies the voices. Built
    // threaded, it updates on a thread of its own and every changing call takes its one lock.
    class AudioManager
    {
    public:
        AudioManager(unsigned int backendId, bool threaded, float updateTime, const hstring& deviceName);
        virtual ~AudioManager();
        AudioManager(const AudioManager&) = delete;
        AudioManager& operator=(const AudioManager&) = delete;

        const hstring& getName() const { return this->name; }
        unsigned int getBackendId() const { return this->backendId; }
        int getSamplingRate() const { return this->samplingRate; }
        int getChannels() const { return this->channels; }
        int getBitsPerSample() const { return this->bitsPerSample; }
        bool isEnabled() const { return this->enabled.load(); }
        bool isSuspended() const { return this->suspended.load(); }
        float getIdleClearTime() const { return this->idleClearTime; }
        const hstring& getDeviceName() const { return this->deviceName; }
        float getUpdateTime() const { return this->updateTime; }
        float getGlobalGain() const { return this->globalGain.load(); }
        bool isThreaded() const { return this->thread != nullptr; }
        // Copies, taken under the lock.
        harray<Player*> getPlayers();
        harray<Player*> getManagedPlayers();
        harray<Player*> getSuspendedPlayers();
        harray<Buffer*> getBuffers();

        virtual void init();
        virtual hstring findAudioFile(const hstring& filename);

        Category* createCategory(const hstring& name, BufferMode bufferMode, SourceMode sourceMode);
        Category* getCategory(const hstring& name);
        bool hasCategory(const hstring& name);
        Sound* createSound(const hstring& filename, const hstring& categoryName, const hstring& prefix = "");
        harray<hstring> createSoundsFromPath(const hstring& path, const hstring& prefix = "");
        Sound* getSound(const hstring& name);
        bool hasSound(const hstring& name);
        Player* createPlayer(const hstring& soundName);
        void destroyPlayer(Player* player);
        void destroySound(Sound* sound);
        void destroySoundsWithPrefix(const hstring& prefix);

        void play(const hstring& soundName, float fadeTime = 0.0f, bool looping = false, float gain = 1.0f);
        void stop(const hstring& soundName, float fadeTime = 0.0f);
        bool isAnyPlaying(const hstring& soundName);
        // Any player at all, those their makers keep (looping background sounds, video tracks) included.
        bool isSoundPlaying(const hstring& soundName);
        void setGlobalGain(float value);
        void suspendAudio();
        void resumeAudio();
        // Does work only when the manager has no thread of its own.
        void update(float timeDelta);
        void clearMemory();
        void clear();

        // The inner forms, for code already under the lock.
        virtual void _update(float timeDelta);
        virtual void _lock();
        virtual void _unlock();
        virtual Sound* _createSound(const hstring& filename, const hstring& categoryName,
                                    const hstring& prefix);
        virtual std::unique_ptr<Player> _createSystemPlayer(Sound* sound) = 0;
        virtual std::unique_ptr<Source> _createSource(const hstring& filename, Category* category,
                                                      Format format);
        virtual void _suspendAudio();
        virtual void _resumeAudio();
        // May rewrite decoded bytes in place; returns their new size.
        virtual int _convertStream(Buffer* buffer, unsigned char* data, int capacity, int size);
        virtual void _suspendSystem() {}
        virtual void _resumeSystem() {}
        Category* _getCategory(const hstring& name);
        Player* _createPlayer(const hstring& soundName);
        void _destroyPlayer(Player* player);
        void _stopSound(const hstring& soundName, float fadeTime);
        void _setGlobalGain(float value);
        void _updateGains();
        Buffer* _createBuffer(Sound* sound);
        // The update thread's loop.
        void _runUpdateThread();
        void _destroyBuffer(Buffer* buffer);

    protected:
        hstring name;
        unsigned int backendId;
        int samplingRate = 44100;
        int channels = 2;
        int bitsPerSample = 16;
        std::atomic<bool> enabled;
        std::atomic<bool> suspended;
        float idleClearTime = 60.0f;
        hstring deviceName;
        float updateTime;
        std::atomic<float> globalGain;
        hdict<std::unique_ptr<Category>> categories;
        std::vector<std::unique_ptr<Player>> players;
        // The players an update step walks, copied into the same memory every step.
        harray<Player*> stepPlayers;
        harray<Player*> managedPlayers;
        harray<Player*> suspendedPlayers;
        hdict<std::unique_ptr<Sound>> sounds;
        std::vector<std::unique_ptr<Buffer>> buffers;
        harray<hstring> extensions;
        std::unique_ptr<quortypes::Thread> thread;
        std::atomic<bool> threadRunning;
        quortypes::Mutex mutex;

        friend class Player;
        // Destroys the managed players that neither play nor fade out.
        void _dropEndedPlayers();
        // The sound or category of that name, or null.
        Sound* _findSound(const hstring& name) const;
        Category* _findCategory(const hstring& name) const;
    };
} // namespace yim
