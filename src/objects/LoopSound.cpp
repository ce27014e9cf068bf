#include "LoopSound.h"

#include <cmath>
#include <limits>

#include <quortypes/Log.h>
#include <quortypes/exception.h>
#include <tesraui/Dataset.h>
#include <yim/AudioManager.h>
#include <yim/Category.h>
#include <yim/Player.h>
#include <yim/yim.h>

#include "Session.h"
#include "Transitions.h"

namespace vumo
{
    void LoopSound::PlayerRelease::operator()(yim::Player* player) const
    {
        if (yim::manager == nullptr)
        {
            return;
        }
        // A release must not throw: a player the manager no longer lists went with its own clear-up.
        try
        {
            yim::manager->destroyPlayer(player);
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::warn(Session::logTag,
                                 "LoopSound: the player was gone already: " + e.getMessage());
        }
    }

    namespace
    {
        std::vector<std::unique_ptr<LoopSound::Entry>> entries;

        // The entry leaves the list: its owner loses it and its player goes.
        void destroyEntry(LoopSound::Entry* entry)
        {
            entry->owner = nullptr;
            entry->player.reset();
        }

        void removeEntries(const std::vector<LoopSound::Entry*>& gone)
        {
            for (LoopSound::Entry* entry : gone)
            {
                for (auto it = entries.begin(); it != entries.end(); ++it)
                {
                    if (it->get() == entry)
                    {
                        destroyEntry(entry);
                        entries.erase(it);
                        break;
                    }
                }
            }
        }

        // An endless fade never arrives: a loop fading out would play on at its gain after its scene has
        // gone. NaN, like 0 or less, is no fade at all.
        float fadeTimeOf(const LoopSound& loop, const char* property, const hstring& value)
        {
            const float time = value.toFloat();
            if (std::isinf(time))
            {
                throw quortypes::exception("LoopSound '" + loop.getName() + "': " + property + " '" + value +
                                               "' is not a number a float can hold",
                                           __FILE__, __LINE__);
            }
            return time;
        }
    } // namespace

    void LoopSound::Entry::setTarget(float value, float newSpeed)
    {
        target = value;
        speed = newSpeed;
    }

    bool LoopSound::Entry::update(float timeDelta)
    {
        if (skip)
        {
            skip = false;
            return false;
        }
        if (player->isPlaying())
        {
            const float current = player->getGain();
            const float difference = target - current;
            const float step = speed * timeDelta;
            // An instant fade makes inf x 0 = NaN here, which must land on the target too.
            float next = target;
            if (step < std::fabs(difference))
            {
                next = current + (difference > 0.0f ? step : -step);
            }
            if (next != current)
            {
                player->setGain(next);
            }
        }
        if (state != STEADY && player->getGain() == target)
        {
            if (state == ENDING)
            {
                return true;
            }
            player->pause();
            state = STEADY;
        }
        return false;
    }

    LoopSound::LoopSound(const hstring& name, kavtypes::Rectangle rect) : tesraui::Object(name, rect) {}

    LoopSound::~LoopSound()
    {
        this->_letGo();
    }

    void LoopSound::_letGo()
    {
        // An object whose sound never existed, or whose entry the list already dropped, has nothing to give
        // up.
        if (this->entry != nullptr)
        {
            release(this->entry, this->fadeOutTime, this->getFullSoundName());
            this->entry = nullptr;
        }
    }

    tesraui::Object* LoopSound::createInstance(const hstring& name, kavtypes::Rectangle rect)
    {
        return new LoopSound(name, rect);
    }

    void LoopSound::notifyEvent(const hstring& type, void* args)
    {
        if (type == "AttachToObject" && sound != "")
        {
            attached = true;
        }
        tesraui::Object::notifyEvent(type, args);
    }

