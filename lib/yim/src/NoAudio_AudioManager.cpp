#include <memory>

#include <quortypes/Log.h>
#include <yim/Category.h>
#include <yim/NoAudio_AudioManager.h>
#include <yim/Sound.h>
#include <yim/yim.h>

namespace yim
{
    NoAudio_AudioManager::NoAudio_AudioManager(unsigned int backendId, bool threaded, float updateTime,
                                               const hstring& deviceName)
        : AudioManager(backendId, threaded, updateTime, deviceName)
    {
        this->name = "Disabled";
        quortypes::Log::write(logTag, "Initializing NoAudio.");
    }

    NoAudio_AudioManager::~NoAudio_AudioManager()
    {
        quortypes::Log::write(logTag, "Destroying NoAudio.");
    }

    hstring NoAudio_AudioManager::findAudioFile(const hstring&)
    {
        return "";
    }

    Sound* NoAudio_AudioManager::_createSound(const hstring& filename, const hstring& categoryName,
                                              const hstring& prefix)
    {
        Category* category = this->_getCategory(categoryName);
        auto made = std::make_unique<Sound>(filename, category, prefix);
        if (this->sounds.hasKey(made->getName()))
        {
            return nullptr;
        }
        Sound* sound = made.get();
        this->sounds[sound->getName()] = std::move(made);
        return sound;
    }

    std::unique_ptr<Player> NoAudio_AudioManager::_createSystemPlayer(Sound* sound)
    {
        return std::make_unique<NoAudio_Player>(sound);
    }
} // namespace yim
