#pragma once

#include <memory>
#include <vector>

#include <quortypes/PropertyTable.h>
#include <tesraui/Object.h>

namespace yim
{
    class Player;
}

namespace vumo
{
    // Plays a sound in a loop while it lives. The player belongs to an engine-wide list, not to the object,
    // so that the next scene's LoopSound of the same sound takes it over without a break: the old object
    // lets it fade out and the new one fades it back to its own gain.
    class LoopSound : public tesraui::Object
    {
    public:
        // Hands a player back to the audio manager that made it (which frees it); once the manager is gone,
        // it went with it.
        struct PlayerRelease
        {
            void operator()(yim::Player* player) const;
        };

        // A playing sound of the list; the list owns it and its player.
        struct Entry
        {
            enum State
            {
                STEADY = 0,
                PAUSING = 2,
                ENDING = 3
            };

            std::unique_ptr<yim::Player, PlayerRelease> player;
            hstring name;
            LoopSound* owner = nullptr;
            float target = 0.0f;
            // Gain units per second; infinite means at once.
            float speed = 0.0f;
            int state = STEADY;
            // Left alone by the next list update: an owner just gave it up.
            bool skip = false;

            void setTarget(float value, float newSpeed);
            // True when the entry is done and leaves the list.
            bool update(float timeDelta);
        };

        LoopSound(const hstring& name, kavtypes::Rectangle rect);
        ~LoopSound() override;
        static tesraui::Object* createInstance(const hstring& name, kavtypes::Rectangle rect);

        void notifyEvent(const hstring& type, void* args) override;
        hstring getClassName() const override { return "LoopSound"; }
        harray<PropertyInfo> getPropertyDescriptions() const override;
        void update(float timeDelta) override;
        hstring getProperty(const hstring& name) override;
        bool setProperty(const hstring& name, const hstring& value) override;

        const hstring& getSound() const { return sound; }
        // The sound name, prefixed with the object's chapter when it has no ".".
        hstring getFullSoundName() const;
        Entry* getEntry() const { return entry; }
        float getGain() const { return gain; }
        bool isPausable() const { return pausable; }

        // The speed of a fade over that many seconds; a time of 0 or less is instant.
        static float fadeSpeed(float time);
        // Hands the first unowned entry of that sound to the owner, or makes one with a new player (which
        // throws for an unknown sound).
        static Entry* acquire(const hstring& fullName, LoopSound* owner);
        // The owner gives the entry up: it fades out over the time and leaves the list. The name is only for
        // the error of an entry not in the list.
        static void release(Entry* entry, float fadeOutTime, const hstring& name);
        // A time of 0 or less removes the chapter's entries at once; above 0, every entry of the chapter (its
        // owner's or its sound's) that plays steadily at its target fades out over that time. Owners that
        // live on take an entry again once no running transition leaves their chapter.
        static void fadeOutAll(const hstring& chapter, float time);
        // Once a frame: moves every entry's gain and removes the finished ones.
        static void updateAll(float timeDelta);
        // Shut-down: every entry and its player go.
        static void destroyAll();
        static const std::vector<std::unique_ptr<Entry>>& getEntries();

    protected:
        // Destroyed, it gives its entry up at once, so that the next scene's loop of the sound takes it on.
        void _letGo() override;
        hstring sound;
        float fadeInTime = 0.5f;
        float fadeOutTime = 0.5f;
        float gain = 1.0f;
        bool pausable = false;
        bool started = false;
        bool attached = false;
        Entry* entry = nullptr;
        // The entry was taken away while the object lives.
        bool lostEntry = false;

        void startPlaying();
        // True while the running transition leaves the chapter of the object or of its sound.
        bool isChapterLeft() const;

    private:
        static const PropertyTable<LoopSound>& _properties();
    };
} // namespace vumo
