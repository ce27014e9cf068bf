#include <algorithm>
#include <cmath>
#include <memory>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <yim/AudioManager.h>
#include <yim/Player.h>
#include <yim/Sound.h>
#include <yim/yim.h>

#include "FiniteGain.h"
#include "ManagerLock.h"

namespace yim
{
    Player* AudioManager::createPlayer(const hstring& soundName)
    {
        ManagerLock lock(this);
        return this->_createPlayer(soundName);
    }

    Player* AudioManager::_createPlayer(const hstring& soundName)
    {
        Sound* sound = this->_findSound(soundName);
        if (sound == nullptr)
        {
            throw quortypes::exception("Audio Manager: Sound '" + soundName + "' does not exist!", __FILE__,
                                       __LINE__);
        }
        this->players.push_back(this->_createSystemPlayer(sound));
        return this->players.back().get();
    }

    void AudioManager::destroyPlayer(Player* player)
    {
        ManagerLock lock(this);
        this->_destroyPlayer(player);
    }

    void AudioManager::_destroyPlayer(Player* player)
    {
        // Taken out of the list before it is touched: a player destroyed already is not listed any more,
        // and its memory is gone.
        auto it =
            std::find_if(this->players.begin(), this->players.end(),
                         [player](const std::unique_ptr<Player>& entry) { return entry.get() == player; });
        if (it == this->players.end())
        {
            throw quortypes::_container_element_not_found(__FILE__, __LINE__);
        }
        std::unique_ptr<Player> owned = std::move(*it);
        this->players.erase(it);
        player->_stop(0.0f);
        // Whichever way a player goes, no list may keep it.
        this->managedPlayers.removeAll(player);
        this->suspendedPlayers.removeAll(player);
    }

    void AudioManager::play(const hstring& soundName, float fadeTime, bool looping, float gain)
    {
        ManagerLock lock(this);
        if (this->suspended.load())
        {
            return;
        }
        Player* player = this->_createPlayer(soundName);
        this->managedPlayers.push_back(player);
        player->_setGain(gain);
        player->_play(fadeTime, looping);
        if (!this->enabled.load())
        {
            this->_dropEndedPlayers();
        }
    }

    void AudioManager::stop(const hstring& soundName, float fadeTime)
    {
        ManagerLock lock(this);
        this->_stopSound(soundName, fadeTime);
    }

    void AudioManager::_stopSound(const hstring& soundName, float fadeTime)
    {
        harray<Player*> managed = this->managedPlayers;
        for (Player* player : managed)
        {
            if (player->getSound()->getName() != soundName)
            {
                continue;
            }
            if (fadeTime != 0.0f)
            {
                player->_stop(fadeTime);
            }
            else
            {
                this->_destroyPlayer(player);
            }
        }
    }

    namespace
    {
        template <class Players> bool anyPlaying(const Players& players, const hstring& soundName)
        {
            return std::any_of(players.begin(), players.end(),
                               [&soundName](const auto& player)
                               { return player->getSound()->getName() == soundName && player->isPlaying(); });
        }
    } // namespace

    bool AudioManager::isAnyPlaying(const hstring& soundName)
    {
        ManagerLock lock(this);
        return anyPlaying(this->managedPlayers, soundName);
    }

    bool AudioManager::isSoundPlaying(const hstring& soundName)
    {
        ManagerLock lock(this);
        return anyPlaying(this->players, soundName);
    }

    void AudioManager::setGlobalGain(float value)
    {
        if (!std::isfinite(value))
        {
            warnNonFiniteGain(value, "the audio system");
            return;
        }
        ManagerLock lock(this);
        this->globalGain.store(value);
        this->_updateGains();
    }

    void AudioManager::_updateGains()
    {
        for (const std::unique_ptr<Player>& player : this->players)
        {
            player->_systemUpdateGain();
        }
    }

    void AudioManager::suspendAudio()
    {
        ManagerLock lock(this);
        this->_suspendAudio();
    }

    void AudioManager::resumeAudio()
    {
        ManagerLock lock(this);
        this->_resumeAudio();
    }

    void AudioManager::_suspendAudio()
    {
        if (this->suspended.load())
        {
            return;
        }
        quortypes::Log::write(logTag, "Suspending YIM.");
        for (const std::unique_ptr<Player>& player : this->players)
        {
            if (player->isPlaying())
            {
                player->_pause(0.0f);
                this->suspendedPlayers.push_back(player.get());
            }
            else if (player->isFadingOut())
            {
                if (player->isPausing())
                {
                    player->_pause(0.0f);
                }
                else
                {
                    player->_stop(0.0f);
                }
            }
        }
        this->_suspendSystem();
        this->suspended.store(true);
    }

    void AudioManager::_resumeAudio()
    {
        if (!this->suspended.load())
        {
            return;
        }
        quortypes::Log::write(logTag, "Resuming YIM.");
        this->suspended.store(false);
        this->_resumeSystem();
        harray<Player*> waiting = this->suspendedPlayers;
        this->suspendedPlayers.clear();
        for (Player* player : waiting)
        {
            player->_play(0.0f, player->isLooping());
        }
    }
} // namespace yim