    const PropertyTable<LoopSound>& LoopSound::_properties()
    {
        static const PropertyTable<LoopSound> table = {
            {"sound", PropertyInfo::STRING, [](LoopSound& loop) { return loop.sound; },
             [](LoopSound& loop, const hstring& value)
             {
                 loop.sound = value;
                 if (loop.getParent() != nullptr && loop.sound != "")
                 {
                     loop.attached = true;
                 }
             }},
            // Both fades at once; reads their mean.
            {"fadeTime", PropertyInfo::FLOAT,
             [](LoopSound& loop) { return hstring((loop.fadeInTime + loop.fadeOutTime) * 0.5f); },
             [](LoopSound& loop, const hstring& value)
             { loop.fadeInTime = loop.fadeOutTime = fadeTimeOf(loop, "fadeTime", value); }},
            {"fadeInTime", PropertyInfo::FLOAT, [](LoopSound& loop) { return hstring(loop.fadeInTime); },
             [](LoopSound& loop, const hstring& value)
             { loop.fadeInTime = fadeTimeOf(loop, "fadeInTime", value); }},
            {"fadeOutTime", PropertyInfo::FLOAT, [](LoopSound& loop) { return hstring(loop.fadeOutTime); },
             [](LoopSound& loop, const hstring& value)
             { loop.fadeOutTime = fadeTimeOf(loop, "fadeOutTime", value); }},
            {"pausable", PropertyInfo::BOOL,
             [](LoopSound& loop) { return hstring(loop.pausable ? "1" : "0"); },
             [](LoopSound& loop, const hstring& value) { loop.pausable = value.toBool(); }},
            {"gain", PropertyInfo::FLOAT, [](LoopSound& loop) { return hstring(loop.gain); },
             [](LoopSound& loop, const hstring& value)
             {
                 // The fade towards it would never arrive, and the player keeps its gain.
                 const float gain = value.toFloat();
                 if (!std::isfinite(gain))
                 {
                     throw quortypes::exception("LoopSound '" + loop.getName() + "': gain '" + value +
                                                    "' is not a number",
                                                __FILE__, __LINE__);
                 }
                 loop.gain = gain;
                 if (loop.entry != nullptr && !(loop.pausable && Session::isPaused()))
                 {
                     loop.entry->setTarget(loop.gain, 2.0f);
                 }
             }},
            // The playing sound's category, for scripts that read it; not one a data file sets.
            {"category", PropertyTable<LoopSound>::Undescribed,
             [](LoopSound& loop)
             {
                 if (loop.entry == nullptr || loop.entry->player->getCategory() == nullptr)
                 {
                     return hstring();
                 }
                 return loop.entry->player->getCategory()->getName();
             }},
        };
        return table;
    }

    QUORTYPES_PROPERTY_TABLE_DESCRIPTIONS_OWN_FIRST(LoopSound, tesraui::Object, _properties)
    QUORTYPES_PROPERTY_TABLE_GET_SET(LoopSound, tesraui::Object, _properties)

    void LoopSound::update(float timeDelta)
    {
        tesraui::Object::update(timeDelta);
        if (!started)
        {
            // A sound emptied after the attach would start a sound named after the chapter alone.
            if (!attached || sound == "")
            {
                return;
            }
            // Marked first: an unknown sound throws once, and the object stays silent afterwards.
            started = true;
            startPlaying();
        }
        else if (lostEntry && entry == nullptr && !isChapterLeft())
        {
            // Its chapter's loops were faded out for a switch that did not leave the chapter after all.
            lostEntry = false;
            if (yim::manager != nullptr && yim::manager->hasSound(getFullSoundName()))
            {
                startPlaying();
            }
        }
        if (attached && pausable && entry != nullptr)
        {
            const float wanted = (Session::isPaused() ? 0.0f : gain);
            if (entry->target != wanted)
            {
                entry->setTarget(wanted, 2.0f);
            }
        }
    }

    void LoopSound::startPlaying()
    {
        entry = acquire(getFullSoundName(), this);
        entry->setTarget(gain, fadeSpeed(fadeInTime));
        entry->state = Entry::STEADY;
        if (!entry->player->isPlaying())
        {
            entry->player->play(0.0f, true);
        }
    }

    bool LoopSound::isChapterLeft() const
    {
        const TransitionManager* transition = Session::getRunningTransition();
        if (transition == nullptr || transition->getLeftChapter() == "")
        {
            return false;
        }
        const hstring& left = transition->getLeftChapter();
        return (getDataset() != nullptr && getDataset()->getName() == left) ||
               getFullSoundName().startsWith(left + ".");
    }

    hstring LoopSound::getFullSoundName() const
    {
        if (sound.contains(".") || getDataset() == nullptr)
        {
            return sound;
        }
        return getDataset()->getName() + "." + sound;
    }

