#include <algorithm>
#include <memory>

#include <quortypes/Dir.h>
#include <quortypes/Log.h>
#include <quortypes/ResourceDir.h>
#include <quortypes/exception.h>
#include <yim/AudioManager.h>
#include <yim/Buffer.h>
#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/yim.h>

#include "ManagerLock.h"

namespace yim
{
    Category* AudioManager::createCategory(const hstring& name, BufferMode bufferMode, SourceMode sourceMode)
    {
        ManagerLock lock(this);
        Category* category = this->_findCategory(name);
        if (category == nullptr)
        {
            auto made = std::make_unique<Category>(name, bufferMode, sourceMode);
            category = made.get();
            this->categories[name] = std::move(made);
        }
        return category;
    }

    Category* AudioManager::_findCategory(const hstring& name) const
    {
        auto it = this->categories.find(name);
        return it != this->categories.end() ? it->second.get() : nullptr;
    }

    Sound* AudioManager::_findSound(const hstring& name) const
    {
        auto it = this->sounds.find(name);
        return it != this->sounds.end() ? it->second.get() : nullptr;
    }

    Category* AudioManager::getCategory(const hstring& name)
    {
        ManagerLock lock(this);
        return this->_getCategory(name);
    }

    Category* AudioManager::_getCategory(const hstring& name)
    {
        Category* category = this->_findCategory(name);
        if (category == nullptr)
        {
            throw quortypes::exception("Audio Manager: Category '" + name + "' does not exist!", __FILE__,
                                       __LINE__);
        }
        return category;
    }

    bool AudioManager::hasCategory(const hstring& name)
    {
        return this->categories.hasKey(name);
    }

    bool AudioManager::hasSound(const hstring& name)
    {
        return this->sounds.hasKey(name);
    }

    Sound* AudioManager::getSound(const hstring& name)
    {
        ManagerLock lock(this);
        return this->_findSound(name);
    }

    Sound* AudioManager::createSound(const hstring& filename, const hstring& categoryName,
                                     const hstring& prefix)
    {
        ManagerLock lock(this);
        return this->_createSound(filename, categoryName, prefix);
    }

    Sound* AudioManager::_createSound(const hstring& filename, const hstring& categoryName,
                                      const hstring& prefix)
    {
        Category* category = this->_getCategory(categoryName);
        auto made = std::make_unique<Sound>(filename, category, prefix);
        if (made->getFormat() == Format::UNKNOWN || this->sounds.hasKey(made->getName()))
        {
            return nullptr;
        }
        Sound* sound = made.get();
        this->sounds[sound->getName()] = std::move(made);
        return sound;
    }

    harray<hstring> AudioManager::createSoundsFromPath(const hstring& path, const hstring& prefix)
    {
        ManagerLock lock(this);
        harray<hstring> result;
        for (const hstring& folder : quortypes::ResourceDir::directories(path, true))
        {
            hstring categoryName = quortypes::Dir::baseName(folder);
            if (!this->categories.hasKey(categoryName))
            {
                this->categories[categoryName] =
                    std::make_unique<Category>(categoryName, BufferMode::ON_CREATION, SourceMode::DISK);
            }
            for (const hstring& file : quortypes::ResourceDir::files(folder, true))
            {
                Sound* sound = this->_createSound(file, categoryName, prefix);
                if (sound != nullptr)
                {
                    result.push_back(sound->getName());
                }
            }
        }
        return result;
    }

    void AudioManager::destroySound(Sound* sound)
    {
        ManagerLock lock(this);
        auto it = std::find_if(this->sounds.begin(), this->sounds.end(),
                               [sound](const auto& entry) { return entry.second.get() == sound; });
        if (it == this->sounds.end())
        {
            return;
        }
        this->_stopSound(sound->getName(), 0.0f);
        // A manual player would be left with a deleted sound.
        for (const std::unique_ptr<Player>& player : this->players)
        {
            if (player->getSound() == sound)
            {
                throw quortypes::exception(
                    "Audio Manager: Following sounds cannot be destroyed (there are one or more manually "
                    "created players that haven't been destroyed): " +
                        sound->getName(),
                    __FILE__, __LINE__);
            }
        }
        quortypes::Log::write(logTag, "Destroying sound: " + sound->getName());
        // Out of the list before it goes.
        std::unique_ptr<Sound> owned = std::move(it->second);
        this->sounds.erase(it);
    }

    void AudioManager::destroySoundsWithPrefix(const hstring& prefix)
    {
        ManagerLock lock(this);
        quortypes::Log::write(logTag, "Destroying sounds with prefix: " + prefix);
        harray<Sound*> matching;
        for (auto& entry : this->sounds)
        {
            if (entry.first.startsWith(prefix))
            {
                matching.push_back(entry.second.get());
            }
        }
        harray<hstring> survivors;
        for (Sound* sound : matching)
        {
            this->_stopSound(sound->getName(), 0.0f);
            bool used = std::any_of(this->players.begin(), this->players.end(),
                                    [sound](const std::unique_ptr<Player>& player)
                                    { return player->getSound() == sound; });
            if (used)
            {
                survivors.push_back(sound->getName());
                continue;
            }
            auto it = this->sounds.find(sound->getName());
            std::unique_ptr<Sound> owned = std::move(it->second);
            this->sounds.erase(it);
        }
        if (!survivors.empty())
        {
            throw quortypes::exception(
                "Audio Manager: Following sounds cannot be destroyed (there are one or more manually created "
                "players that haven't been destroyed): " +
                    survivors.joined(", "),
                __FILE__, __LINE__);
        }
    }
} // namespace yim
