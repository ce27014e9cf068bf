#include "Profile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <system_error>
#include <thread>

#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/AtomicFile.h>
#include <pirk/OfflineAchievementsService.h>
#include <pirk/pirk.h>

#include "Dialogs.h"
#include "ProfileLock.h"
#include <quortypes/FileBytes.h>
#include "lua/LuaInterface.h"
#include "ScriptTexts.h"
#include "GameUiHost.h"

namespace vumo
{
    namespace
    {
        // Never destroyed itself: the exit of a fatal error saves nothing behind the session's back.
        std::unique_ptr<Profile>& activeProfile()
        {
            static auto* owner = new std::unique_ptr<Profile>();
            return *owner;
        }

        // The innermost profile work under way; null when none. An end forced from another thread reads it.
        std::atomic<const char*> workUnderWay{nullptr};

        // Made during the program's start, on its main thread.
        const std::thread::id mainThread = std::this_thread::get_id();
    } // namespace

    Profile::Work::Work(const char* what) : mark(workUnderWay, what) {}

    void Profile::refuseDuringWork(const hstring& operation)
    {
        const char* work = workUnderWay.load();
        if (work != nullptr)
        {
            throw quortypes::exception(operation + "() cannot run while the engine is " + work +
                                           "; call it after that, from a delayed call for example",
                                       __FILE__, __LINE__);
        }
    }

    bool Profile::isWorkUnderWay()
    {
        return workUnderWay.load() != nullptr;
    }

    namespace Session
    {
        Profile* getProfile()
        {
            return activeProfile().get();
        }

        void setProfile(std::unique_ptr<Profile> profile)
        {
            // The old profile leaves the session before its last save runs (in its destructor), so that no
            // script the save calls reaches a profile on its way out.
            const Profile::Work work("replacing the active profile");
            std::unique_ptr<Profile> old;
            {
                const ProfileLock lock;
                old = std::move(activeProfile());
            }
            setAutosaveTarget(nullptr);
            old.reset();
            {
                const ProfileLock lock;
                activeProfile() = std::move(profile);
            }
            setAutosaveTarget(activeProfile().get());
        }

        void saveProfileWithoutScripts()
        {
            // From another thread (an end forced while the main thread is held elsewhere) the save waits for
            // what the main thread changes under the lock to be whole, a while at most. A profile work under
            // way there changes nothing outside the lock, and may be the script that holds the thread.
            const bool mainThreadHere = (std::this_thread::get_id() == mainThread);
            if (!ProfileLock::tryLockFor(std::chrono::seconds(5)))
            {
                quortypes::Log::error(Session::logTag, "The profile could not be saved: its state was being "
                                                       "changed, and the change did not end.");
                return;
            }
            static std::atomic<bool> saving{false};
            Profile* profile = getProfile();
            if (profile != nullptr && !(mainThreadHere && Profile::isWorkUnderWay()) &&
                !saving.exchange(true))
            {
                profile->saveAtEnd(false);
                saving.store(false);
            }
            ProfileLock::unlock();
        }
    } // namespace Session

