#include "Profile.h"

// A profile's state on disk: its variables' diff and its backup, its achievements, saved and read back.

#include <cerrno>
#include <future>
#include <memory>
#include <system_error>

#include <quortypes/Dir.h>
#include <quortypes/File.h>
#include <quortypes/Log.h>
#include <quortypes/AtomicFile.h>
#include <pirk/OfflineAchievementsService.h>
#include <pirk/pirk.h>

#include "ProfileLock.h"
#include <quortypes/FileBytes.h>

namespace vumo
{
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
} // namespace vumo
