#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include <quortypes/hdict.h>
#include <quortypes/hstring.h>
#include <quortypes/UnderWay.h>
#include <pirk/Achievement.h>
#include <pirk/AchievementsService.h>

#include "Session.h"
#include "Variables.h"

namespace vumo
{
    // One player's saved game: a folder in the per-user folder holding "vars.diff", its backup
    // "vars.diff.backup" and "achievements.bin". It keeps a snapshot of the variables taken at the last
    // sync and saves the diff of that snapshot, never the live variables.
    class Profile : public Session::AutosaveTarget
    {
    public:
        explicit Profile(const hstring& folder);
        // Saves first when a sync changed the snapshot; a failed save is logged, never thrown.
        ~Profile() override;

        // False, writing nothing, when nothing changed since the last load or save. A failed write throws
        // and leaves the files and the changed flag as they were. Achievements whose store could not be
        // written when they changed are written here too.
        bool saveToFile() override;
        // The session's end: takes in what the game changed since the last sync (with syncFirst, when the
        // game allows a sync then), then saves what changed; the destructor has nothing left to save either
        // way. Without syncFirst no script runs, and what the last sync took is saved: for an end that cannot
        // ask scripts (a fatal error, a lost display). A failed save is logged, never thrown.
        virtual void saveAtEnd(bool syncFirst);
        // Loads "vars.diff", falling back to the backup, and the achievements store, then makes them the live
        // state. A diff whose "profile_dir" names another folder counts as damaged, and is kept aside at the
        // next save. Throws when neither diff loads or belongs to the folder, or when the store cannot be
        // read; nothing live has changed then.
        virtual void load();
        virtual void sync();
        virtual void syncVar(const hstring& name);
        virtual void revert();
        virtual hstring getName();
        virtual hstring getFolderName();
        virtual int getNumUnlockedAchievements();

        // Syncs unless the scene is locked, a transition runs, the session is paused or "ui.canSaveGame"
        // says no.
        void syncIfAllowed() override;
        float getTimeSinceSync() const;
        bool isChanged() const { return this->changed; }
        // The folder relative to the per-user folder; empty for the dummy.
        const hstring& getFolder() const { return this->folder; }
        const VariableDictionary& getSnapshot() const { return this->snapshot; }

        // Makes the folder and its first "vars.diff" and returns the folder's name; never writes into a
        // folder that exists. Throws when no free name is found.
        static hstring create(const hstring& displayName);
        // Saves the active profile, reads the profile of the folder, makes it active and then its variables
        // and achievements the live ones, so that the old profile is gone before anything of the new one
        // reaches a script. When the read throws, the old profile stays active and nothing changed.
        static bool changeProfile(const hstring& folder);
        // Throws naming the folder when it cannot be removed.
        static void remove(const hstring& folder);
        // Folder name to display name, for every folder of the per-user folder that loads as a profile.
        static hdict<hstring> list();
        static hstring readNameOfFolder(const hstring& folder);
        // Throws naming the file and the reason when its CRC line is missing or wrong; nothing changes then.
        static void loadDiff(const hstring& path);
        static void reset();

        static hstring encodeName(const hstring& name);
        static hstring decodeName(const hstring& encoded);
        // Throws naming the folder unless it is one path component of letters, digits, "_" and "-".
        static void checkFolderName(const hstring& folder);

        // Marks the engine's own work on profiles (a save, a load, a change, a removal) for its lifetime, so
        // that the scripts it runs meanwhile (ui.canSaveGame, the inventory pane's item counts) cannot free
        // or rewrite a profile under it. Nests; the innermost says what runs.
        class Work
        {
        public:
            explicit Work(const char* what);

        private:
            const quortypes::UnderWay<std::atomic<const char*>> mark;
        };
        // Throws, naming the operation and the work under way, while such work runs: saving, loading,
        // changing, removing or resetting a profile then would pull it away from under that work.
        static void refuseDuringWork(const hstring& operation);
        // Whether such work runs now; what would run a script meanwhile waits until it is done.
        static bool isWorkUnderWay();

        static void authenticateToAchievementService();
        static bool isLoggedInToAchievementService();
        static void clearAchievements();
        static bool isAchievementUnlocked(const hstring& name);
        static bool unlockAchievement(const hstring& name);
        static hstring getFullAchievementName(const hstring& name);
        static std::unique_ptr<pirk::Achievement> makeAchievement(const hstring& fullName);

        // The 32-bit milliseconds of a monotonic clock.
        static uint32_t ticks();

    protected:
        VariableDictionary snapshot;
        hstring folder;
        bool changed = false;
        uint32_t syncTime = 0;
        // Leftovers of saves a crash cut short are looked for once, before this object's first save: its own
        // failed writes remove their temporary files.
        bool staleFilesRemoved = false;

        // saveToFile's write of the snapshot's diff, with the old one as the backup; true.
        bool saveVariables();
        // Writes this profile's achievements store when an earlier write of it failed; throws when it fails
        // again.
        void savePendingAchievements();

        // An achievements service that has read its store, with its delegate, not yet the library's.
        struct PreparedAchievements
        {
            std::unique_ptr<pirk::AchievementsService> service;
            std::unique_ptr<pirk::AchievementsServiceDelegate> delegate;
            bool offlineOnly = false;
        };
        // A profile's files read and checked, nothing of them live yet.
        struct Loaded
        {
            hstring bytes;
            hstring source;
            PreparedAchievements achievements;
        };
        // Reads "vars.diff" (or its backup) and the achievements store; throws as load does, changing
        // nothing.
        Loaded read();
        // Makes what read gave the live state: the achievements service, the snapshot, then the variables.
        // Nothing fails here.
        void takeOver(Loaded& loaded);
        // Throws, naming the file and the reason, when the store cannot be read; nothing live changes.
        static PreparedAchievements prepareAchievementsService(bool offlineOnly, const hstring& storeFile);
        // Replaces the library's service (which writes its store as it goes) with the prepared one.
        static void installAchievementsService(PreparedAchievements& prepared);
    };

    class DummyProfile : public Profile
    {
    public:
        DummyProfile();
        ~DummyProfile() override;

        bool saveToFile() override;
        // Nothing: the dummy keeps no variables.
        void saveAtEnd(bool syncFirst) override;
        void load() override;
        hstring getName() override;
        hstring getFolderName() override;
    };

    namespace Session
    {
        // The active profile, owned by the session; null before start-up and after shut-down.
        Profile* getProfile();
        // Makes the profile active, and the autosave's target; the one before goes first (its destructor
        // saves what changed).
        void setProfile(std::unique_ptr<Profile> profile);
        // For an end that cannot wait for scripts: the active profile saves what its last sync took, unless
        // work on a profile is under way (its state may be half made) or such a save already runs.
        void saveProfileWithoutScripts();
    } // namespace Session
} // namespace vumo