    uint32_t Profile::ticks()
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return (uint32_t)std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    }

    Profile::Profile(const hstring& folder) : folder(folder), syncTime(ticks()) {}

    Profile::~Profile()
    {
        if (this->changed)
        {
            Profile::saveAtEnd(true);
        }
    }

    namespace
    {
        // A file that cannot be read, or reads as damage, is renamed out of the way rather than overwritten:
        // it may still hold what the player would miss.
        void keepAside(const hstring& path)
        {
            const hstring aside = path + ".damaged";
            if (std::rename(path.c_str(), aside.c_str()) != 0)
            {
                if (errno == ENOENT)
                {
                    return;
                }
                throw quortypes::exception("Unable to keep damaged file '" + path + "' aside as '" + aside +
                                               "': " + std::strerror(errno),
                                           __FILE__, __LINE__);
            }
            quortypes::Log::warn(Session::logTag,
                                 "'" + path + "' was damaged, kept aside as '" + aside + "'");
        }

        // The snapshot's diff text written and flushed under the file's temporary name, on a worker thread;
        // done by the caller of get when no thread can be started.
        std::future<std::unique_ptr<quortypes::PendingFile>>
        prepareDiffFile(const VariableDictionary& snapshot, const hstring& path)
        {
            auto prepare = [&snapshot, path]
            {
                return std::make_unique<quortypes::PendingFile>(path, snapshot.writeDiff(),
                                                                quortypes::maxPlayerFileBytes);
            };
            try
            {
                return std::async(std::launch::async, prepare);
            }
            catch (const std::system_error&)
            {
                return std::async(std::launch::deferred, prepare);
            }
        }

        // The folder a whole diff (its CRC checked) names as its own in "profile_dir". A save asks for it at
        // every save, so it is found without loading every variable of the diff.
        hstring ownerOf(const hstring& bytes)
        {
            return VariableDictionary::valueInDiff(bytes, "profile_dir");
        }

        // The error's text without the place in the source that threw it, for a message the player reads.
        hstring reasonOf(const quortypes::exception& error)
        {
            hstring reason = error.getMessage();
            if (reason.startsWith("[") && reason.contains("] "))
            {
                reason = reason.subString(reason.find("] ") + 2);
            }
            return reason;
        }

        // What a player sees when a file of the profile cannot be read: the file, why, that the profile was
        // not opened, and what to do about it.
        quortypes::exception notOpened(const quortypes::exception& error, const hstring& folder,
                                       const hstring& advice)
        {
            return quortypes::exception(
                reasonOf(error) + "; profile '" + folder + "' was not opened. " + advice, __FILE__, __LINE__);
        }

        const char* const makeReadable =
            "Its files were left as they are: make the file readable, then choose the profile again.";

        hstring foreignFileMessage(const hstring& folder, const hstring& path, const hstring& owner)
        {
            return "Unable to load profile '" + folder + "', its file '" + path +
                   "' belongs to the profile folder '" + quortypes::Log::quote(owner) + "'";
        }

        // What a crash left behind of earlier saves into the folder.
        void removeStaleTemporaryFiles(const hstring& folder)
        {
            for (const hstring& name : quortypes::Dir::files(folder))
            {
                if (name.endsWith(".tmp") && !quortypes::File::remove(folder + "/" + name))
                {
                    quortypes::Log::warn(Session::logTag,
                                         "Unable to remove stale file '" + folder + "/" + name + "'");
                }
            }
        }
    } // namespace

    void Profile::saveAtEnd(bool syncFirst)
    {
        try
        {
            if (syncFirst)
            {
                this->syncIfAllowed();
            }
            const ProfileLock lock;
            if (this->changed)
            {
                this->saveVariables();
            }
            this->savePendingAchievements();
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(Session::logTag,
                                  "Unable to save profile '" + this->folder + "': " + e.getMessage());
        }
        catch (const std::exception& e)
        {
            quortypes::Log::error(Session::logTag,
                                  "Unable to save profile '" + this->folder + "': " + e.what());
        }
        // There is no later save to keep a failed one for.
        const ProfileLock lock;
        this->changed = false;
    }

    bool Profile::saveToFile()
    {
        this->syncIfAllowed();
        const ProfileLock lock;
        const bool saved = this->changed && this->saveVariables();
        this->savePendingAchievements();
        return saved;
    }

    void Profile::savePendingAchievements()
    {
        const ProfileLock lock;
        pirk::OfflineAchievementsService* service =
            pirk::hasAchievementsService()
                ? dynamic_cast<pirk::OfflineAchievementsService*>(pirk::getAchievementsService())
                : nullptr;
        if (service != nullptr && service->hasUnsavedRecords() &&
            service->getFilename() == Session::getUserFolder() + this->folder + "/achievements.bin")
        {
            quortypes::Log::write(Session::logTag, "Saving achievements of profile " + this->folder);
            service->writePendingStore();
        }
    }

    bool Profile::saveVariables()
    {
        const ProfileLock lock;
        // A file that names another folder is taken for a copy of another profile's and not loaded: such a
        // save would be lost at the next load.
        const hstring owner =
            this->snapshot.exists("profile_dir") ? this->snapshot.get("profile_dir").value() : hstring();
        if (owner != this->folder)
        {
            throw quortypes::exception("Unable to save profile '" + this->folder +
                                           "': its variable 'profile_dir' reads '" +
                                           quortypes::Log::quote(owner) +
                                           "', and the next load would take the file for another profile's; "
                                           "set it back to '" +
                                           this->folder + "'",
                                       __FILE__, __LINE__);
        }
        quortypes::Log::write(Session::logTag, "Saving profile " + this->folder);
        const hstring profileFolder = Session::getUserFolder() + this->folder;
        const hstring path = profileFolder + "/vars.diff";
        if (!this->staleFilesRemoved)
        {
            removeStaleTemporaryFiles(profileFolder);
            this->staleFilesRemoved = true;
        }
        // The new file is made and flushed on a worker while this thread reads and checks the old one and
        // flushes the backup; nothing changes the snapshot meanwhile. The backup takes its place first, then
        // the new file; a failure before that leaves both temporary files removed and nothing changed.
        std::future<std::unique_ptr<quortypes::PendingFile>> preparing =
            prepareDiffFile(this->snapshot, path);
        hstring current;
        bool readable = false;
        try
        {
            // A file of another folder (copied over this one's) is no backup of this profile either.
            readable = readFileIfPresent(path, current, quortypes::maxPlayerFileBytes) &&
                       VariableDictionary::diffCrcMatches(current) && ownerOf(current) == this->folder;
        }
        catch (const quortypes::_file_not_readable& e)
        {
            // Not known to be damaged: it is neither kept aside nor replaced, and nothing is saved.
            throw quortypes::exception("Unable to save profile '" + this->folder + "': " + reasonOf(e) +
                                           ", and it is left as it is",
                                       __FILE__, __LINE__);
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(Session::logTag, e.getMessage());
        }
        if (readable)
        {
            quortypes::Log::write(Session::logTag, "Backing up profile");
            quortypes::PendingFile backup(path + ".backup", current);
            const std::unique_ptr<quortypes::PendingFile> file = preparing.get();
            backup.commit();
            file->commit();
        }
        else
        {
            const std::unique_ptr<quortypes::PendingFile> file = preparing.get();
            // The backup is the last good state; a damaged file must not replace it.
            keepAside(path);
            file->commit();
        }
        quortypes::Log::write(Session::logTag, "Profile saved!");
        this->changed = false;
        return true;
    }

    void Profile::load()
    {
        Loaded loaded = this->read();
        this->takeOver(loaded);
    }

    Profile::Loaded Profile::read()
    {
        const Work work("loading a profile");
        const hstring profileFolder = Session::getUserFolder() + this->folder;
        const hstring path = profileFolder + "/vars.diff";
        hstring bytes, source = path;
        // Set when the file is whole but names another folder: it is treated as damage, and named in the
        // error when the backup does not stand in for it.
        hstring foreign;
        bool loaded = false;
        try
        {
            loaded = readFileIfPresent(path, bytes, quortypes::maxPlayerFileBytes) &&
                     VariableDictionary::diffCrcMatches(bytes);
            const hstring owner = loaded ? ownerOf(bytes) : hstring();
            if (loaded && owner != this->folder)
            {
                foreign = foreignFileMessage(this->folder, path, owner);
                quortypes::Log::warn(Session::logTag, foreign);
                loaded = false;
            }
        }
        catch (const quortypes::_file_not_readable& e)
        {
            // A file that cannot be read is not damaged: opening the backup instead would have the next save
            // keep it aside, one save older.
            throw notOpened(e, this->folder, makeReadable);
        }
        catch (const quortypes::exception& e)
        {
            quortypes::Log::error(Session::logTag, e.getMessage());
        }
        if (!loaded)
        {
            quortypes::Log::write(Session::logTag, "WARNING: profile '" + path +
                                                       "' is corrupt, attempting to load from backup");
            source = profileFolder + "/vars.diff.backup";
            bool backupPresent = false;
            try
            {
                backupPresent = readFileIfPresent(source, bytes, quortypes::maxPlayerFileBytes);
            }
            catch (const quortypes::_file_not_readable& e)
            {
                throw notOpened(e, this->folder, makeReadable);
            }
            if (!backupPresent)
            {
                if (foreign != "")
                {
                    throw quortypes::exception(foreign + ", and it has no backup file", __FILE__, __LINE__);
                }
                throw quortypes::exception("ERROR: unable to load profile from backup file '" + this->folder +
                                               "', file not found!",
                                           "src\\Profile", 181);
            }
            if (!VariableDictionary::diffCrcMatches(bytes))
            {
                if (foreign != "")
                {
                    throw quortypes::exception(foreign + ", and its backup file is corrupt", __FILE__,
                                               __LINE__);
                }
                throw quortypes::exception("ERROR: unable to load profile from backup file '" + this->folder +
                                               "', backup file is corrupt!",
                                           "src\\Profile", 186);
            }
            // A folder copied from another profile would save over that one's identity; its files say so.
            const hstring owner = ownerOf(bytes);
            if (owner != this->folder)
            {
                throw quortypes::exception(foreignFileMessage(this->folder, source, owner), __FILE__,
                                           __LINE__);
            }
        }
        const hstring store = profileFolder + "/achievements.bin";
        PreparedAchievements achievements;
        try
        {
            achievements = prepareAchievementsService(false, store);
        }
        catch (const quortypes::exception& e)
        {
            // Shown to the player, who has to mend it: the file, why, and what to do about it.
            throw notOpened(e, this->folder,
                            "Make the file readable, or move it out of the profile's folder to start its "
                            "achievements afresh, then choose the profile again.");
        }
        Loaded result;
        result.bytes = bytes;
        result.source = source;
        result.achievements = std::move(achievements);
        return result;
    }

    void Profile::takeOver(Loaded& loaded)
    {
        // Applying the diff tells the variables' listeners; whatever they would ask of scripts waits until
        // this work is done, and finds this profile's achievements and name in place.
        const Work work("loading a profile");
        const ProfileLock lock;
        installAchievementsService(loaded.achievements);
        VariableDictionary incoming = VariableDictionary::getGlobal();
        incoming.setLocked(false);
        incoming.applyDiff(loaded.bytes, loaded.source, true, true, true);
        this->snapshot = incoming;
        quortypes::Log::write(Session::logTag, "loading variables diff from " + loaded.source);
        VariableDictionary::getGlobal().applyDiff(loaded.bytes, loaded.source, true, false, true);
        // The live variables' checks may have kept a value of before: the snapshot is what they hold.
        this->snapshot = VariableDictionary();
        this->sync();
        this->changed = false;
    }

    void Profile::sync()
    {
        const ProfileLock lock;
        if (this->snapshot.getVariables().size() == 0)
        {
            this->snapshot = VariableDictionary::getGlobal();
            this->snapshot.setLocked(false);
            this->changed = false;
            this->syncTime = ticks();
            return;
        }
        if (this->snapshot.takeValuesOf(VariableDictionary::getGlobal()))
        {
            this->changed = true;
        }
        this->syncTime = ticks();
    }

    void Profile::syncVar(const hstring& name)
    {
        const ProfileLock lock;
        if (this->snapshot.getVariables().size() == 0)
        {
            return;
        }
        if (!this->snapshot.exists(name))
        {
            throw quortypes::exception(
                formatString("Profile::syncVar() failed, var %s not found.", name.c_str()), "src\\Profile",
                414);
        }
        Variable& kept = this->snapshot.get(name);
        const hstring value = VariableDictionary::getGlobal()[name].value();
        if (kept.value() != value)
        {
            kept.setValueDirectly(value);
            this->changed = true;
        }
    }

    void Profile::revert()
    {
        // Each value set back tells the variable's listeners, and through them scripts.
        const Work work("reverting the variables to the profile");
        quortypes::Log::write(Session::logTag, "Reverting system state variables to last profile sync.");
        VariableDictionary& live = VariableDictionary::getGlobal();
        for (auto& entry : this->snapshot.getVariables())
        {
            Variable& variable = live[entry.first];
            if (variable.value() != entry.second.value())
            {
                variable.setValue(entry.second.value(), true);
            }
        }
    }

    hstring Profile::getName()
    {
        const hstring name = this->snapshot.exists("profile_name")
                                 ? decodeName(this->snapshot.get("profile_name").value())
                                 : "";
        return name == "" ? hstring("<no-name>") : name;
    }

    hstring Profile::getFolderName()
    {
        const int slash = this->folder.rfind('/');
        return slash < 0 ? this->folder : this->folder.subString(slash + 1);
    }

    void Profile::syncIfAllowed()
    {
        if (Session::isSceneLocked() || Session::isTransitionRunning() || Session::isPaused() ||
            DialogManager::isActive())
        {
            return;
        }
        // The hook runs inside a save or a change of this very profile, and so does its lookup, which reads
        // `ui` and the globals as a script does: a metamethod there is script code too.
        const Work work("asking ui.canSaveGame");
        if (LuaInterface::isHook("ui.canSaveGame"))
        {
            harray<hstring> results;
            bool ran = false;
            if (GameUiHost* ui = findGameUiHost())
            {
                ran = ui->executeWithReturnValues(HookTexts::canSaveGame(), results);
            }
            else
            {
                try
                {
                    LuaInterface::executeWithReturnValues(HookTexts::canSaveGame(), "", results);
                    ran = true;
                }
                catch (const quortypes::exception& e)
                {
                    quortypes::Log::error(Session::logTag, e.getMessage());
                }
            }
            // Only the text "1" allows it: a Lua true reads "true".
            if (!ran || results.size() != 1 || results[0] != "1")
            {
                return;
            }
        }
        this->sync();
    }

    float Profile::getTimeSinceSync() const
    {
        return (float)(uint32_t)(ticks() - this->syncTime) / 1000.0f;
    }

    hstring Profile::encodeName(const hstring& name)
    {
        static const char digits[] = "0123456789abcdef";
        const std::string& bytes = name;
        std::string result(bytes.size() * 2, '0');
        for (size_t i = 0; i < bytes.size(); ++i)
        {
            const unsigned char byte = (unsigned char)bytes[i];
            result[2 * i] = digits[byte >> 4];
            result[2 * i + 1] = digits[byte & 15];
        }
        return result;
    }

    hstring Profile::decodeName(const hstring& encoded)
    {
        auto digit = [](char c) { return c < ':' ? c - '0' : c - 'a' + 10; };
        std::string result;
        // An odd last character has no partner and is ignored.
        for (int i = 0; i + 1 < (int)encoded.size(); i += 2)
        {
            result += (char)(digit(encoded[i]) * 16 + digit(encoded[i + 1]));
        }
        return hstring(result.c_str(), (int)result.size());
    }

    DummyProfile::DummyProfile() : Profile("") {}

    DummyProfile::~DummyProfile()
    {
        this->changed = false;
    }

    void DummyProfile::saveAtEnd(bool) {}

    bool DummyProfile::saveToFile()
    {
        this->syncIfAllowed();
        quortypes::Log::write(Session::logTag, "DummyProfile::saveToFile() called.");
        return true;
    }

    void DummyProfile::load()
    {
        const hstring store = Session::getUserFolder() + "dummy_profile_achievements.bin";
        PreparedAchievements achievements;
        try
        {
            achievements = prepareAchievementsService(true, store);
        }
        catch (const quortypes::exception& e)
        {
            // The dummy stands in when all else failed; it keeps its achievements in memory only.
            quortypes::Log::error(Session::logTag, e.getMessage());
            achievements = prepareAchievementsService(true, "");
        }
        const ProfileLock lock;
        installAchievementsService(achievements);
    }

    hstring DummyProfile::getName()
    {
        return "DummyProfile";
    }

    hstring DummyProfile::getFolderName()
    {
        return "DummyProfile";
    }
} // namespace vumo