    float LoopSound::fadeSpeed(float time)
    {
        // Not written as time <= 0, so that NaN is instant too.
        if (!(time > 0.0f))
        {
            return std::numeric_limits<float>::infinity();
        }
        return 1.0f / time;
    }

    LoopSound::Entry* LoopSound::acquire(const hstring& fullName, LoopSound* owner)
    {
        for (const std::unique_ptr<Entry>& entry : entries)
        {
            if (entry->name == fullName && entry->owner == nullptr)
            {
                entry->owner = owner;
                return entry.get();
            }
        }
        if (yim::manager == nullptr)
        {
            throw quortypes::exception("Unable to play '" + fullName + "', audio is not initialised",
                                       __FILE__, __LINE__);
        }
        std::unique_ptr<Entry> entry(new Entry());
        entry->player.reset(yim::manager->createPlayer(fullName));
        entry->player->setGain(0.0f);
        entry->name = fullName;
        entry->owner = owner;
        entries.push_back(std::move(entry));
        return entries.back().get();
    }

    void LoopSound::release(Entry* entry, float fadeOutTime, const hstring& name)
    {
        if (entry == nullptr)
        {
            quortypes::Log::error(Session::logTag,
                                  "Error relieving ownership of a LoopSound object, entry argument is NULL!");
            return;
        }
        Entry* found = nullptr;
        for (const std::unique_ptr<Entry>& candidate : entries)
        {
            if (candidate.get() == entry)
            {
                found = entry;
            }
        }
        if (found == nullptr)
        {
            // Not in the list means not alive either: the caller names it.
            quortypes::Log::error(Session::logTag, "Error relieving ownership of a LoopSound object, '" +
                                                       name + "' not found in list of playing LoopSounds!");
            return;
        }
        if (found->owner != nullptr)
        {
            found->owner->entry = nullptr;
        }
        found->owner = nullptr;
        if (found->player->isPlaying())
        {
            found->setTarget(0.0f, fadeSpeed(fadeOutTime));
        }
        else
        {
            found->target = found->player->getGain();
        }
        found->skip = true;
        found->state = Entry::ENDING;
    }

    void LoopSound::fadeOutAll(const hstring& chapter, float time)
    {
        const hstring prefix = chapter + ".";
        if (!(time > 0.0f))
        {
            std::vector<Entry*> gone;
            for (const std::unique_ptr<Entry>& entry : entries)
            {
                if (entry->name.startsWith(prefix))
                {
                    if (entry->owner != nullptr)
                    {
                        entry->owner->entry = nullptr;
                        entry->owner->lostEntry = true;
                    }
                    gone.push_back(entry.get());
                }
            }
            removeEntries(gone);
            return;
        }
        for (const std::unique_ptr<Entry>& entry : entries)
        {
            // The loops of other chapters, the UI's game-wide music among them, play on.
            const bool ownedThere = (entry->owner != nullptr && entry->owner->getDataset() != nullptr &&
                                     entry->owner->getDataset()->getName() == chapter);
            if (!ownedThere && !entry->name.startsWith(prefix))
            {
                continue;
            }
            if (entry->player->isPlaying() && entry->player->getGain() == entry->target)
            {
                if (entry->owner != nullptr)
                {
                    entry->owner->entry = nullptr;
                    entry->owner->lostEntry = true;
                }
                entry->owner = nullptr;
                entry->setTarget(0.0f, fadeSpeed(time));
                entry->skip = true;
                entry->state = Entry::ENDING;
            }
        }
    }

    void LoopSound::updateAll(float timeDelta)
    {
        std::vector<Entry*> done;
        for (const std::unique_ptr<Entry>& entry : entries)
        {
            if (entry->update(timeDelta))
            {
                done.push_back(entry.get());
            }
        }
        for (Entry* entry : done)
        {
            if (entry->owner != nullptr)
            {
                entry->owner->entry = nullptr;
            }
        }
        removeEntries(done);
    }

    void LoopSound::destroyAll()
    {
        for (const std::unique_ptr<Entry>& entry : entries)
        {
            if (entry->owner != nullptr)
            {
                entry->owner->entry = nullptr;
            }
            destroyEntry(entry.get());
        }
        entries.clear();
    }

    const std::vector<std::unique_ptr<LoopSound::Entry>>& LoopSound::getEntries()
    {
        return entries;
    }
} // namespace vumo
